#include "Calendar.h"

#include <algorithm>
#include <array>
#include <limits>
#include <map>
#include <mutex>

#include <unicode/calendar.h>
#include <unicode/dtfmtsym.h>
#include <unicode/locid.h>

#include "SystemTimeZone.h"
#include "UserLocale.h"

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
            prototype.reset(icu::Calendar::createInstance(icu::TimeZone::getGMT()->clone(), icu::Locale::getRoot(),
                                                          status));
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

Calendar Calendar::current() { return Calendar(UserLocale::identifier(), SystemTimeZone::identifier()); }

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

std::string Calendar::identifier() const { return calendar_->getType(); }

std::string Calendar::timeZoneIdentifier() const {
    icu::UnicodeString id;
    calendar_->getTimeZone().getID(id);
    std::string result;
    id.toUTF8String(result);
    return result;
}

int Calendar::firstWeekday() const { return static_cast<int>(calendar_->getFirstDayOfWeek()); }

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
    days.reserve(static_cast<std::size_t>(std::max(count, 0)));
    UErrorCode status = U_ZERO_ERROR;
    for (int index = 0; index < count; ++index) {
        // Each day is counted from the first, never from the day before: a
        // day whose midnight a clock change skipped starts later, and stepping
        // on from it would carry that hour into every following day.
        calendar_->setTime(first.udate(), status);
        calendar_->add(UCAL_DATE, index, status);
        Day day;
        day.start = Instant::fromUDate(calendar_->getTime(status));
        day.month.era = calendar_->get(UCAL_ERA, status);
        day.month.year = calendar_->get(UCAL_YEAR, status);
        day.month.month = calendar_->get(UCAL_MONTH, status) + 1;
        day.month.isLeapMonth = calendar_->get(UCAL_IS_LEAP_MONTH, status) != 0;
        day.dayNumber = calendar_->get(UCAL_JULIAN_DAY, status);
        if (U_FAILURE(status))
            return {};
        days.push_back(day);
    }
    return days;
}

std::vector<std::string> Calendar::veryShortStandaloneWeekdaySymbols() const {
    // The names depend only on the locale and the calendar system.
    static std::mutex mutex;
    static std::map<std::string, std::vector<std::string>, std::less<>> cache;
    const std::string key = localeIdentifier_ + '|' + identifier();
    std::lock_guard lock(mutex);
    auto [entry, inserted] = cache.try_emplace(key);
    if (inserted) {
        UErrorCode status = U_ZERO_ERROR;
        icu::DateFormatSymbols symbols(icu::Locale(localeIdentifier_.c_str()), calendar_->getType(), status);
        int32_t count = 0;
        const icu::UnicodeString* names =
            U_SUCCESS(status) ? symbols.getWeekdays(count, icu::DateFormatSymbols::STANDALONE,
                                                    icu::DateFormatSymbols::NARROW)
                              : nullptr;
        // ICU's list starts with an empty slot so that index 1 is Sunday.
        for (int32_t index = 1; names && index < count; ++index) {
            std::string name;
            names[index].toUTF8String(name);
            entry->second.push_back(std::move(name));
        }
        if (entry->second.size() != 7)
            entry->second = {"S", "M", "T", "W", "T", "F", "S"};
    }
    return entry->second;
}

} // namespace platform
