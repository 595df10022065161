#pragma once

#include "Platform/URL/URL.h"

#include <cstddef>
#include <functional>
#include <string>

namespace tarvelo {

// An application the user may choose to open a clicked date. Lists of
// candidates are keyed by `id()`; two records of one application at two
// places are different values with the same id.
struct CalendarAppCandidate {
    // The application's bundle identifier (desktop-file ID).
    std::string bundleIdentifier;
    // The name shown to the user.
    std::string name;
    // Where the application lies.
    platform::URL url;

    const std::string& id() const { return bundleIdentifier; }

    bool operator==(const CalendarAppCandidate&) const = default;
};

} // namespace tarvelo

template <> struct std::hash<tarvelo::CalendarAppCandidate> {
    std::size_t operator()(const tarvelo::CalendarAppCandidate& candidate) const noexcept {
        std::size_t seed = 0;
        for (const std::string* part :
             {&candidate.bundleIdentifier, &candidate.name, &candidate.url.absoluteString()})
            seed = seed * 31 + std::hash<std::string>{}(*part);
        return seed;
    }
};
