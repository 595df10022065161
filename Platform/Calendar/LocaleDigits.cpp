#include "Platform/Calendar/LocaleDigits.h"

#include "Platform/Calendar/UserLocale.h"

#include <memory>
#include <unicode/locid.h>
#include <unicode/numfmt.h>
#include <unicode/numsys.h>
#include <unicode/unistr.h>

namespace platform {

namespace {

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

LocaleDigits LocaleDigits::current() {
    // Looking the numbering system up costs more than a whole month of
    // numbers: keep the last locale's digits.
    thread_local std::optional<LocaleDigits> last;
    std::string identifier = UserLocale::identifier();
    if (!last || last->locale_ != identifier)
        last.emplace(identifier);
    return *last;
}

LocaleDigits::LocaleDigits(const std::string& identifier)
    : locale_(identifier) {
    UErrorCode status = U_ZERO_ERROR;
    const std::unique_ptr<icu::NumberingSystem> system(
        icu::NumberingSystem::createInstance(icu::Locale(identifier.c_str()), status));
    if (U_FAILURE(status) || !system)
        return;
    if (system->isAlgorithmic() || system->getRadix() != 10) {
        algorithmic_ = true;
        return;
    }
    const icu::UnicodeString description = system->getDescription();
    if (description == icu::UnicodeString(u"0123456789") || description.countChar32() != 10)
        return;
    std::array<std::string, 10> native;
    std::int32_t index = 0;
    for (std::string& digit : native) {
        icu::UnicodeString(description.char32At(index)).toUTF8String(digit);
        index = description.moveIndex32(index, 1);
    }
    native_ = std::move(native);
}

std::string LocaleDigits::string(std::int64_t value) const {
    std::string latin = std::to_string(value);
    if ((value < 0 && native_) || algorithmic_) {
        if (auto text = formatted(value, locale_))
            return *text;
    }
    if (!native_)
        return latin;
    std::string result;
    result.reserve(latin.size() * 2);
    for (const char character : latin) {
        if (character >= '0' && character <= '9')
            result += (*native_)[character - '0'];
        else
            result += character;
    }
    return result;
}

} // namespace platform
