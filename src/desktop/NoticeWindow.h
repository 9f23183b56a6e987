#pragma once

#include "platform/TrayIcon.h"

#include <QFrame>
#include <QTimer>

class QLabel;

namespace koro {

// A balloon notice of our own at the bottom right of the screen, for desktops without a tray:
// no notice is lost there. It takes no focus and closes on a click or after its time.
class NoticeWindow : public QFrame {
    Q_OBJECT
public:
    explicit NoticeWindow(QWidget* parent = nullptr);

    void showNotice(const QString& title, const QString& text, BalloonIconKind kind,
                    int timeoutSeconds);
    void clearNotice();

    QString title() const;
    QString text() const;

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    void placeAtBottomRight();

    QLabel* m_icon = nullptr;
    QLabel* m_title = nullptr;
    QLabel* m_text = nullptr;
    QTimer m_expiry;
};

} // namespace koro
