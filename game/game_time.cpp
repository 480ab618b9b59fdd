#include "game_time.h"

namespace {

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar.
long long daysFromCivil(long long y, long long m, long long d) {
    y -= m <= 2 ? 1 : 0;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yearOfEra = y - era * 400;
    const long long dayOfYear = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

}  // namespace

long long secondsSinceEpoch(const ApiDateTime& t) {
    return daysFromCivil(t.year, t.month, t.day) * 86400 + t.hour * 3600LL + t.minute * 60LL +
           t.second;
}

long long currentTimeSeconds() {
    ApiDateTime now{};
    if (ApiGetLocalDateTime(&now) != 0) return 0;
    return secondsSinceEpoch(now);
}
