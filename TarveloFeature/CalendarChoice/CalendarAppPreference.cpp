#include "TarveloFeature/CalendarChoice/CalendarAppPreference.h"

namespace tarvelo {

CalendarAppPreference::CalendarAppPreference(platform::UserDefaults& choiceDefaults)
    : CalendarAppPreference(choiceDefaults, platform::Workspace::shared()) {}

CalendarAppPreference::CalendarAppPreference(platform::UserDefaults& choiceDefaults,
                                             platform::Workspace& workspace)
    : defaults(choiceDefaults)
    , workspace_(workspace) {}

CalendarAppPreference& CalendarAppPreference::shared() {
    static CalendarAppPreference preference(platform::UserDefaults::standard());
    return preference;
}

CalendarAppSelection CalendarAppPreference::selection() const {
    // A value of another type reads as missing, like a missing key.
    const auto bundleIdentifier = defaults.string(bundleIdentifierKey);
    if (!bundleIdentifier || bundleIdentifier->empty())
        return CalendarAppSelection::systemDefault();
    // A stored name is used even when empty; without one the identifier
    // stands in, so the picker always has something to show.
    auto name = defaults.string(displayNameKey);
    if (name)
        return CalendarAppSelection::app(*bundleIdentifier, std::move(*name));
    return CalendarAppSelection::app(*bundleIdentifier, *bundleIdentifier);
}

void CalendarAppPreference::setSelection(const CalendarAppSelection& selection) {
    objectWillChange.emit();
    if (const auto& app = selection.chosenApp()) {
        defaults.setObject(app->bundleIdentifier, bundleIdentifierKey);
        defaults.setObject(app->name, displayNameKey);
    } else {
        defaults.removeObject(bundleIdentifierKey);
        defaults.removeObject(displayNameKey);
    }
}

void CalendarAppPreference::updateSelection(const std::function<void(CalendarAppSelection&)>& change) {
    CalendarAppSelection value = selection();
    change(value);
    setSelection(value);
}

bool CalendarAppPreference::selectionIsMissing() const {
    if (selection().isSystemDefault())
        return false;
    return !resolvedApplicationURL();
}

std::optional<platform::URL> CalendarAppPreference::resolvedApplicationURL() const {
    const CalendarAppSelection chosen = selection();
    const auto& app = chosen.chosenApp();
    if (!app)
        return std::nullopt;
    return workspace_.urlForApplicationWithBundleIdentifier(app->bundleIdentifier);
}

} // namespace tarvelo
