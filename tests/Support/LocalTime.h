#pragma once

#include <ctime>

namespace tarvelo::testsupport {

// Seconds since 1970 of a local wall-clock time in the current zone (TZ).
inline std::time_t localTime(int year, int month, int day, int hour, int minute, int second) {
    std::tm parts{};
    parts.tm_year = year - 1900;
    parts.tm_mon = month - 1;
    parts.tm_mday = day;
    parts.tm_hour = hour;
    parts.tm_min = minute;
    parts.tm_sec = second;
    parts.tm_isdst = -1;
    return std::mktime(&parts);
}

} // namespace tarvelo::testsupport
