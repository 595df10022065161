#pragma once

#include "Platform/Calendar/LocaleDigits.h"

#include <cstdint>
#include <string>

namespace platform {

// The gettext domain of every Tarvelo program.
inline constexpr const char* textDomain = "tarvelo";

// Points gettext at the installed translations; programs call this once at start.
void bindTextDomain(const std::string& localeFolder);

// A localizable text: the English text is the key, and shows as written when
// there is no translation.
std::string localized(const char* key);

// A localizable key with one integer argument, such as "%lld"; the
// translation may reorder or decorate the number but gets exactly one. The
// number is written in the user's locale's digits, or in `digits`.
std::string localizedFormat(const char* key, std::int64_t value);
std::string localizedFormat(const char* key, std::int64_t value, const LocaleDigits& digits);

// A localizable key with one text argument, such as "%s, today"; a
// translation that does not hold exactly one "%s" falls back to the key.
std::string localizedFormat(const char* key, const std::string& value);

} // namespace platform
