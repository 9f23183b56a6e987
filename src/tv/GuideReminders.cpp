#include "tv/GuideReminders.h"

#include "tv/JsonFile.h"

#include <QJsonObject>

namespace koro::tv {

GuideReminders::GuideReminders(QString path, Clock clock, QObject* parent)
    : QObject(parent)
    , m_path(std::move(path))
    , m_clock(clock ? std::move(clock) : [] { return QDateTime::currentDateTime(); }) {
    for (const auto& value : readJsonList(m_path)) {
        const QJsonObject o = value.toObject();
        Reminder r{o.value("playlist").toString(),      o.value("channelUrl").toString(),
                   o.value("channelName").toString(),   o.value("title").toString(),
                   qint64(o.value("start").toDouble()), qint64(o.value("stop").toDouble())};
        if (!r.channelUrl.isEmpty() && r.stop > r.start)
            m_reminders.append(r);
    }
    m_timer.setParent(this);
    m_timer.setObjectName("TimerGuideReminders");
    m_timer.setInterval(CheckMs);
    connect(&m_timer, &QTimer::timeout, this, &GuideReminders::check);
    m_timer.start();
}

bool GuideReminders::add(const Reminder& reminder) {
    if (reminder.start <= m_clock().toSecsSinceEpoch() || reminder.stop <= reminder.start ||
        has(reminder.channelUrl, reminder.start))
        return false;
    auto at = std::find_if(m_reminders.begin(), m_reminders.end(),
                           [&](const Reminder& r) { return r.start > reminder.start; });
    m_reminders.insert(at, reminder);
    save();
    emit changed();
    return true;
}

void GuideReminders::cancel(const QString& channelUrl, qint64 start) {
    if (m_reminders.removeIf(
            [&](const Reminder& r) { return r.channelUrl == channelUrl && r.start == start; }) == 0)
        return;
    save();
    emit changed();
}

bool GuideReminders::has(const QString& channelUrl, qint64 start) const {
    return std::any_of(m_reminders.cbegin(), m_reminders.cend(), [&](const Reminder& r) {
        return r.channelUrl == channelUrl && r.start == start;
    });
}

void GuideReminders::check() {
    const qint64 now = m_clock().toSecsSinceEpoch();
    QList<Reminder> fired;
    const qsizetype removed = m_reminders.removeIf([&](const Reminder& r) {
        if (r.start > now)
            return false;
        if (r.stop > now)
            fired.append(r);
        return true;
    });
    if (removed == 0)
        return;
    save();
    emit changed();
    for (const Reminder& r : fired)
        emit due(r);
}

void GuideReminders::save() const {
    QJsonArray list;
    for (const Reminder& r : m_reminders)
        list.append(QJsonObject{{"playlist", r.playlist},
                                {"channelUrl", r.channelUrl},
                                {"channelName", r.channelName},
                                {"title", r.title},
                                {"start", double(r.start)},
                                {"stop", double(r.stop)}});
    writeJsonList(m_path, list);
}

} // namespace koro::tv
