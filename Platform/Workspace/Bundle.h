#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>

namespace platform {

// A value of an application's information dictionary. Desktop entries only
// hold text, but callers must not assume it: a value of another type is
// simply not a name.
using InfoDictionaryValue = std::variant<std::string, std::int64_t, double, bool>;

// An installed application, as the workspace describes it. On this platform
// an application "bundle" is a desktop entry (see docs/workspace.md).
class Bundle {
public:
    virtual ~Bundle() = default;

    // The application's identifier (its desktop-file ID); absent when it has
    // none, e.g. an entry lying outside every applications folder.
    virtual std::optional<std::string> bundleIdentifier() const = 0;

    // The value under `key`, localised where the entry provides it; absent
    // when the entry has none. Known keys: "CFBundleDisplayName",
    // "CFBundleName", "CFBundleIdentifier".
    virtual std::optional<InfoDictionaryValue> objectForInfoDictionaryKey(const std::string& key) const = 0;
};

} // namespace platform
