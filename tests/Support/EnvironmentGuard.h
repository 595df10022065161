#pragma once

#include <cstdlib>
#include <map>
#include <optional>
#include <string>

namespace tarvelo::testsupport {

// Sets environment variables for the life of the guard and puts the old
// values back afterwards, so a test can pin TZ, LANG and friends.
class EnvironmentGuard {
public:
    EnvironmentGuard() = default;
    EnvironmentGuard(std::initializer_list<std::pair<const char*, const char*>> values) {
        for (const auto& [name, value] : values)
            set(name, value);
    }
    ~EnvironmentGuard() {
        for (const auto& [name, value] : saved_)
            put(name.c_str(), value ? value->c_str() : nullptr);
    }
    EnvironmentGuard(const EnvironmentGuard&) = delete;
    EnvironmentGuard& operator=(const EnvironmentGuard&) = delete;

    // A null value unsets the variable.
    void set(const char* name, const char* value) {
        const char* old = std::getenv(name);
        saved_.try_emplace(name, old ? std::optional<std::string>(old) : std::nullopt);
        put(name, value);
    }

private:
    static void put(const char* name, const char* value) {
        if (value)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    }
    std::map<std::string, std::optional<std::string>> saved_;
};

// Pins the locale and time zone the calendar code reads.
inline EnvironmentGuard pinLocaleAndZone(const char* locale, const char* zone) {
    return EnvironmentGuard{{"LC_ALL", nullptr}, {"LC_TIME", nullptr}, {"LANG", locale}, {"TZ", zone}};
}

} // namespace tarvelo::testsupport
