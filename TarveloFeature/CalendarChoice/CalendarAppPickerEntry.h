#pragma once

#include "TarveloFeature/CalendarChoice/CalendarAppCandidate.h"

#include <optional>
#include <string>

namespace tarvelo {

// One line of the picker's menu, as the menu shows it.
struct CalendarAppPickerEntry {
    enum class Kind {
        // "System default", possibly with the default application's name.
        systemDefault,
        // One application of the list.
        candidate,
        // A line between groups of entries.
        separator,
        // "Choose Another Application…", which opens the open panel.
        chooseOther,
    };

    Kind kind = Kind::separator;
    // Shown as it is, without lookup; empty for separators.
    std::string title;
    // Whether the entry carries the checkmark.
    bool checked = false;
    // The application of a `candidate` entry.
    std::optional<CalendarAppCandidate> candidate;

    bool operator==(const CalendarAppPickerEntry&) const = default;
};

} // namespace tarvelo
