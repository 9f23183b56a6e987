#pragma once

#include <QDialog>
#include <QTimer>

class QLabel;

namespace koro {

// The last word before the computer is switched off: a window in front of everything that
// counts down the seconds left. Only when they run out, or on "立即关机", is the power-off
// asked for; "取消" (or closing the window) stops it.
class ShutdownCountdown : public QDialog {
    Q_OBJECT
public:
    explicit ShutdownCountdown(int seconds, QWidget* parent = nullptr);

    int secondsLeft() const { return m_left; }
    QTimer& TimerCountdown() { return m_tick; }

    void powerOffNowClick() { accept(); }
    void cancelClick() { reject(); }

signals:
    void powerOffRequested();
    void cancelled();

private:
    void tick();
    void showLeft();

    QLabel* m_text = nullptr;
    QTimer m_tick;
    int m_left;
};

} // namespace koro
