#include "Platform/Windowing/Screen.h"

#include <gdk/gdk.h>
#ifdef GDK_WINDOWING_X11
#include <gdk/x11/gdkx.h>
#endif

namespace platform {

namespace {

// The monitor the desktop treats as main; the caller does not own it.
GdkMonitor* mainMonitor(GdkDisplay* display) {
#ifdef GDK_WINDOWING_X11
    if (GDK_IS_X11_DISPLAY(display))
        return gdk_x11_display_get_primary_monitor(display);
#endif
    GListModel* monitors = gdk_display_get_monitors(display);
    if (g_list_model_get_n_items(monitors) == 0)
        return nullptr;
    // The list keeps the monitor alive; drop the extra reference at once.
    auto* monitor = static_cast<GdkMonitor*>(g_list_model_get_item(monitors, 0));
    g_object_unref(monitor);
    return monitor;
}

} // namespace

std::optional<Screen> Screen::mainScreen() {
    GdkDisplay* display = gdk_display_get_default();
    GdkMonitor* monitor = display ? mainMonitor(display) : nullptr;
    if (!monitor)
        return std::nullopt;
    GdkRectangle area{};
#ifdef GDK_WINDOWING_X11
    // Only X11 tells applications where the panels are; elsewhere the
    // compositor keeps windows clear of them itself.
    if (GDK_IS_X11_DISPLAY(display))
        gdk_x11_monitor_get_workarea(monitor, &area);
    else
#endif
        gdk_monitor_get_geometry(monitor, &area);
    return Screen{Rect{{static_cast<double>(area.x), static_cast<double>(area.y)},
                       {static_cast<double>(area.width), static_cast<double>(area.height)}}};
}

} // namespace platform
