#include "schedule/ShutdownTimer.h"

#include "config/AppSettings.h"
#include "config/CodePage.h"
#include "config/FormTimer.h"
#include "platform/PlatformInfo.h"
#include "platform/PowerControl.h"
#include "schedule/ShutdownCountdown.h"
#include "schedule/TSetTimeForm.h"

namespace koro {

namespace {
using namespace std::chrono_literals;
constexpr auto Check = 3s;
} // namespace

ShutdownTimer::ShutdownTimer(AppSettings& settings, PowerControl& power,
                             const PlatformInfo& platformInfo, ScheduleHooks hooks, Clock clock,
                             QObject* parent)
    : QObject(parent)
    , m_settings(settings)
    , m_power(power)
    , m_platformInfo(platformInfo)
    , m_hooks(std::move(hooks))
    , m_clock(clock ? std::move(clock) : systemClock()) {
    setUpFormTimer(m_timer, this, "TimerPowerOff", Check, &ShutdownTimer::TimerPowerOffTimer);
}

ShutdownTimer::~ShutdownTimer() {
    // A countdown still running ends with the program, and with it the power-off.
    delete m_countdown;
}

TSetTimeForm* ShutdownTimer::openTimerDialog() {
    if (m_dialog) {
        m_dialog->raise();
        m_dialog->activateWindow();
        return m_dialog;
    }
    m_dialog = new TSetTimeForm(m_hooks.applyLanguage, m_hooks.mainWindow.data());
    m_dialog->setShutdownMode(m_settings.PowerOffTime, armed());
    connect(m_dialog, &TSetTimeForm::powerOffTimeChosen, this, &ShutdownTimer::arm);
    connect(m_dialog, &TSetTimeForm::powerOffCancelled, this, &ShutdownTimer::disarm);
    m_dialog->show();
    return m_dialog;
}

void ShutdownTimer::arm(const QByteArray& time) {
    m_settings.PowerOffTime = time;
    m_timer.start();
    emit armedChanged(true);
    if (m_hooks.notice)
        m_hooks.notice(QString::fromUtf8(NoticeTitle),
                       QStringLiteral("定时关机设置成功,") + codepage::toUnicode(time) +
                           QStringLiteral("将自动关机,") + QChar(13) +
                           QStringLiteral("退出Koro失效!"));
}

void ShutdownTimer::disarm() {
    m_timer.stop();
    emit armedChanged(false);
}

void ShutdownTimer::TimerPowerOffTimer() {
    if (!MatchesNow(m_settings.PowerOffTime, m_clock()))
        return;
    m_timer.stop();
    emit armedChanged(false);
    ShutDownComputer();
}

void ShutdownTimer::ShutDownComputer() {
    if (m_platformInfo.family() != PlatformFamily::NT) {
        m_power.powerOffNow();
        return;
    }
    // Nothing goes to the system before the countdown has run out: the user can stop it here.
    if (!m_countdown) {
        m_countdown = new ShutdownCountdown(CountdownSeconds);
        connect(m_countdown, &ShutdownCountdown::powerOffRequested, this,
                [this] { m_power.powerOffNow(); });
    }
    m_countdown->show();
    m_countdown->raise();
    m_countdown->activateWindow();
}

} // namespace koro
