#include "support/date_time.h"

#include <ostream>

#include <gtest/gtest.h>

// Readable failures: "2024-02-29 08:30:15".
static void PrintTo(const DateTime& value, std::ostream* out) {
    *out << value.year << '-' << value.month << '-' << value.day << ' ' << value.hour << ':'
         << value.minute << ':' << value.second;
}

namespace {

struct DaysCase {
    DateTime from;
    int days;
    DateTime expected;
};

TEST(AddDays, FollowsTheCalendarAndKeepsTheTimeOfDay) {
    const DaysCase cases[] = {
        {{2024, 5, 10, 8, 30, 15}, 0, {2024, 5, 10, 8, 30, 15}},
        {{2024, 2, 28, 8, 30, 15}, 1, {2024, 2, 29, 8, 30, 15}},
        {{2023, 2, 28, 8, 30, 15}, 1, {2023, 3, 1, 8, 30, 15}},
        {{1900, 2, 28, 0, 0, 0}, 1, {1900, 3, 1, 0, 0, 0}},
        {{2000, 2, 28, 0, 0, 0}, 1, {2000, 2, 29, 0, 0, 0}},
        {{2024, 12, 31, 23, 59, 59}, 1, {2025, 1, 1, 23, 59, 59}},
        {{2024, 3, 1, 12, 0, 0}, -1, {2024, 2, 29, 12, 0, 0}},
        {{2025, 1, 1, 12, 0, 0}, -1, {2024, 12, 31, 12, 0, 0}},
        {{2024, 1, 31, 6, 0, 0}, 30, {2024, 3, 1, 6, 0, 0}},
        {{1899, 12, 30, 0, 0, 0}, 45000, {2023, 3, 15, 0, 0, 0}},
    };
    for (const DaysCase& test : cases) {
        SCOPED_TRACE(test.days);
        EXPECT_EQ(addDays(test.from, test.days), test.expected);
    }
}

struct SecondsCase {
    DateTime from;
    long long seconds;
    DateTime expected;
};

TEST(AddSeconds, RollsOverMinutesHoursDaysAndYears) {
    const SecondsCase cases[] = {
        {{2024, 5, 10, 21, 40, 5}, 0, {2024, 5, 10, 21, 40, 5}},
        {{2024, 5, 10, 21, 40, 5}, 1, {2024, 5, 10, 21, 40, 6}},
        {{2024, 5, 10, 21, 40, 55}, 10, {2024, 5, 10, 21, 41, 5}},
        {{2024, 5, 10, 21, 59, 59}, 1, {2024, 5, 10, 22, 0, 0}},
        {{2024, 5, 10, 21, 40, 0}, 30LL * 60, {2024, 5, 10, 22, 10, 0}},
        {{2024, 12, 31, 23, 59, 59}, 1, {2025, 1, 1, 0, 0, 0}},
        {{2024, 2, 28, 23, 0, 0}, 25LL * 3600, {2024, 3, 1, 0, 0, 0}},
        {{2024, 5, 10, 0, 0, 0}, -1, {2024, 5, 9, 23, 59, 59}},
        {{2024, 5, 10, 10, 20, 30}, -(10LL * 3600 + 20LL * 60 + 31), {2024, 5, 9, 23, 59, 59}},
        {{2024, 3, 1, 0, 0, 0}, -86400, {2024, 2, 29, 0, 0, 0}},
        {{2024, 1, 1, 12, 0, 0}, -366LL * 86400, {2022, 12, 31, 12, 0, 0}},
        {{2024, 5, 10, 12, 0, 0}, 2LL * 86400 + 3661, {2024, 5, 12, 13, 1, 1}},
    };
    for (const SecondsCase& test : cases) {
        SCOPED_TRACE(test.seconds);
        EXPECT_EQ(addSeconds(test.from, test.seconds), test.expected);
    }
}

}  // namespace
