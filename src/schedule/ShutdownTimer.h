#pragma once

#include "schedule/ScheduleHooks.h"
#include "schedule/ShutdownCountdown.h"
#include "schedule/TSetTimeForm.h"
#include "schedule/TimeOfDay.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QTimer>

namespace koro {

struct AppSettings;
class PlatformInfo;
class PowerControl;

// Powers the computer off at a set hour and minute of this run, after a countdown the user
// sees and can cancel. The time lives in memory only: ending the program drops it.
class ShutdownTimer : public QObject {
    Q_OBJECT
public:
    static constexpr int CountdownSeconds = 30;

    ShutdownTimer(AppSettings& settings, PowerControl& power, const PlatformInfo& platformInfo,
                  ScheduleHooks hooks, Clock clock, QObject* parent = nullptr);

    // The timer dialog in shutdown mode, showing the last time set; the one already open, if
    // any, brought to the front.
    TSetTimeForm* openTimerDialog();
    // Arms the check for time (replacing an older one) and announces it.
    void arm(const QByteArray& time);
    // The armed time will not fire; the time stays for the dialog to show.
    void disarm();
    bool armed() const { return m_timer.isActive(); }

    void TimerPowerOffTimer();
    void ShutDownComputer();

    ~ShutdownTimer() override;

    QTimer& TimerPowerOff() { return m_timer; }
    ShutdownCountdown* countdown() const { return m_countdown; }

signals:
    void armedChanged(bool armed);

private:
    AppSettings& m_settings;
    PowerControl& m_power;
    const PlatformInfo& m_platformInfo;
    ScheduleHooks m_hooks;
    Clock m_clock;
    QTimer m_timer;
    QPointer<TSetTimeForm> m_dialog;
    QPointer<ShutdownCountdown> m_countdown;
};

} // namespace koro
