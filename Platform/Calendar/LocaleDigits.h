#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace platform {

// Whole numbers as a locale writes them on their own, without grouping: in
// the digits of the locale's default numbering system (Arabic-Indic for
// ar_SA, Extended Arabic-Indic for fa_IR, Latin where that is the default),
// or in an explicit "@numbers=" keyword's. The user's locale is the one
// dates are in (UserLocale), so a day number matches its month's title.
//
// A value: make one for a run of numbers (the 42 days of a month) and write
// them all with it.
class LocaleDigits {
public:
    // The digits of the user's current locale.
    static LocaleDigits current();
    // The digits of the locale `identifier` (an ICU locale identifier).
    explicit LocaleDigits(const std::string& identifier);

    std::string string(std::int64_t value) const;

private:
    std::string locale_;
    // The ten digits, 0 to 9, in UTF-8; absent for Latin digits.
    std::optional<std::array<std::string, 10>> native_;
    // The numbering system is not a plain set of ten digits (such as
    // traditional Hebrew numerals): only the full number formatter writes it.
    bool algorithmic_ = false;
};

} // namespace platform
