#include "schedule/TimeOfDay.h"

#include <gtest/gtest.h>

#include <tuple>

namespace koro {
namespace {

QDateTime at(int hour, int minute, int second = 0) {
    return QDateTime(QDate(2026, 12, 9), QTime(hour, minute, second));
}

TEST(TimeOfDay, ReadsOneOrTwoDigitsAsTypedAndNothingElse) {
    for (const auto& [text, hour, minute] :
         {std::tuple{"7:5", 7, 5}, {"07:05", 7, 5}, {"23:59", 23, 59}, {"0:0", 0, 0}}) {
        const auto t = parseTimeOfDay(text);
        ASSERT_TRUE(t) << text;
        EXPECT_EQ(t->hour, hour) << text;
        EXPECT_EQ(t->minute, minute) << text;
    }
    for (const char* text : {"24:0", "23:60", "", ":", "7", "7:", ":5", "7:5:0", "-1:5", "+1:5",
                             " 7:5", "7:5 ", "123:4", "a:b", "7.5"})
        EXPECT_FALSE(parseTimeOfDay(text)) << text;
}

TEST(MatchesNow, SameHourAndMinuteWhateverTheSecondsAndNeverWithoutASchedule) {
    const struct {
        const char* text;
        QDateTime now;
        bool matches;
    } cases[] = {
        {"7:5", at(7, 5), true},        {"7:5", at(7, 5, 59), true},
        {"07:05", at(7, 5, 30), true},  {"7:5", at(7, 6), false},
        {"7:5", at(7, 4, 59), false},   {"7:5", at(19, 5), false},
        {"23:30", at(23, 30, 1), true}, {"23:30", at(23, 29, 59), false},
        {"24:0", at(0, 0), false},      {"24:0", at(23, 59), false},
        {"", at(0, 0), false},          {"0:", at(0, 0), false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MatchesNow(c.text, c.now), c.matches)
            << c.text << " at " << c.now.toString().toStdString();
}

} // namespace
} // namespace koro
