#include "Platform/Calendar/DateFormatter.h"

#include <map>
#include <mutex>
#include <unicode/dtptngen.h>
#include <unicode/smpdtfmt.h>

namespace platform {

namespace {

// Resolving a skeleton needs the locale's pattern generator, the costly part
// of formatting. A skeleton resolves the same way for as long as we run, so
// the resolved patterns are kept per locale and skeleton.
std::string bestPattern(const std::string& localeIdentifier, const std::string& skeleton) {
    static std::mutex mutex;
    static std::map<std::string, std::string, std::less<>> patterns;
    const std::string key = localeIdentifier + '|' + skeleton;
    std::lock_guard lock(mutex);
    if (auto found = patterns.find(key); found != patterns.end())
        return found->second;

    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::DateTimePatternGenerator> generator(
        icu::DateTimePatternGenerator::createInstance(icu::Locale(localeIdentifier.c_str()), status));
    std::string pattern;
    if (U_SUCCESS(status) && generator) {
        const icu::UnicodeString best =
            generator->getBestPattern(icu::UnicodeString::fromUTF8(skeleton), status);
        if (U_SUCCESS(status))
            best.toUTF8String(pattern);
    }
    if (pattern.empty())
        pattern = skeleton;
    patterns.emplace(key, pattern);
    return pattern;
}

} // namespace

DateFormatter::DateFormatter()
    : calendar_(Calendar::current()) {}

DateFormatter::DateFormatter(const Calendar& calendar)
    : calendar_(calendar) {}

DateFormatter::DateFormatter(const DateFormatter& other)
    : calendar_(other.calendar_)
    , pattern_(other.pattern_) {}

DateFormatter& DateFormatter::operator=(const DateFormatter& other) {
    if (this != &other) {
        calendar_ = other.calendar_;
        pattern_ = other.pattern_;
        format_.reset();
    }
    return *this;
}

DateFormatter::~DateFormatter() = default;

void DateFormatter::setLocalizedDateFormatFromTemplate(const std::string& formatTemplate) {
    std::string skeleton;
    for (char c : formatTemplate)
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))
            skeleton.push_back(c);
    pattern_ = bestPattern(calendar_.localeIdentifier(), skeleton);
    format_.reset();
}

std::string DateFormatter::string(Instant instant) const {
    // Making ICU's formatter loads the locale's symbols, by far the larger
    // part of formatting one date: done once per pattern.
    if (!format_) {
        UErrorCode status = U_ZERO_ERROR;
        auto format = std::make_unique<icu::SimpleDateFormat>(
            icu::UnicodeString::fromUTF8(pattern_), icu::Locale(calendar_.localeIdentifier().c_str()),
            status);
        if (U_FAILURE(status))
            return {};
        format->setCalendar(calendar_.icuCalendar());
        format_ = std::move(format);
    }
    icu::UnicodeString text;
    format_->format(instant.udate(), text);
    std::string result;
    text.toUTF8String(result);
    return result;
}

} // namespace platform
