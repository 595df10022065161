#pragma once

#include "Platform/Calendar/Instant.h"

#include <compare>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unicode/uversion.h>
#include <vector>

U_NAMESPACE_BEGIN
class Calendar;
U_NAMESPACE_END

namespace platform {

enum class CalendarUnit { era, year, month, day, weekday };

// Names one month of a calendar without ambiguity: the era matters where
// years restart (Japanese), the leap flag where a month number repeats
// (Chinese). Months count from 1.
struct YearMonth {
    std::int32_t era = 0;     // the calendar's era number
    std::int32_t year = 0;    // the year within the era
    std::int32_t month = 1;   // 1-based month within the year
    bool isLeapMonth = false; // the repeated month of a lunisolar year
    auto operator<=>(const YearMonth&) const = default;
};

// A calendar of the user's choosing: its system (Gregorian, Buddhist,
// Japanese, Islamic, Hebrew, Persian, ...), its locale and first day of the
// week, in a time zone. Built on ICU.
//
// A value is cheap to build and meant to be built per call and used on one
// thread; copies are independent.
class Calendar {
public:
    // The user's current calendar (UserLocale) with its time zone set to the
    // system's current one (SystemTimeZone); both are looked up afresh.
    static Calendar current();

    // A calendar for an ICU locale identifier ("de_DE", "th_TH",
    // "ja_JP@calendar=japanese", "en_GB@fw=sun") in a named time zone.
    Calendar(const std::string& localeIdentifier, const std::string& timeZoneIdentifier);

    Calendar(const Calendar& other);
    Calendar& operator=(const Calendar& other);
    Calendar(Calendar&&) noexcept;
    Calendar& operator=(Calendar&&) noexcept;
    ~Calendar();

    // The calendar system's name as ICU has it ("gregorian", "buddhist", ...).
    std::string identifier() const;
    const std::string& localeIdentifier() const { return localeIdentifier_; }
    std::string timeZoneIdentifier() const;

    // 1-based weekday that begins the week: 1 = Sunday, 2 = Monday, ...
    int firstWeekday() const;
    void setFirstWeekday(int weekday);

    // Year and month of an instant in this calendar's time zone.
    YearMonth yearMonth(Instant instant) const;

    // The first instant of day 1 of the given month; absent when the calendar
    // cannot name that month.
    std::optional<Instant> startOfMonth(const YearMonth& month) const;

    // The first instant of the calendar day that holds `instant`.
    std::optional<Instant> startOfDay(Instant instant) const;

    // Calendar addition without wrapping: a month after the last month of a
    // year is the first month of the next. Only months and days are
    // supported; absent when the result lies outside what the calendar can
    // represent.
    std::optional<Instant> adding(CalendarUnit unit, std::int64_t value, Instant instant) const;

    // One component of an instant. Weekdays run 1 = Sunday to 7 = Saturday,
    // months and days from 1.
    std::int32_t component(CalendarUnit unit, Instant instant) const;

    // Whether two instants fall on the same calendar day in this time zone.
    bool isDate(Instant first, Instant inSameDayAs) const;

    // A running count of days (the local Julian day number) for comparing
    // and counting days without calendar arithmetic.
    std::int32_t dayNumber(Instant instant) const;

    // What a grid of days needs to know about one day.
    struct Day {
        Instant start;              // first instant of the day
        YearMonth month;            // the month the day belongs to
        std::int32_t dayNumber = 0; // as dayNumber()
    };

    // `count` consecutive days, the i-th being `first` plus i days by calendar
    // arithmetic; empty when the calendar cannot reach them all.
    std::vector<Day> consecutiveDays(Instant first, int count) const;

    // The narrowest stand-alone weekday names, element 0 being Sunday's.
    std::vector<std::string> veryShortStandaloneWeekdaySymbols() const;
    // The full stand-alone weekday names ("Monday"), element 0 being Sunday's.
    std::vector<std::string> standaloneWeekdaySymbols() const;

    // The wrapped ICU calendar, for formatting in this calendar.
    const icu::Calendar& icuCalendar() const { return *calendar_; }

private:
    std::vector<std::string> standaloneWeekdays(bool narrow) const;
    // The first instant of the day with the given local Julian day number.
    Instant localMidnight(std::int32_t dayNumber) const;

    std::string localeIdentifier_;
    // ICU calendars hold their current time as mutable state; every reading
    // sets it first, so a const Calendar may still move it.
    std::unique_ptr<icu::Calendar> calendar_;
};

} // namespace platform
