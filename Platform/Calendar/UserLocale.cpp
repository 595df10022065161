#include "Platform/Calendar/UserLocale.h"

#include <cstdlib>
#include <unicode/locid.h>

namespace platform {

namespace {

const char* firstNonEmpty(std::initializer_list<const char*> names) {
    for (const char* name : names) {
        const char* value = std::getenv(name);
        if (value && *value)
            return value;
    }
    return nullptr;
}

bool isPlainAlphanumeric(std::string_view text) {
    for (char c : text)
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_'))
            return false;
    return !text.empty();
}

// glibc modifiers that name a script; ICU spells them as a script subtag.
std::string_view scriptForModifier(std::string_view modifier) {
    if (modifier == "latin")
        return "Latn";
    if (modifier == "cyrillic")
        return "Cyrl";
    if (modifier == "devanagari")
        return "Deva";
    return {};
}

} // namespace

std::string UserLocale::identifier() {
    const char* value = firstNonEmpty({"LC_ALL", "LC_TIME", "LANG"});
    return fromPosix(value ? value : "");
}

std::string UserLocale::fromPosix(std::string_view value) {
    std::string_view modifier;
    if (auto at = value.find('@'); at != std::string_view::npos) {
        modifier = value.substr(at + 1);
        value = value.substr(0, at);
    }
    if (auto dot = value.find('.'); dot != std::string_view::npos)
        value = value.substr(0, dot);

    if (value.empty() || value == "C" || value == "POSIX" || !isPlainAlphanumeric(value))
        return "en_US_POSIX";

    std::string result;
    const std::string_view script = scriptForModifier(modifier);
    if (!script.empty()) {
        // "sr_RS@latin" becomes "sr_Latn_RS".
        const auto underscore = value.find('_');
        result.append(value.substr(0, underscore)).append("_").append(script);
        if (underscore != std::string_view::npos)
            result.append(value.substr(underscore));
        return result;
    }
    result = value;
    // ICU keywords ride along; other glibc modifiers (such as "euro") say
    // nothing about dates and are dropped.
    if (modifier.find('=') != std::string_view::npos)
        result.append("@").append(modifier);
    return result;
}

bool UserLocale::isRightToLeft(const std::string& identifier) {
    // ICU fills in the likely script when the identifier names none.
    return icu::Locale(identifier.c_str()).isRightToLeft();
}

} // namespace platform
