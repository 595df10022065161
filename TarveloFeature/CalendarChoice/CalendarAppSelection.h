#pragma once

#include <optional>
#include <string>

namespace tarvelo {

// The user's choice of calendar application: a particular application, or
// whatever the desktop uses for calendar links.
class CalendarAppSelection {
public:
    // A particular application, named by its bundle identifier, with the
    // display name it had when it was chosen.
    struct App {
        std::string bundleIdentifier;
        std::string name;

        bool operator==(const App&) const = default;
    };

    static CalendarAppSelection app(std::string bundleIdentifier, std::string name) {
        return CalendarAppSelection(App{std::move(bundleIdentifier), std::move(name)});
    }
    static CalendarAppSelection systemDefault() { return CalendarAppSelection(std::nullopt); }

    bool isSystemDefault() const { return !app_; }
    // The chosen application; absent for the system default.
    const std::optional<App>& chosenApp() const { return app_; }

    bool operator==(const CalendarAppSelection&) const = default;

private:
    explicit CalendarAppSelection(std::optional<App> app)
        : app_(std::move(app)) {}

    std::optional<App> app_;
};

} // namespace tarvelo
