#include "schedule/TimeOfDay.h"

#include <QList>

namespace koro {

Clock systemClock() {
    return [] { return QDateTime::currentDateTime(); };
}

namespace {

std::optional<int> readPart(const QByteArray& part) {
    if (part.isEmpty() || part.size() > 2)
        return std::nullopt;
    int value = 0;
    for (const char c : part) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

} // namespace

std::optional<TimeOfDay> parseTimeOfDay(const QByteArray& text) {
    const QList<QByteArray> parts = text.split(':');
    if (parts.size() != 2)
        return std::nullopt;
    const auto hour = readPart(parts[0]);
    const auto minute = readPart(parts[1]);
    if (!hour || !minute || *hour > 23 || *minute > 59)
        return std::nullopt;
    return TimeOfDay{*hour, *minute};
}

bool MatchesNow(const QByteArray& text, const QDateTime& now) {
    const auto time = parseTimeOfDay(text);
    const QTime clock = now.time();
    return time && time->hour == clock.hour() && time->minute == clock.minute();
}

} // namespace koro
