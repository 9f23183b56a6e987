#pragma once

#include "schedule/ScheduleHooks.h"
#include "schedule/TimeOfDay.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>

namespace koro {

struct AppSettings;
class AlarmSound;
class ProfileFile;
class TSetTimeForm;
class TfrmPS;

// One channel watched at a set hour and minute: the timer dialog that sets it, the check
// every four seconds, the reminder bubble and the alarm.
class ScheduledViewing : public QObject {
    Q_OBJECT
public:
    // user.ini as far as it is open (it may not be yet, or ever).
    using UserIni = std::function<ProfileFile*()>;

    ScheduledViewing(AppSettings& settings, UserIni userIni, AlarmSound& alarm, QString alarmFile,
                     ScheduleHooks hooks, Clock clock, QObject* parent = nullptr);
    ~ScheduledViewing() override;

    // The timer dialog in viewing mode for this channel, shown.
    TSetTimeForm* openTimerDialog(const QString& channelName, const QString& channelUrl);
    // Keeps the schedule in memory and in user.ini, starts the check and announces it.
    // False when user.ini could not be written; then nothing changed in memory either.
    bool schedule(const QString& channelName, const QString& channelUrl, const QByteArray& time);

    void Timer_SeeTvTimer();
    void TimerSoundTimer();
    // Another kind of reminder (a programme from the guide): the same bubble and alarm, and the
    // main window comes forward; "观看" runs watch. The box that deletes the schedule is not
    // offered: this reminder is not the schedule.
    TfrmPS* remind(const QString& text, std::function<void()> watch);

    QTimer& Timer_SeeTv() { return m_seeTv; }
    QTimer& TimerSound() { return m_sound; }
    int soundTicks() const { return m_soundTicks; }
    TfrmPS* reminder() const;

signals:
    void reminderShown(koro::TfrmPS* reminder);

private:
    TfrmPS* showReminder(const QString& text, const QString& url);
    void reminderClosing(bool deleteSchedule);
    void watch(const QString& url);

    AppSettings& m_settings;
    UserIni m_userIni;
    AlarmSound& m_alarm;
    QString m_alarmFile;
    ScheduleHooks m_hooks;
    Clock m_clock;
    QTimer m_seeTv;
    QTimer m_sound;
    int m_soundTicks = 0;
    QPointer<TfrmPS> m_reminder;
};

} // namespace koro
