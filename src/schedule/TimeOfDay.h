#pragma once

#include <QByteArray>
#include <QDateTime>

#include <functional>
#include <optional>

namespace koro {

// Where the schedule classes get the time; tests hand in a fixed one.
using Clock = std::function<QDateTime()>;
Clock systemClock();

struct TimeOfDay {
    int hour = 0;
    int minute = 0;
};

// "H:M" with one or two digits each, hour 0-23 and minute 0-59; "24:0" and anything else
// unreadable gives nothing.
std::optional<TimeOfDay> parseTimeOfDay(const QByteArray& text);

// Whether text names the hour and minute of now; an unreadable text never matches.
bool MatchesNow(const QByteArray& text, const QDateTime& now);

} // namespace koro
