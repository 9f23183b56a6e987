#include "schedule/ScheduledViewing.h"

#include "config/AppSettings.h"
#include "config/CodePage.h"
#include "config/Error.h"
#include "config/FormTimer.h"
#include "config/ProfileFile.h"
#include "platform/AlarmSound.h"
#include "schedule/TSetTimeForm.h"
#include "schedule/TfrmPS.h"
#include "ui_TfrmPS.h"

namespace koro {

namespace {
using namespace std::chrono_literals;
constexpr auto Check = 4s;
constexpr auto Sound = 6s;
constexpr int MaxRings = 3;
} // namespace

ScheduledViewing::ScheduledViewing(AppSettings& settings, UserIni userIni, AlarmSound& alarm,
                                   QString alarmFile, ScheduleHooks hooks, Clock clock,
                                   QObject* parent)
    : QObject(parent)
    , m_settings(settings)
    , m_userIni(std::move(userIni))
    , m_alarm(alarm)
    , m_alarmFile(std::move(alarmFile))
    , m_hooks(std::move(hooks))
    , m_clock(clock ? std::move(clock) : systemClock()) {
    setUpFormTimer(m_seeTv, this, "Timer_SeeTv", Check, &ScheduledViewing::Timer_SeeTvTimer);
    setUpFormTimer(m_sound, this, "TimerSound", Sound, &ScheduledViewing::TimerSoundTimer);
}

ScheduledViewing::~ScheduledViewing() {
    if (m_reminder)
        m_reminder->disconnect(this);
}

TSetTimeForm* ScheduledViewing::openTimerDialog(const QString& channelName,
                                                const QString& channelUrl) {
    auto* dialog = new TSetTimeForm(m_hooks.applyLanguage, m_hooks.mainWindow.data());
    dialog->setViewingMode(channelName, channelUrl);
    connect(dialog, &TSetTimeForm::viewingTimeChosen, this,
            [this](const QString& name, const QString& url, const QByteArray& time, bool* kept) {
                *kept = schedule(name, url, time);
            });
    dialog->show();
    return dialog;
}

bool ScheduledViewing::schedule(const QString& channelName, const QString& channelUrl,
                                const QByteArray& time) {
    ProfileFile* userIni = m_userIni ? m_userIni() : nullptr;
    if (!userIni)
        return false;
    try {
        userIni->writeStrings(settings::UserTv,
                              {{"ChannelName", codepage::fromUnicode(channelName)},
                               {"Channelurl", codepage::fromUnicode(channelUrl)},
                               {"SeeTime", time}});
    } catch (const Error&) {
        return false;
    }
    m_settings.SeeTime = time;
    m_seeTv.start();
    if (m_hooks.notice)
        m_hooks.notice(QString::fromUtf8(NoticeTitle),
                       QStringLiteral("定时播放已设置,") + codepage::toUnicode(time) +
                           QStringLiteral("将准时播放") + QChar(13) + QLatin1Char('<') +
                           channelName + QLatin1Char('>'));
    return true;
}

void ScheduledViewing::Timer_SeeTvTimer() {
    if (!MatchesNow(m_settings.SeeTime, m_clock()))
        return;
    ProfileFile* userIni = m_userIni ? m_userIni() : nullptr;
    if (!userIni)
        return;
    const QByteArray name = userIni->readString(settings::UserTv, "ChannelName", "");
    const QByteArray url = userIni->readString(settings::UserTv, "ChannelUrl", "");
    if (url.isEmpty())
        return;
    m_seeTv.stop();
    TfrmPS* reminder =
        showReminder(QStringLiteral("提示：") + codepage::toUnicode(name) +
                         QStringLiteral("-到了您设定的观看时间<") +
                         codepage::toUnicode(m_settings.SeeTime) + QStringLiteral(">，是否观看？"),
                     codepage::toUnicode(url));
    connect(reminder, &TfrmPS::closing, this, &ScheduledViewing::reminderClosing);
    connect(reminder, &TfrmPS::watchRequested, this, &ScheduledViewing::watch);
}

TfrmPS* ScheduledViewing::remind(const QString& text, std::function<void()> watch) {
    TfrmPS* reminder = showReminder(text, QString());
    reminder->ui().CheckBox1->hide();
    connect(reminder, &TfrmPS::closing, this, [this] { reminderClosing(false); });
    connect(reminder, &TfrmPS::watchRequested, this, [this, watch = std::move(watch)] {
        if (m_hooks.mainWindowVisible && !m_hooks.mainWindowVisible() && m_hooks.showMainWindow)
            m_hooks.showMainWindow();
        if (watch)
            watch();
    });
    return reminder;
}

TfrmPS* ScheduledViewing::showReminder(const QString& text, const QString& url) {
    m_soundTicks = 0;
    m_sound.start();
    if (m_hooks.clearNotice)
        m_hooks.clearNotice();
    auto* reminder = new TfrmPS(m_hooks.trayIconGeometry ? m_hooks.trayIconGeometry() : QRect(),
                                m_hooks.applyLanguage);
    m_reminder = reminder;
    reminder->setReminder(text, url);
    reminder->show();
    reminder->raise();
    emit reminderShown(reminder);
    return reminder;
}

TfrmPS* ScheduledViewing::reminder() const {
    return m_reminder.data();
}

void ScheduledViewing::TimerSoundTimer() {
    m_alarm.play(m_alarmFile);
    if (++m_soundTicks >= MaxRings) {
        m_sound.stop();
        m_soundTicks = 0;
    }
}

void ScheduledViewing::reminderClosing(bool deleteSchedule) {
    if (deleteSchedule) {
        m_settings.SeeTime = settings::NoViewing;
        if (ProfileFile* userIni = m_userIni ? m_userIni() : nullptr) {
            try {
                userIni->writeString(settings::UserTv, "SeeTime", settings::NoViewing);
            } catch (const Error&) {
                // The file keeps the old time; the next run reminds once more.
            }
        }
    }
    m_sound.stop();
    m_soundTicks = 0;
}

void ScheduledViewing::watch(const QString& url) {
    if (m_hooks.mainWindowVisible && !m_hooks.mainWindowVisible() && m_hooks.showMainWindow)
        m_hooks.showMainWindow();
    if (m_hooks.navigate)
        m_hooks.navigate(url);
}

} // namespace koro
