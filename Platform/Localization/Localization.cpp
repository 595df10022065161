#include "Platform/Localization/Localization.h"

#include <cstring>
#include <libintl.h>
#include <string_view>

namespace platform {

void bindTextDomain(const std::string& localeFolder) {
    bindtextdomain(textDomain, localeFolder.c_str());
    bind_textdomain_codeset(textDomain, "UTF-8");
}

std::string localized(const char* key) {
    return dgettext(textDomain, key);
}

std::string localizedFormat(const char* key, std::int64_t value) {
    return localizedFormat(key, value, LocaleDigits::current());
}

std::string localizedFormat(const char* key, std::int64_t value, const LocaleDigits& digits) {
    const char* format = dgettext(textDomain, key);
    // A translation is data, not code: only accept one that still holds
    // exactly one "%lld" and no other conversion, else use the key itself.
    const char* conversion = std::strstr(format, "%lld");
    const bool safe =
        conversion && !std::strchr(conversion + 4, '%') && std::strchr(format, '%') == conversion;
    const std::string_view pattern = safe ? format : "%lld";
    const std::size_t at = pattern.find("%lld");
    // The number in the locale's digits (Arabic-Indic in Arabic, say).
    std::string text(pattern.substr(0, at));
    text += digits.string(value);
    text += pattern.substr(at + 4);
    return text;
}

std::string localizedFormat(const char* key, const std::string& value) {
    const std::string_view translated = dgettext(textDomain, key);
    const auto holdsOne = [](std::string_view format) {
        const auto conversion = format.find("%s");
        return conversion != std::string_view::npos && format.find('%') == conversion &&
               format.find('%', conversion + 2) == std::string_view::npos;
    };
    const std::string_view format = holdsOne(translated) ? translated : std::string_view(key);
    const auto conversion = format.find("%s");
    if (conversion == std::string_view::npos || !holdsOne(format))
        return value;
    return std::string(format.substr(0, conversion)) + value + std::string(format.substr(conversion + 2));
}

} // namespace platform
