#include "Platform/Calendar/Calendar.h"

#include "Platform/Calendar/SystemTimeZone.h"
#include "Platform/Calendar/UserLocale.h"

#include <algorithm>
#include <array>
#include <limits>
#include <map>
#include <mutex>
#include <unicode/basictz.h>
#include <unicode/calendar.h>
#include <unicode/dtfmtsym.h>
#include <unicode/locid.h>

namespace platform {

namespace {

// ICU 72 ignores the "fw" keyword; honour it ourselves.
std::optional<UCalendarDaysOfWeek> firstWeekdayOverride(const icu::Locale& locale) {
    UErrorCode status = U_ZERO_ERROR;
    char value[8] = {};
    const int32_t length = locale.getKeywordValue("fw", value, sizeof value, status);
    if (U_FAILURE(status) || length != 3)
        return std::nullopt;
    static constexpr std::array<const char*, 7> names = {"sun", "mon", "tue", "wed", "thu", "fri", "sat"};
    for (std::size_t index = 0; index < names.size(); ++index)
        if (std::string_view(value) == names[index])
            return static_cast<UCalendarDaysOfWeek>(UCAL_SUNDAY + index);
    return std::nullopt;
}

// Making an ICU calendar from a locale means loading its calendar and week
// data; those never change for a locale while we run, so one prototype per
// locale is kept and cloned. The time zone is set on every clone.
std::unique_ptr<icu::Calendar> makeCalendar(const std::string& localeIdentifier) {
    static std::mutex mutex;
    static std::map<std::string, std::unique_ptr<icu::Calendar>, std::less<>> prototypes;
    std::lock_guard lock(mutex);
    auto& prototype = prototypes[localeIdentifier];
    if (!prototype) {
        const icu::Locale locale(localeIdentifier.c_str());
        UErrorCode status = U_ZERO_ERROR;
        prototype.reset(icu::Calendar::createInstance(icu::TimeZone::getGMT()->clone(), locale, status));
        if (U_FAILURE(status) || !prototype) {
            status = U_ZERO_ERROR;
            prototype.reset(icu::Calendar::createInstance(icu::TimeZone::getGMT()->clone(),
                                                          icu::Locale::getRoot(), status));
        }
        if (auto weekday = firstWeekdayOverride(locale))
            prototype->setFirstDayOfWeek(*weekday);
        // Foundation counts any day of the first week as week 1; irrelevant to
        // us but keeps week numbers, if ever shown, familiar.
    }
    return std::unique_ptr<icu::Calendar>(prototype->clone());
}

UCalendarDateFields icuField(CalendarUnit unit) {
    switch (unit) {
    case CalendarUnit::era:
        return UCAL_ERA;
    case CalendarUnit::year:
        return UCAL_YEAR;
    case CalendarUnit::month:
        return UCAL_MONTH;
    case CalendarUnit::day:
        return UCAL_DATE;
    case CalendarUnit::weekday:
        return UCAL_DAY_OF_WEEK;
    }
    return UCAL_DATE;
}

} // namespace

Calendar Calendar::current() {
    return Calendar(UserLocale::identifier(), SystemTimeZone::identifier());
}

Calendar::Calendar(const std::string& localeIdentifier, const std::string& timeZoneIdentifier)
    : localeIdentifier_(localeIdentifier)
    , calendar_(makeCalendar(localeIdentifier)) {
    calendar_->adoptTimeZone(SystemTimeZone::named(timeZoneIdentifier).release());
}

Calendar::Calendar(const Calendar& other)
    : localeIdentifier_(other.localeIdentifier_)
    , calendar_(other.calendar_->clone()) {}

Calendar& Calendar::operator=(const Calendar& other) {
    if (this != &other) {
        localeIdentifier_ = other.localeIdentifier_;
        calendar_.reset(other.calendar_->clone());
    }
    return *this;
}

Calendar::Calendar(Calendar&&) noexcept = default;
Calendar& Calendar::operator=(Calendar&&) noexcept = default;
Calendar::~Calendar() = default;

std::string Calendar::identifier() const {
    return calendar_->getType();
}

std::string Calendar::timeZoneIdentifier() const {
    icu::UnicodeString id;
    calendar_->getTimeZone().getID(id);
    std::string result;
    id.toUTF8String(result);
    return result;
}

int Calendar::firstWeekday() const {
    return static_cast<int>(calendar_->getFirstDayOfWeek());
}

void Calendar::setFirstWeekday(int weekday) {
    if (weekday >= UCAL_SUNDAY && weekday <= UCAL_SATURDAY)
        calendar_->setFirstDayOfWeek(static_cast<UCalendarDaysOfWeek>(weekday));
}

YearMonth Calendar::yearMonth(Instant instant) const {
    UErrorCode status = U_ZERO_ERROR;
    calendar_->setTime(instant.udate(), status);
    YearMonth result;
    result.era = calendar_->get(UCAL_ERA, status);
    result.year = calendar_->get(UCAL_YEAR, status);
    result.month = calendar_->get(UCAL_MONTH, status) + 1;
    result.isLeapMonth = calendar_->get(UCAL_IS_LEAP_MONTH, status) != 0;
    return result;
}

std::optional<Instant> Calendar::startOfMonth(const YearMonth& month) const {
    // Fields are set from a cleared calendar so that no time of day is left
    // over; HOUR and AM_PM are cleared too, or ICU may prefer them over
    // HOUR_OF_DAY when it resolves the fields.
    calendar_->clear();
    calendar_->set(UCAL_ERA, month.era);
    calendar_->set(UCAL_YEAR, month.year);
    calendar_->set(UCAL_MONTH, month.month - 1);
    calendar_->set(UCAL_IS_LEAP_MONTH, month.isLeapMonth ? 1 : 0);
    calendar_->set(UCAL_DATE, 1);
    calendar_->set(UCAL_HOUR_OF_DAY, 0);
    UErrorCode status = U_ZERO_ERROR;
    const UDate date = calendar_->getTime(status);
    if (U_FAILURE(status))
        return std::nullopt;
    return Instant::fromUDate(date);
}

std::optional<Instant> Calendar::startOfDay(Instant instant) const {
    UErrorCode status = U_ZERO_ERROR;
    calendar_->setTime(instant.udate(), status);
    calendar_->set(UCAL_HOUR_OF_DAY, 0);
    calendar_->set(UCAL_HOUR, 0);
    calendar_->set(UCAL_AM_PM, UCAL_AM);
    calendar_->set(UCAL_MINUTE, 0);
    calendar_->set(UCAL_SECOND, 0);
    calendar_->set(UCAL_MILLISECOND, 0);
    const UDate date = calendar_->getTime(status);
    if (U_FAILURE(status))
        return std::nullopt;
    return Instant::fromUDate(date);
}

std::optional<Instant> Calendar::adding(CalendarUnit unit, std::int64_t value, Instant instant) const {
    if (unit != CalendarUnit::month && unit != CalendarUnit::day)
        return std::nullopt;
    // ICU's calendars span about 5.8 million years either way; a larger
    // amount cannot succeed, and ICU may spin for a long time finding that
    // out, so such amounts are refused up front.
    constexpr std::int64_t reachableMonths = 12LL * 5'900'000;
    constexpr std::int64_t reachableDays = 366LL * 5'900'000;
    const std::int64_t reachable = unit == CalendarUnit::month ? reachableMonths : reachableDays;
    if (value > reachable || value < -reachable)
        return std::nullopt;
    UErrorCode status = U_ZERO_ERROR;
    calendar_->setTime(instant.udate(), status);
    calendar_->add(icuField(unit), static_cast<int32_t>(value), status);
    const UDate date = calendar_->getTime(status);
    if (U_FAILURE(status))
        return std::nullopt;
    return Instant::fromUDate(date);
}

std::int32_t Calendar::component(CalendarUnit unit, Instant instant) const {
    UErrorCode status = U_ZERO_ERROR;
    calendar_->setTime(instant.udate(), status);
    const std::int32_t value = calendar_->get(icuField(unit), status);
    return unit == CalendarUnit::month ? value + 1 : value;
}

std::int32_t Calendar::dayNumber(Instant instant) const {
    UErrorCode status = U_ZERO_ERROR;
    calendar_->setTime(instant.udate(), status);
    return calendar_->get(UCAL_JULIAN_DAY, status);
}

bool Calendar::isDate(Instant first, Instant inSameDayAs) const {
    return dayNumber(first) == dayNumber(inSameDayAs);
}

std::vector<Calendar::Day> Calendar::consecutiveDays(Instant first, int count) const {
    std::vector<Day> days;
    if (count <= 0)
        return days;
    days.reserve(static_cast<std::size_t>(count));

    // Asking ICU for every field of every day is slow (tens of microseconds
    // a day in the Islamic calendars). Day numbers simply count on, so ICU is
    // asked only at the first day and at each change of month; each day's
    // start is its local midnight, from the zone's offset at that wall time.
    UErrorCode status = U_ZERO_ERROR;
    YearMonth month;
    std::int32_t dayOfMonth = 0;
    std::int32_t daysInMonth = 0;
    const auto readMonthAt = [&](UDate date) {
        calendar_->setTime(date, status);
        month.era = calendar_->get(UCAL_ERA, status);
        month.year = calendar_->get(UCAL_YEAR, status);
        month.month = calendar_->get(UCAL_MONTH, status) + 1;
        month.isLeapMonth = calendar_->get(UCAL_IS_LEAP_MONTH, status) != 0;
        dayOfMonth = calendar_->get(UCAL_DATE, status);
        daysInMonth = calendar_->getActualMaximum(UCAL_DATE, status);
    };

    readMonthAt(first.udate());
    const std::int32_t firstDayNumber = calendar_->get(UCAL_JULIAN_DAY, status);
    if (U_FAILURE(status))
        return {};
    for (int index = 0; index < count; ++index) {
        Day day;
        day.dayNumber = firstDayNumber + index;
        day.start = localMidnight(day.dayNumber);
        if (index > 0 && ++dayOfMonth > daysInMonth) {
            readMonthAt(day.start.udate());
            if (U_FAILURE(status))
                return {};
        }
        day.month = month;
        days.push_back(day);
    }
    return days;
}

Instant Calendar::localMidnight(std::int32_t dayNumber) const {
    // Julian day 2440588 is 1970-01-01, where wall-clock milliseconds start.
    constexpr double millisecondsPerDay = 86400000.0;
    const UDate wallClock = (static_cast<double>(dayNumber) - 2440588.0) * millisecondsPerDay;
    const icu::TimeZone& zone = calendar_->getTimeZone();
    int32_t rawOffset = 0;
    int32_t dstOffset = 0;
    UErrorCode status = U_ZERO_ERROR;
    // Resolve wall times the way ICU's calendars do by default: a midnight
    // that a clock change skipped means the moment the day actually began, a
    // midnight that happened twice means the later one.
    if (const auto* basic = dynamic_cast<const icu::BasicTimeZone*>(&zone))
        basic->getOffsetFromLocal(wallClock, UCAL_TZ_LOCAL_FORMER, UCAL_TZ_LOCAL_LATTER, rawOffset, dstOffset,
                                  status);
    else
        zone.getOffset(wallClock, true, rawOffset, dstOffset, status);
    return Instant::fromUDate(wallClock - rawOffset - dstOffset);
}

std::vector<std::string> Calendar::veryShortStandaloneWeekdaySymbols() const {
    return standaloneWeekdays(true);
}

std::vector<std::string> Calendar::standaloneWeekdaySymbols() const {
    return standaloneWeekdays(false);
}

std::vector<std::string> Calendar::standaloneWeekdays(bool narrow) const {
    // The names depend only on the locale and the calendar system.
    static std::mutex mutex;
    static std::map<std::string, std::vector<std::string>, std::less<>> cache;
    const std::string key = localeIdentifier_ + '|' + identifier() + (narrow ? "|narrow" : "|wide");
    std::lock_guard lock(mutex);
    auto [entry, inserted] = cache.try_emplace(key);
    if (inserted) {
        UErrorCode status = U_ZERO_ERROR;
        icu::DateFormatSymbols symbols(icu::Locale(localeIdentifier_.c_str()), calendar_->getType(), status);
        int32_t count = 0;
        const icu::UnicodeString* names =
            U_SUCCESS(status)
                ? symbols.getWeekdays(count, icu::DateFormatSymbols::STANDALONE,
                                      narrow ? icu::DateFormatSymbols::NARROW : icu::DateFormatSymbols::WIDE)
                : nullptr;
        // ICU's list starts with an empty slot so that index 1 is Sunday.
        for (int32_t index = 1; names && index < count; ++index) {
            std::string name;
            names[index].toUTF8String(name);
            entry->second.push_back(std::move(name));
        }
        if (entry->second.size() != 7)
            entry->second = narrow ? std::vector<std::string>{"S", "M", "T", "W", "T", "F", "S"}
                                   : std::vector<std::string>{"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                              "Thursday", "Friday", "Saturday"};
    }
    return entry->second;
}

} // namespace platform
