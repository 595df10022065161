#pragma once

#include <cstdlib>
#include <map>
#include <optional>
#include <string>

namespace tarvelo::testing {

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
        for (const auto& [name, value] : saved_) {
            if (value)
                ::setenv(name.c_str(), value->c_str(), 1);
            else
                ::unsetenv(name.c_str());
        }
    }
    EnvironmentGuard(const EnvironmentGuard&) = delete;
    EnvironmentGuard& operator=(const EnvironmentGuard&) = delete;

    // A null value unsets the variable.
    void set(const char* name, const char* value) {
        if (!saved_.count(name)) {
            const char* old = std::getenv(name);
            saved_[name] = old ? std::optional<std::string>(old) : std::nullopt;
        }
        if (value)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    }

private:
    std::map<std::string, std::optional<std::string>> saved_;
};

// Pins the locale and time zone the calendar code reads.
inline EnvironmentGuard pinLocaleAndZone(const char* locale, const char* zone) {
    return EnvironmentGuard{{"LC_ALL", nullptr}, {"LC_TIME", nullptr}, {"LANG", locale}, {"TZ", zone}};
}

} // namespace tarvelo::testing
