#include "schedule/TimeOfDay.h"

#include <gtest/gtest.h>

namespace koro {
namespace {

QDateTime at(int hour, int minute, int second = 0) {
    return QDateTime(QDate(2026, 12, 9), QTime(hour, minute, second));
}

TEST(TimeOfDay, ReadsOneOrTwoDigitsAsTyped) {
    const auto t = parseTimeOfDay("7:5");
    ASSERT_TRUE(t);
    EXPECT_EQ(t->hour, 7);
    EXPECT_EQ(t->minute, 5);
    const auto u = parseTimeOfDay("07:05");
    ASSERT_TRUE(u);
    EXPECT_EQ(u->hour, 7);
    EXPECT_EQ(u->minute, 5);
    EXPECT_TRUE(parseTimeOfDay("23:59"));
    EXPECT_TRUE(parseTimeOfDay("0:0"));
}

TEST(TimeOfDay, UnreadableTextsGiveNothing) {
    for (const char* text : {"24:0", "23:60", "", ":", "7", "7:", ":5", "7:5:0", "-1:5", "+1:5",
                             " 7:5", "7:5 ", "123:4", "a:b", "7.5"})
        EXPECT_FALSE(parseTimeOfDay(text)) << text;
}

TEST(MatchesNow, SameHourAndMinuteWhateverTheSeconds) {
    EXPECT_TRUE(MatchesNow("7:5", at(7, 5)));
    EXPECT_TRUE(MatchesNow("7:5", at(7, 5, 59)));
    EXPECT_TRUE(MatchesNow("07:05", at(7, 5, 30)));
    EXPECT_FALSE(MatchesNow("7:5", at(7, 6)));
    EXPECT_FALSE(MatchesNow("7:5", at(7, 4, 59)));
    EXPECT_FALSE(MatchesNow("7:5", at(19, 5)));
    EXPECT_TRUE(MatchesNow("23:30", at(23, 30, 1)));
    EXPECT_FALSE(MatchesNow("23:30", at(23, 29, 59)));
}

TEST(MatchesNow, NoScheduleAndBadTextsNeverMatch) {
    EXPECT_FALSE(MatchesNow("24:0", at(0, 0)));
    EXPECT_FALSE(MatchesNow("24:0", at(23, 59)));
    EXPECT_FALSE(MatchesNow("", at(0, 0)));
    EXPECT_FALSE(MatchesNow("0:", at(0, 0)));
}

} // namespace
} // namespace koro
