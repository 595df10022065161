#pragma once

#include "Platform/View/Geometry.h"

#include <optional>

namespace platform {

// A monitor of the desktop, in application pixels (points).
struct Screen {
    // The part of the monitor that windows may use: without panels and
    // docks where the desktop says so (X11 work area), else the whole monitor.
    Rect visibleFrame;

    // The primary monitor on X11, else the first monitor; absent without a
    // display or without monitors.
    static std::optional<Screen> mainScreen();
};

} // namespace platform
