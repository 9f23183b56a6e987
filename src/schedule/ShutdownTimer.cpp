#include "schedule/ShutdownTimer.h"

#include "config/AppSettings.h"
#include "config/CodePage.h"
#include "config/FormTimer.h"
#include "platform/PlatformInfo.h"
#include "platform/PowerControl.h"
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

TSetTimeForm* ShutdownTimer::openTimerDialog() {
    auto* dialog = new TSetTimeForm(m_hooks.applyLanguage, m_hooks.mainWindow.data());
    dialog->setShutdownMode(m_settings.PowerOffTime);
    connect(dialog, &TSetTimeForm::powerOffTimeChosen, this, &ShutdownTimer::arm);
    dialog->show();
    return dialog;
}

void ShutdownTimer::arm(const QByteArray& time) {
    m_settings.PowerOffTime = time;
    m_timer.start();
    if (m_hooks.notice)
        m_hooks.notice(QString::fromUtf8(NoticeTitle),
                       QStringLiteral("定时关机设置成功,") + codepage::toUnicode(time) +
                           QStringLiteral("将自动关机,") + QChar(13) +
                           QStringLiteral("退出Lumo失效!"));
}

void ShutdownTimer::TimerPowerOffTimer() {
    if (!MatchesNow(m_settings.PowerOffTime, m_clock()))
        return;
    m_timer.stop();
    ShutDownComputer();
}

void ShutdownTimer::ShutDownComputer() {
    if (m_platformInfo.family() == PlatformFamily::NT)
        m_power.scheduleShutdown(CountdownSeconds, countdownMessage());
    else
        m_power.powerOffNow();
}

QString ShutdownTimer::countdownMessage() {
    return QStringLiteral("您设定的关机时间到了,你可以在终端输入：shutdown -c 来取消");
}

} // namespace koro
