#include "tv/Guide.h"

#include <QDateTime>

#include <algorithm>
#include <optional>

namespace koro::tv {

QString Guide::channelFor(const QString& tvgId, const QString& tvgName, const QString& name) const {
    if (!tvgId.isEmpty() && programmes.contains(tvgId))
        return tvgId;
    for (const QString& candidate : {tvgName, name}) {
        if (candidate.isEmpty())
            continue;
        const auto it = idByName.constFind(candidate.toLower());
        if (it != idByName.constEnd())
            return *it;
    }
    return {};
}

std::pair<const Programme*, const Programme*> Guide::nowNext(const QString& channelId,
                                                             qint64 t) const {
    const auto it = programmes.constFind(channelId);
    if (it == programmes.constEnd())
        return {nullptr, nullptr};
    const QList<Programme>& list = *it;
    // The first programme that ends after t.
    const auto current = std::upper_bound(
        list.cbegin(), list.cend(), t, [](qint64 at, const Programme& p) { return at < p.stop; });
    if (current == list.cend())
        return {nullptr, nullptr};
    if (current->start > t)
        return {nullptr, &*current};
    const auto next = current + 1;
    return {&*current, next == list.cend() ? nullptr : &*next};
}

qsizetype Guide::programmeCount() const {
    qsizetype n = 0;
    for (const QList<Programme>& list : programmes)
        n += list.size();
    return n;
}

std::optional<qint64> parseGuideTime(QStringView text) {
    text = text.trimmed();
    qsizetype digits = 0;
    while (digits < text.size() && digits < 14 && text[digits].isDigit())
        ++digits;
    if (digits < 8) // at least a day
        return std::nullopt;
    const auto field = [&](qsizetype at, qsizetype len, int fallback) {
        return at + len <= digits ? text.mid(at, len).toInt() : fallback;
    };
    const QDate date(field(0, 4, 0), field(4, 2, 1), field(6, 2, 1));
    const QTime time(field(8, 2, 0), field(10, 2, 0), field(12, 2, 0));
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    // Skips fractions some guides write.
    QStringView zone = text.mid(digits);
    while (!zone.isEmpty() && (zone.front().isDigit() || zone.front() == u'.'))
        zone = zone.mid(1);
    zone = zone.trimmed();
    int offset = 0;
    if (!zone.isEmpty() && (zone.front() == u'+' || zone.front() == u'-')) {
        QString hhmm = zone.mid(1).toString().remove(u':');
        if (hhmm.size() != 4 ||
            !std::all_of(hhmm.cbegin(), hhmm.cend(), [](QChar c) { return c.isDigit(); }))
            return std::nullopt;
        const int hours = hhmm.left(2).toInt();
        const int minutes = hhmm.mid(2).toInt();
        if (hours > 14 || minutes > 59)
            return std::nullopt;
        offset = (hours * 3600 + minutes * 60) * (zone.front() == u'-' ? -1 : 1);
    }
    return QDateTime(date, time, Qt::UTC).toSecsSinceEpoch() - offset;
}

} // namespace koro::tv
