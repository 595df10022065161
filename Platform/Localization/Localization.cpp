#include "Localization.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <libintl.h>

namespace platform {

void bindTextDomain(const std::string& localeFolder) {
    bindtextdomain(textDomain, localeFolder.c_str());
    bind_textdomain_codeset(textDomain, "UTF-8");
}

std::string localized(const char* key) { return dgettext(textDomain, key); }

std::string localizedFormat(const char* key, std::int64_t value) {
    const char* format = dgettext(textDomain, key);
    // A translation is data, not code: only accept one that still holds
    // exactly one "%lld" and no other conversion, else use the key itself.
    const char* conversion = std::strstr(format, "%lld");
    const bool safe = conversion && !std::strchr(conversion + 4, '%') &&
                      std::strchr(format, '%') == conversion;
    char text[256];
    std::snprintf(text, sizeof text, safe ? format : "%lld", static_cast<long long>(value));
    return text;
}

} // namespace platform
