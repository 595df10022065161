#pragma once

#include <functional>
#include <string>

namespace platform {

// Which of GTK's display backends the widget host opens, decided from the
// session's environment before GTK starts. Widgets stay on the desktop only
// through X11: GTK 4.8 cannot keep a Wayland window below others, off the
// taskbar or on every workspace. GNOME's and KDE Plasma's compositors
// manage XWayland windows with their X11 window-manager code, so there the
// host goes through XWayland; other Wayland compositors (sway and the rest
// of the wlroots family) do not keep XWayland windows below either.
struct WidgetBackend {
    // Why widgets are ordinary windows in this session, if they are.
    enum class Limitation {
        none,
        compositor,    // a Wayland compositor other than GNOME's or Plasma's
        noXWayland,    // GNOME or Plasma on Wayland, but no X display to use
        forcedWayland, // GDK_BACKEND picks Wayland first
    };
    struct Choice {
        // For gdk_set_allowed_backends; empty: leave it to GTK (and GDK_BACKEND).
        std::string allowedBackends;
        Limitation limitation = Limitation::none;
        bool operator==(const Choice&) const = default;
    };

    // `variable` gives an environment variable's value ("" when unset).
    static Choice choose(const std::function<std::string(const char*)>& variable);
    // From this process's environment.
    static Choice chooseForThisSession();

    // One line for the user: what they see and what they can do about it
    // (empty for `none`).
    static std::string notice(Limitation limitation);
};

} // namespace platform
