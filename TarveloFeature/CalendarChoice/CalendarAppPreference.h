#pragma once

#include "Platform/Defaults/UserDefaults.h"
#include "Platform/URL/URL.h"
#include "Platform/Workspace/Workspace.h"
#include "TarveloFeature/CalendarChoice/CalendarAppSelection.h"

#include <functional>
#include <optional>
#include <sigc++/signal.h>

namespace tarvelo {

// The stored choice of calendar application, in the host application's own
// defaults domain:
//
//     "calendarAppBundleIdentifier"   the chosen application's identifier
//     "calendarAppDisplayName"        its display name when it was chosen
//
// Both are absent while the system default is chosen. Nothing is cached:
// every read goes to the defaults and every lookup to the workspace, so a
// change made elsewhere or an application removed meanwhile shows at once.
//
// Used from the main thread only; it takes no lock.
class CalendarAppPreference {
public:
    static constexpr const char* bundleIdentifierKey = "calendarAppBundleIdentifier";
    static constexpr const char* displayNameKey = "calendarAppDisplayName";

    // Over `defaults`, which must outlive it, looking applications up in the
    // desktop's workspace.
    explicit CalendarAppPreference(platform::UserDefaults& defaults);
    // Over `defaults`, looking applications up in `workspace` (tests).
    CalendarAppPreference(platform::UserDefaults& defaults, platform::Workspace& workspace);

    CalendarAppPreference(const CalendarAppPreference&) = delete;
    CalendarAppPreference& operator=(const CalendarAppPreference&) = delete;

    // The process-wide preference over the standard user defaults, made on
    // first use (safely under concurrent first use) and kept until the
    // process ends.
    static CalendarAppPreference& shared();

    // The defaults that hold the choice.
    platform::UserDefaults& defaults;

    // Emitted synchronously before every write of the selection, also when
    // the value written equals the stored one.
    sigc::signal<void()> objectWillChange;

    CalendarAppSelection selection() const;
    void setSelection(const CalendarAppSelection& selection);
    // Reads the selection, lets `change` edit it and writes it back: one
    // announcement, one rewrite.
    void updateSelection(const std::function<void(CalendarAppSelection&)>& change);

    // True when an application is chosen that the workspace cannot find.
    bool selectionIsMissing() const;
    // Where the chosen application is installed; absent for the system
    // default or an application that is no longer there.
    std::optional<platform::URL> resolvedApplicationURL() const;

private:
    platform::Workspace& workspace_;
};

} // namespace tarvelo
