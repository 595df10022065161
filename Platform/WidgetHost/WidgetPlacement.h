#pragma once

#include "Platform/Widgets/WidgetFamily.h"

#include <optional>
#include <string>

namespace platform {

// A widget the user put on the desktop.
struct WidgetPlacement {
    // Names this placement among the others; stays the same across restarts.
    std::string identifier;
    std::string kind;
    WidgetFamily family = WidgetFamily::systemSmall;
    // Top-left corner of its window in desktop pixels, where the desktop lets
    // us know and keep it (X11); absent until then, the desktop chooses.
    std::optional<int> x;
    std::optional<int> y;

    bool operator==(const WidgetPlacement&) const = default;
};

} // namespace platform
