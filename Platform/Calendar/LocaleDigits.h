#pragma once

#include <cstdint>
#include <string>

namespace platform {

// Whole numbers as the user's locale writes them on their own, without
// grouping: in the digits of the locale's default numbering system (Arabic-
// Indic for ar_SA, Extended Arabic-Indic for fa_IR, Latin where that is the
// default), or in an explicit "@numbers=" keyword's. The locale is the one
// dates are in (UserLocale), so a day number matches its month's title.
class LocaleDigits {
public:
    // `value` in the user's current locale.
    static std::string string(std::int64_t value);
    // `value` in the locale `identifier` (an ICU locale identifier).
    static std::string string(std::int64_t value, const std::string& identifier);
};

} // namespace platform
