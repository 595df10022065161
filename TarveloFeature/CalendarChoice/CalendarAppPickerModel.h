#pragma once

#include "Platform/URL/URL.h"
#include "Platform/Workspace/OpenPanel.h"
#include "Platform/Workspace/Workspace.h"
#include "TarveloFeature/CalendarChoice/CalendarAppCandidate.h"
#include "TarveloFeature/CalendarChoice/CalendarAppPickerEntry.h"
#include "TarveloFeature/CalendarChoice/CalendarAppPreference.h"

#include <functional>
#include <memory>
#include <optional>
#include <sigc++/signal.h>
#include <string>
#include <vector>

namespace tarvelo {

// What the calendar-application picker shows and does, without any toolkit:
// the menu's face, its entries with their checkmarks, the warning, and the
// choices. The view on top only draws these values and forwards clicks.
//
// The stored choice is read afresh for every value asked for, so the face,
// the checkmarks and the warning always follow the preference; the list of
// applications changes only in `reloadCandidates()`. Main thread only.
class CalendarAppPickerModel {
public:
    using OpenPanelMaker = std::function<std::unique_ptr<platform::OpenPanel>()>;

    // Over `preference` and `workspace`, which must outlive the model;
    // `makeOpenPanel` gives the panel of "Choose Another Application…".
    CalendarAppPickerModel(CalendarAppPreference& preference, platform::Workspace& workspace,
                           OpenPanelMaker makeOpenPanel);

    CalendarAppPickerModel(const CalendarAppPickerModel&) = delete;
    CalendarAppPickerModel& operator=(const CalendarAppPickerModel&) = delete;

    // Where the choice is read and written.
    CalendarAppPreference& preference;

    // Emitted after the list or the system default was assigned.
    sigc::signal<void()> candidatesDidChange;

    // The applications listed in the menu; empty until the first reload.
    const std::vector<CalendarAppCandidate>& candidates() const { return candidates_; }
    // The desktop's default calendar application, as of the last reload.
    const std::optional<CalendarAppCandidate>& systemDefault() const { return systemDefault_; }

    // "System default (<name>)"; "System default (none installed)" when the
    // desktop has no calendar application; "System default" before the
    // first reload.
    std::string systemDefaultTitle() const;
    // The face's text: the chosen application's stored name (with
    // " (not installed)" when it is gone), or the system default's title.
    std::string menuTitle() const;
    // The application whose icon the face shows, if any.
    std::optional<platform::URL> menuIconURL() const;
    // That application's icon, serialised (an icon name or a file path).
    std::optional<std::string> menuIcon() const;
    // Whether the orange warning shows: the chosen application is gone.
    bool showsMissingWarning() const { return preference.selectionIsMissing(); }

    // The menu's entries, top to bottom.
    std::vector<CalendarAppPickerEntry> entries() const;

    // Lists the desktop's calendar applications again, plus the chosen one
    // when it is installed but no calendar handler, and the system default.
    void reloadCandidates();

    // The menu's actions.
    void chooseSystemDefault();
    void choose(const CalendarAppCandidate& candidate);
    // Lets the user pick any application in the open panel. Stores a picked
    // application (and reloads the list) once the panel is confirmed; does
    // nothing when it is cancelled or what was picked is no application
    // with an identifier. Ignored while a panel is already open.
    void chooseOtherApplication();
    // Performs the menu entry's action.
    void activate(const CalendarAppPickerEntry& entry);

    bool isChoosingOtherApplication() const { return static_cast<bool>(panel_); }

private:
    void finishChoosingOtherApplication(long response);

    platform::Workspace& workspace_;
    OpenPanelMaker makeOpenPanel_;
    std::vector<CalendarAppCandidate> candidates_;
    std::optional<CalendarAppCandidate> systemDefault_;
    bool lookedForSystemDefault_ = false;
    // The panel while it is open.
    std::unique_ptr<platform::OpenPanel> panel_;
};

} // namespace tarvelo
