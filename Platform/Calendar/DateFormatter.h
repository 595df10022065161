#pragma once

#include "Platform/Calendar/Calendar.h"
#include "Platform/Calendar/Instant.h"

#include <memory>
#include <string>

U_NAMESPACE_BEGIN
class SimpleDateFormat;
U_NAMESPACE_END

namespace platform {

// Formats instants in a locale's own way from a skeleton template such as
// "MMMM" or "MMMM yyyy": the locale decides the order, the punctuation and
// the stand-alone month forms ("LLLL" for a month named on its own).
//
// A new formatter takes the user's current locale, calendar and time zone.
// It keeps ICU's formatter between calls (a view formats 42 days per
// picture), so one DateFormatter serves one thread at a time.
class DateFormatter {
public:
    DateFormatter();
    // A formatter in the given calendar (its locale, system and zone).
    explicit DateFormatter(const Calendar& calendar);
    DateFormatter(const DateFormatter& other);
    DateFormatter& operator=(const DateFormatter& other);
    ~DateFormatter();

    // Letters of the template are skeleton fields; anything else in it (such
    // as spaces) is ignored, as the locale supplies its own separators.
    void setLocalizedDateFormatFromTemplate(const std::string& formatTemplate);

    // The pattern the template resolved to, in ICU's pattern syntax.
    const std::string& dateFormat() const { return pattern_; }

    std::string string(Instant instant) const;

private:
    Calendar calendar_;
    std::string pattern_;
    // Made on first use for the current pattern; a copy makes its own.
    mutable std::unique_ptr<icu::SimpleDateFormat> format_;
};

} // namespace platform
