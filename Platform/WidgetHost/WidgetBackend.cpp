#include "Platform/WidgetHost/WidgetBackend.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace platform {

namespace {

std::string lowercase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

// XDG_CURRENT_DESKTOP is a colon-separated list ("ubuntu:GNOME", "KDE").
bool keepsXWaylandWindowsBelow(const std::string& desktops) {
    std::string::size_type start = 0;
    while (start <= desktops.size()) {
        const auto end = std::min(desktops.find(':', start), desktops.size());
        const auto name = lowercase(desktops.substr(start, end - start));
        if (name == "gnome" || name == "kde")
            return true;
        start = end + 1;
    }
    return false;
}

} // namespace

WidgetBackend::Choice WidgetBackend::choose(const std::function<std::string(const char*)>& variable) {
    const bool wayland =
        !variable("WAYLAND_DISPLAY").empty() || lowercase(variable("XDG_SESSION_TYPE")) == "wayland";
    if (!wayland)
        return {}; // X11 (or no display at all): GTK's own choice is right
    if (!keepsXWaylandWindowsBelow(variable("XDG_CURRENT_DESKTOP")))
        return {"", Limitation::compositor};
    const std::string forced = variable("GDK_BACKEND");
    if (!forced.empty()) {
        // The user's choice wins; GTK tries the listed backends in order.
        const auto first = lowercase(forced.substr(0, forced.find(',')));
        return {"", first == "x11" ? Limitation::none : Limitation::forcedWayland};
    }
    if (variable("DISPLAY").empty())
        return {"", Limitation::noXWayland};
    // Wayland stays allowed after X11, so a missing XWayland still gets windows.
    return {"x11,wayland", Limitation::none};
}

WidgetBackend::Choice WidgetBackend::chooseForThisSession() {
    return choose([](const char* name) {
        const char* value = std::getenv(name);
        return std::string(value ? value : "");
    });
}

std::string WidgetBackend::notice(Limitation limitation) {
    switch (limitation) {
    case Limitation::none:
        return "";
    case Limitation::compositor:
        return "On this Wayland desktop widgets are ordinary windows: nothing keeps them below other "
               "windows. "
               "An X11, GNOME or KDE Plasma session does, or a window rule for windows titled \"Tarvelo\".";
    case Limitation::noXWayland:
        return "Without XWayland widgets are ordinary windows here: nothing keeps them below other windows. "
               "Install XWayland (package xwayland) or log in to an X11 session.";
    case Limitation::forcedWayland:
        return "With GDK_BACKEND set to Wayland widgets are ordinary windows: nothing keeps them below other "
               "windows. Start tarvelo-widgets without GDK_BACKEND, or with GDK_BACKEND=x11.";
    }
    return "";
}

} // namespace platform
