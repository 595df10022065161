#pragma once

#include <string>
#include <string_view>

namespace platform {

// The user's locale for dates, as an ICU locale identifier.
//
// ICU on its own looks at LANG and LC_ALL but never at LC_TIME, so a user who
// keeps English messages with, say, German dates would get English dates. We
// resolve the POSIX categories ourselves, in the order the C library does:
// LC_ALL, then LC_TIME, then LANG. "C" and "POSIX" mean en_US_POSIX.
//
// Besides the glibc form (language[_TERRITORY][.codeset][@modifier]) the
// value may carry ICU keywords after '@' ("ja_JP.UTF-8@calendar=japanese",
// "de_DE@fw=sun"), which is how a user picks another calendar system or first
// weekday for the same language.
class UserLocale {
public:
    // The locale the environment names right now.
    static std::string identifier();

    // Translates one POSIX locale value; empty input gives en_US_POSIX.
    static std::string fromPosix(std::string_view posixValue);

    // Whether the locale's script is written right to left (ICU's character
    // orientation: Hebrew, Arabic, Persian, Urdu ...). Layout mirrors for it.
    static bool isRightToLeft(const std::string& identifier);
    static bool isRightToLeft() { return isRightToLeft(identifier()); }
};

} // namespace platform
