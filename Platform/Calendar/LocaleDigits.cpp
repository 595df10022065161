#include "LocaleDigits.h"

#include "UserLocale.h"

#include <array>
#include <memory>
#include <optional>
#include <unicode/locid.h>
#include <unicode/numfmt.h>
#include <unicode/numsys.h>
#include <unicode/unistr.h>

namespace platform {

namespace {

// How one locale writes numbers.
struct Digits {
    std::string locale;
    // The ten digits, 0 to 9, in UTF-8; absent for Latin digits.
    std::optional<std::array<std::string, 10>> native;
    // The numbering system is not a plain set of ten digits (such as
    // traditional Hebrew numerals): only the full number formatter writes it.
    bool algorithmic = false;
};

Digits digitsOf(const std::string& identifier) {
    Digits digits{identifier, std::nullopt, false};
    UErrorCode status = U_ZERO_ERROR;
    const std::unique_ptr<icu::NumberingSystem> system(
        icu::NumberingSystem::createInstance(icu::Locale(identifier.c_str()), status));
    if (U_FAILURE(status) || !system)
        return digits;
    if (system->isAlgorithmic() || system->getRadix() != 10) {
        digits.algorithmic = true;
        return digits;
    }
    const icu::UnicodeString description = system->getDescription();
    if (description == icu::UnicodeString(u"0123456789") || description.countChar32() != 10)
        return digits;
    std::array<std::string, 10> native;
    std::int32_t index = 0;
    for (std::string& digit : native) {
        const UChar32 character = description.char32At(index);
        icu::UnicodeString(character).toUTF8String(digit);
        index = description.moveIndex32(index, 1);
    }
    digits.native = std::move(native);
    return digits;
}

// The full formatter: the locale's minus sign and marks, or its algorithmic numerals.
std::optional<std::string> formatted(std::int64_t value, const std::string& identifier) {
    UErrorCode status = U_ZERO_ERROR;
    const std::unique_ptr<icu::NumberFormat> format(
        icu::NumberFormat::createInstance(icu::Locale(identifier.c_str()), status));
    if (U_FAILURE(status) || !format)
        return std::nullopt;
    format->setGroupingUsed(false);
    icu::UnicodeString text;
    format->format(static_cast<int64_t>(value), text);
    std::string result;
    text.toUTF8String(result);
    return result;
}

} // namespace

std::string LocaleDigits::string(std::int64_t value) {
    return string(value, UserLocale::identifier());
}

std::string LocaleDigits::string(std::int64_t value, const std::string& identifier) {
    // A widget writes 42 day numbers per picture, all in one locale: keep
    // the last locale's digits.
    thread_local Digits last;
    if (last.locale != identifier || last.locale.empty())
        last = digitsOf(identifier);

    std::string latin = std::to_string(value);
    if ((value < 0 && last.native) || last.algorithmic) {
        if (auto text = formatted(value, identifier))
            return *text;
    }
    if (!last.native)
        return latin;
    std::string result;
    result.reserve(latin.size() * 2);
    for (const char character : latin)
        result += character >= '0' && character <= '9' ? (*last.native)[character - '0']
                                                       : std::string(1, character);
    return result;
}

} // namespace platform
