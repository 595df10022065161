#include "Platform/WidgetHost/WidgetBackend.h"

#include <gtest/gtest.h>
#include <map>

using platform::WidgetBackend;
using Limitation = WidgetBackend::Limitation;

TEST(WidgetBackend, GoesThroughXWaylandOnlyWhereThatKeepsWidgetsOnTheDesktop) {
    struct Case {
        const char* session;
        const char* waylandDisplay;
        const char* display;
        const char* desktop;
        const char* gdkBackend;
        WidgetBackend::Choice expected;
    };
    const Case cases[] = {
        {"x11", "", ":0", "XFCE", "", {}},
        {"x11", "", ":0", "GNOME", "", {}},
        {"", "", "", "", "", {}}, // no display at all: GTK says so itself
        {"wayland", "wayland-0", ":0", "GNOME", "", {"x11,wayland", Limitation::none}},
        {"wayland", "wayland-0", ":1", "ubuntu:GNOME", "", {"x11,wayland", Limitation::none}},
        {"wayland", "wayland-0", ":1", "KDE", "", {"x11,wayland", Limitation::none}},
        {"", "wayland-1", ":0", "kde", "", {"x11,wayland", Limitation::none}},
        {"wayland", "", ":0", "GNOME", "", {"x11,wayland", Limitation::none}},
        {"wayland", "wayland-0", "", "GNOME", "", {"", Limitation::noXWayland}},
        {"wayland", "wayland-0", ":0", "GNOME", "x11", {"", Limitation::none}},
        {"wayland", "wayland-0", ":0", "KDE", "x11,wayland", {"", Limitation::none}},
        {"wayland", "wayland-0", ":0", "GNOME", "wayland", {"", Limitation::forcedWayland}},
        {"wayland", "wayland-0", ":0", "GNOME", "wayland,x11", {"", Limitation::forcedWayland}},
        {"wayland", "wayland-1", ":0", "sway", "", {"", Limitation::compositor}},
        {"wayland", "wayland-1", ":0", "sway", "x11", {"", Limitation::compositor}},
        {"wayland", "wayland-1", ":0", "", "", {"", Limitation::compositor}},
        {"wayland", "wayland-1", "", "Hyprland", "", {"", Limitation::compositor}},
    };
    for (const auto& test : cases) {
        const std::map<std::string, std::string> environment{{"XDG_SESSION_TYPE", test.session},
                                                             {"WAYLAND_DISPLAY", test.waylandDisplay},
                                                             {"DISPLAY", test.display},
                                                             {"XDG_CURRENT_DESKTOP", test.desktop},
                                                             {"GDK_BACKEND", test.gdkBackend}};
        const auto choice = WidgetBackend::choose([&](const char* name) { return environment.at(name); });
        EXPECT_EQ(choice, test.expected) << test.session << " " << test.waylandDisplay << " " << test.display
                                         << " " << test.desktop << " GDK_BACKEND=" << test.gdkBackend;
        EXPECT_EQ(WidgetBackend::notice(choice.limitation).empty(), choice.limitation == Limitation::none);
    }
}
