#pragma once

#include "Platform/WidgetHost/ScreenFit.h"

#include <functional>
#include <gtkmm.h>
#include <optional>
#include <utility>
#include <vector>

namespace platform {

// What the widget windows need from the display server beyond GTK: staying
// below other windows, out of task bar and pager, on every workspace, and
// at a position of our choosing. GTK 4 offers none of this; X11 allows it
// through the window's X11 surface. Elsewhere (Wayland) every call here
// quietly does nothing and the compositor decides.
class X11Desktop {
public:
    // Whether the window's display is an X11 one.
    static bool isX11(Gtk::Window& window);
    // Whether the default display (the one GTK opened) is an X11 one.
    static bool isX11Display();

    // Before the window is mapped (call after realize): the hints that a
    // window manager reads when it first manages the window. Each widget is
    // its own window group: window managers raise a group together, and
    // GTK puts all of a program's windows in one, so opening the gallery
    // would lift every widget above the other programs' windows.
    static void prepareWidgetSurface(Gtk::Window& window);
    // After the window is mapped: the states that must be asked of a
    // running window manager.
    static void keepOnDesktop(Gtk::Window& window);

    // Moves the window's top-left corner to (x, y) desktop pixels.
    static void move(Gtk::Window& window, int x, int y);
    // Where the window's top-left corner stands on the desktop.
    static std::optional<std::pair<int, int>> position(Gtk::Window& window);

    // Each monitor's work area (without panels and docks) in desktop
    // pixels; empty off X11.
    static std::vector<ScreenRect> workAreas(Gtk::Window& window);

    // Calls `moved` with the window's new position each time it changes
    // (the user dragged it, or the window manager placed it). The returned
    // handle ends the watch through `unwatch`.
    static void* watchPosition(Gtk::Window& window, std::function<void(int, int)> moved);
    static void unwatch(void* handle);
};

} // namespace platform
