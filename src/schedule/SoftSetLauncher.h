#pragma once

#include "schedule/TForm_SoftSet.h"

#include <QObject>
#include <QPointer>

namespace koro {

// Opens settings dialogs and remembers the latest, which the shutdown entry closes.
class SoftSetLauncher : public QObject {
    Q_OBJECT
public:
    SoftSetLauncher(AppSettings& settings, QString skinDir, SoftSetHooks hooks, QWidget* owner);

    // A new dialog, shown.
    TForm_SoftSet* open();
    // Closes the latest dialog if it is still open.
    void closeLatest();
    TForm_SoftSet* latest() const { return m_latest; }

private:
    AppSettings& m_settings;
    QString m_skinDir;
    SoftSetHooks m_hooks;
    QPointer<QWidget> m_owner;
    QPointer<TForm_SoftSet> m_latest;
};

} // namespace koro
