#include "Platform/WidgetDesktop/X11Desktop.h"

#include <X11/Xatom.h>
#include <algorithm>
#include <gdk/x11/gdkx.h>

namespace platform {

namespace {

GdkSurface* x11Surface(Gtk::Window& window) {
    auto surface = window.get_surface();
    if (!surface || !GDK_IS_X11_SURFACE(surface->gobj()))
        return nullptr;
    return surface->gobj();
}

Atom atom(GdkSurface* surface, const char* name) {
    return gdk_x11_get_xatom_by_name_for_display(gdk_surface_get_display(surface), name);
}

// Asks the window manager to add a _NET_WM_STATE to a mapped window.
void addState(GdkSurface* surface, const char* first, const char* second) {
    Display* display = GDK_SURFACE_XDISPLAY(surface);
    XClientMessageEvent message{};
    message.type = ClientMessage;
    message.window = GDK_SURFACE_XID(surface);
    message.message_type = atom(surface, "_NET_WM_STATE");
    message.format = 32;
    message.data.l[0] = 1; // add
    message.data.l[1] = static_cast<long>(atom(surface, first));
    message.data.l[2] = second ? static_cast<long>(atom(surface, second)) : 0;
    message.data.l[3] = 1; // from a normal application
    XSendEvent(display, DefaultRootWindow(display), False, SubstructureRedirectMask | SubstructureNotifyMask,
               reinterpret_cast<XEvent*>(&message));
}

struct PositionWatch {
    GdkDisplay* display = nullptr;
    gulong handler = 0;
    Window window = 0;
    std::function<void(int, int)> moved;
    std::optional<std::pair<int, int>> last;
};

gboolean watchedEvent(GdkX11Display*, gpointer event, gpointer data) {
    auto* watch = static_cast<PositionWatch*>(data);
    const auto* xevent = static_cast<const XEvent*>(event);
    if (xevent->type != ConfigureNotify || xevent->xconfigure.window != watch->window)
        return FALSE;
    // A reparenting window manager reports positions inside its frame;
    // ask the server where the window stands on the root instead.
    Display* display = xevent->xconfigure.display;
    int x = 0, y = 0;
    Window child = 0;
    if (!XTranslateCoordinates(display, watch->window, DefaultRootWindow(display), 0, 0, &x, &y, &child))
        return FALSE;
    if (watch->last != std::pair{x, y}) {
        watch->last = std::pair{x, y};
        watch->moved(x, y);
    }
    return FALSE; // GDK still needs the event itself
}

} // namespace

bool X11Desktop::isX11(Gtk::Window& window) {
    return GDK_IS_X11_DISPLAY(window.get_display()->gobj());
}

bool X11Desktop::isX11Display() {
    GdkDisplay* display = gdk_display_get_default();
    return display && GDK_IS_X11_DISPLAY(display);
}

void X11Desktop::prepareWidgetSurface(Gtk::Window& window) {
    GdkSurface* surface = x11Surface(window);
    if (!surface)
        return;
    gdk_x11_surface_set_group(surface, surface);
    gdk_x11_surface_set_skip_taskbar_hint(surface, TRUE);
    gdk_x11_surface_set_skip_pager_hint(surface, TRUE);
    // A utility window can be kept below and is still given clicks by every
    // window manager we tried; a desktop-type window is often not.
    Atom type = atom(surface, "_NET_WM_WINDOW_TYPE_UTILITY");
    XChangeProperty(GDK_SURFACE_XDISPLAY(surface), GDK_SURFACE_XID(surface),
                    atom(surface, "_NET_WM_WINDOW_TYPE"), XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&type), 1);
}

void X11Desktop::keepOnDesktop(Gtk::Window& window) {
    GdkSurface* surface = x11Surface(window);
    if (!surface)
        return;
    // GDK writes the window type while mapping; say it again for managers
    // that follow later changes.
    Atom type = atom(surface, "_NET_WM_WINDOW_TYPE_UTILITY");
    XChangeProperty(GDK_SURFACE_XDISPLAY(surface), GDK_SURFACE_XID(surface),
                    atom(surface, "_NET_WM_WINDOW_TYPE"), XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&type), 1);
    addState(surface, "_NET_WM_STATE_BELOW", "_NET_WM_STATE_STICKY");
    addState(surface, "_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER");
    gdk_x11_surface_move_to_desktop(surface, 0xFFFFFFFF); // every workspace
    XFlush(GDK_SURFACE_XDISPLAY(surface));
}

void X11Desktop::move(Gtk::Window& window, int x, int y) {
    GdkSurface* surface = x11Surface(window);
    if (!surface)
        return;
    XMoveWindow(GDK_SURFACE_XDISPLAY(surface), GDK_SURFACE_XID(surface), x, y);
    XFlush(GDK_SURFACE_XDISPLAY(surface));
}

std::optional<std::pair<int, int>> X11Desktop::position(Gtk::Window& window) {
    GdkSurface* surface = x11Surface(window);
    if (!surface)
        return std::nullopt;
    Display* display = GDK_SURFACE_XDISPLAY(surface);
    int x = 0, y = 0;
    Window child = 0;
    if (!XTranslateCoordinates(display, GDK_SURFACE_XID(surface), DefaultRootWindow(display), 0, 0, &x, &y,
                               &child))
        return std::nullopt;
    return std::pair{x, y};
}

std::vector<ScreenRect> X11Desktop::workAreas(Gtk::Window& window) {
    std::vector<ScreenRect> areas;
    if (!isX11(window))
        return areas;
    GListModel* monitors = gdk_display_get_monitors(window.get_display()->gobj());
    for (guint index = 0; index < g_list_model_get_n_items(monitors); ++index) {
        auto* monitor = static_cast<GdkMonitor*>(g_list_model_get_item(monitors, index));
        GdkRectangle area{};
        gdk_x11_monitor_get_workarea(monitor, &area);
        // GDK counts in application pixels; the X server in device pixels.
        const int scale = std::max(gdk_monitor_get_scale_factor(monitor), 1);
        areas.push_back({area.x * scale, area.y * scale, area.width * scale, area.height * scale});
        g_object_unref(monitor);
    }
    return areas;
}

void* X11Desktop::watchPosition(Gtk::Window& window, std::function<void(int, int)> moved) {
    GdkSurface* surface = x11Surface(window);
    if (!surface)
        return nullptr;
    auto* watch = new PositionWatch;
    watch->display = gdk_surface_get_display(surface);
    watch->window = GDK_SURFACE_XID(surface);
    watch->moved = std::move(moved);
    watch->last = position(window);
    watch->handler = g_signal_connect(watch->display, "xevent", G_CALLBACK(watchedEvent), watch);
    return watch;
}

void X11Desktop::unwatch(void* handle) {
    auto* watch = static_cast<PositionWatch*>(handle);
    if (!watch)
        return;
    g_signal_handler_disconnect(watch->display, watch->handler);
    delete watch;
}

} // namespace platform
