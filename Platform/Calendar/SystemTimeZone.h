#pragma once

#include <memory>
#include <string>
#include <unicode/timezone.h>

namespace platform {

// The system's current time zone, looked up afresh at every call so that a
// changed TZ or /etc/localtime takes effect at once.
//
// ICU caches its default zone for the life of the process, and reads a few TZ
// forms wrongly (":Europe/Paris", "/usr/share/zoneinfo/Europe/Paris"). We
// normalise those ourselves and fall back to ICU's own host detection for
// the rest (e.g. POSIX rules such as "CET-1CEST,M3.5.0,M10.5.0/3").
class SystemTimeZone {
public:
    // The Olson identifier of the current zone ("Europe/Berlin"); "UTC" when
    // nothing can be made of the system's setting.
    static std::string identifier();

    // A new zone object for the current zone.
    static std::unique_ptr<icu::TimeZone> current();

    // A new zone object for an identifier; unknown identifiers give UTC.
    static std::unique_ptr<icu::TimeZone> named(const std::string& identifier);

    // The part of a tz database path after "zoneinfo/" ("Europe/Paris" for
    // "/usr/share/zoneinfo/posix/Europe/Paris"), or the value unchanged.
    static std::string identifierFromPath(const std::string& path);
};

} // namespace platform
