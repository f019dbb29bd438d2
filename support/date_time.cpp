#include "support/date_time.h"

namespace {

constexpr long long kSecondsPerDay = 24LL * 60 * 60;

// Days from and to the proleptic Gregorian calendar, counted from 1 March of year 0 so that
// the leap day falls at the end of each 400-year era. <chrono> does the same but cannot be
// used here: it holds a "µs" literal that has no GBK form.
constexpr long long kDaysPerEra = 146097;

long long floorDivide(long long value, long long divisor) {
    const long long quotient = value / divisor;
    return (value % divisor < 0) ? quotient - 1 : quotient;
}

long long dayNumberOf(int year, int month, int day) {
    const long long marchYear = month <= 2 ? year - 1LL : year;
    const long long era = floorDivide(marchYear, 400);
    const long long yearOfEra = marchYear - era * 400;
    const long long monthFromMarch = month > 2 ? month - 3 : month + 9;
    const long long dayOfYear = (153 * monthFromMarch + 2) / 5 + day - 1;
    const long long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * kDaysPerEra + dayOfEra;
}

void setDate(DateTime& value, long long dayNumber) {
    const long long era = floorDivide(dayNumber, kDaysPerEra);
    const long long dayOfEra = dayNumber - era * kDaysPerEra;
    const long long yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / (kDaysPerEra - 1)) / 365;
    const long long dayOfYear = dayOfEra - (yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100);
    const long long monthFromMarch = (5 * dayOfYear + 2) / 153;
    value.day = static_cast<int>(dayOfYear - (153 * monthFromMarch + 2) / 5 + 1);
    value.month = static_cast<int>(monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9);
    value.year = static_cast<int>(era * 400 + yearOfEra + (value.month <= 2 ? 1 : 0));
}

}  // namespace

DateTime addDays(const DateTime& value, int days) {
    DateTime shifted = value;
    setDate(shifted, dayNumberOf(value.year, value.month, value.day) + days);
    return shifted;
}

DateTime addSeconds(const DateTime& value, long long seconds) {
    const long long secondOfDay =
        value.hour * 3600LL + value.minute * 60LL + value.second + seconds;
    // Floor division, so that going back past midnight lands on the day before.
    const long long dayShift = floorDivide(secondOfDay, kSecondsPerDay);
    const long long secondOfNewDay = secondOfDay - dayShift * kSecondsPerDay;

    DateTime shifted = value;
    setDate(shifted, dayNumberOf(value.year, value.month, value.day) + dayShift);
    shifted.hour = static_cast<int>(secondOfNewDay / 3600);
    shifted.minute = static_cast<int>(secondOfNewDay / 60 % 60);
    shifted.second = static_cast<int>(secondOfNewDay % 60);
    return shifted;
}
