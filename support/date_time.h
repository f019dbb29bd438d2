// Local calendar date and time of day to the whole second.
#pragma once

#include <compare>

struct DateTime {
    int year = 1899;
    int month = 12;
    int day = 30;
    int hour = 0;
    int minute = 0;
    int second = 0;

    // Field order makes this the order of time on one local clock. clang-tidy 14 takes the
    // literal 0 that the generated comparisons test against for a null pointer.
    auto operator<=>(const DateTime&) const = default;  // NOLINT(modernize-use-nullptr)
};

// The local wall clock (time zone and daylight saving applied), milliseconds dropped.
// Every call reads the clock anew.
DateTime currentTime();

inline int hourOf(const DateTime& value) {
    return value.hour;
}
inline int minuteOf(const DateTime& value) {
    return value.minute;
}
inline int secondOf(const DateTime& value) {
    return value.second;
}

// The same time of day, days later (or earlier) on the calendar; months and leap years are
// honoured, time zones are not involved.
DateTime addDays(const DateTime& value, int days);

// The wall-clock reading the given number of seconds later (or earlier), rolling over into
// the next minutes, hours and days as a clock that never jumps would.
DateTime addSeconds(const DateTime& value, long long seconds);
