#pragma once

#include "Platform/Painter/Appearance.h"

#include <giomm.h>
#include <gtkmm.h>
#include <optional>

namespace platform {

// Follows the desktop's light or dark preference. Asked in this order, the
// first that knows wins: the settings portal's "color-scheme" (what
// sandboxed and non-GNOME desktops publish), GNOME's own "color-scheme"
// setting, then GTK's dark-theme preference and theme name.
class AppearanceMonitor {
public:
    AppearanceMonitor();

    Appearance appearance() const;
    sigc::signal<void()>& signalChanged() { return changed_; }

private:
    void recompute();
    void portalReady(const Glib::RefPtr<Gio::AsyncResult>& result);
    void readPortalValue(const Glib::VariantBase& value);

    Glib::RefPtr<Gtk::Settings> gtkSettings_;
    Glib::RefPtr<Gio::Settings> interfaceSettings_;
    Glib::RefPtr<Gio::DBus::Proxy> portal_;
    std::optional<Appearance> portalAppearance_;
    Appearance appearance_ = Appearance::light;
    sigc::signal<void()> changed_;
};

} // namespace platform
