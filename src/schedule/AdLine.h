#pragma once

#include "schedule/AdFeed.h"

#include <QObject>
#include <QPalette>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <functional>

class QLabel;

namespace koro {

class ShellOpen;
class TDownThrd;

// The one-line ad in the navigation bar: fetches the feed once, reads it once, then shows
// its pairs of text and link in turn. Every failure leaves the line as it is, unreported.
class AdLine : public QObject {
    Q_OBJECT
public:
    // Opens an address in a new popup window.
    using PopupOpener = std::function<void(const QString& url)>;

    // feedFile is read at the first tick of Timer_Readad, which runs from now.
    AdLine(QLabel* labelad, QString feedFile, PopupOpener openPopup, ShellOpen& shell,
           QObject* parent = nullptr);
    // A download still running is told to stop, so it cannot outlive the program's objects.
    ~AdLine() override;

    void StartDownload(const QString& url, const QString& fileName);
    void Timer_ReadadTimer();
    void ReadAdFile();
    void gogg();
    void labeladClick();
    void labeladMouseEnter();
    void labeladMouseLeave();

    QTimer& Timer_Readad() { return *m_readad; }
    QTimer& Timer_Showad() { return m_showad; }
    const AdRotation& rotation() const { return m_rotation; }

signals:
    // The download has ended; replaced tells whether the feed file was replaced.
    void downloadFinished(bool replaced);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QLabel> m_label;
    const QObject* m_labelObject = nullptr; // identity only, never dereferenced
    QString m_feedFile;
    PopupOpener m_openPopup;
    ShellOpen& m_shell;
    // Destroyed at its first tick, so the read happens once per run.
    QPointer<QTimer> m_readad;
    QTimer m_showad;
    AdRotation m_rotation;
    QString m_link; // of the ad shown
    QPalette m_restPalette;
    QPointer<TDownThrd> m_download;
};

} // namespace koro
