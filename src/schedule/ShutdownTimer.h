#pragma once

#include "schedule/ScheduleHooks.h"
#include "schedule/TimeOfDay.h"

#include <QByteArray>
#include <QObject>
#include <QTimer>

namespace koro {

struct AppSettings;
class PlatformInfo;
class PowerControl;
class TSetTimeForm;

// Powers the computer off at a set hour and minute of this run. The time lives in memory
// only: ending the program drops it.
class ShutdownTimer : public QObject {
    Q_OBJECT
public:
    static constexpr int CountdownSeconds = 30;

    ShutdownTimer(AppSettings& settings, PowerControl& power, const PlatformInfo& platformInfo,
                  ScheduleHooks hooks, Clock clock, QObject* parent = nullptr);

    // The timer dialog in shutdown mode, showing the last time set, shown.
    TSetTimeForm* openTimerDialog();
    // Arms the check for time (replacing an older one) and announces it.
    void arm(const QByteArray& time);

    void TimerPowerOffTimer();
    void ShutDownComputer();

    QTimer& TimerPowerOff() { return m_timer; }

    static QString countdownMessage();

private:
    AppSettings& m_settings;
    PowerControl& m_power;
    const PlatformInfo& m_platformInfo;
    ScheduleHooks m_hooks;
    Clock m_clock;
    QTimer m_timer;
};

} // namespace koro
