#pragma once

#include <cstdlib>
#include <map>
#include <optional>
#include <string>

namespace tarvelo::testing {

// Sets environment variables for the life of the guard and puts the old
// values back afterwards, so a test can pin TZ and the locale.
class EnvironmentGuard {
public:
    // A value of std::nullopt unsets the variable.
    explicit EnvironmentGuard(const std::map<std::string, std::optional<std::string>>& values) {
        for (const auto& [name, value] : values) {
            const char* old = std::getenv(name.c_str());
            saved_[name] = old ? std::optional<std::string>(old) : std::nullopt;
            set(name, value);
        }
    }
    ~EnvironmentGuard() {
        for (const auto& [name, value] : saved_)
            set(name, value);
    }
    EnvironmentGuard(const EnvironmentGuard&) = delete;
    EnvironmentGuard& operator=(const EnvironmentGuard&) = delete;

    // Berlin time and US English: Sunday starts the week, titles are "March 2025".
    static EnvironmentGuard berlinInEnglish() {
        return EnvironmentGuard({{"TZ", "Europe/Berlin"},
                                 {"LANG", "en_US.UTF-8"},
                                 {"LC_ALL", std::nullopt},
                                 {"LC_TIME", std::nullopt},
                                 {"LANGUAGE", std::nullopt}});
    }

private:
    static void set(const std::string& name, const std::optional<std::string>& value) {
        if (value)
            setenv(name.c_str(), value->c_str(), 1);
        else
            unsetenv(name.c_str());
    }
    std::map<std::string, std::optional<std::string>> saved_;
};

} // namespace tarvelo::testing
