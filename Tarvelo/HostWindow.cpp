#include "HostWindow.h"

#include "Localization.h"

#include <gtkmm/label.h>
#include <gtkmm/window.h>

namespace tarvelo {

Gtk::Window* makeHostWindow() {
    // Managed: GTK destroys the window when it closes, which ends the
    // application once no window is left.
    auto* window = Gtk::make_managed<Gtk::Window>();
    window->set_title("Tarvelo");
    window->set_default_size(640, -1);
    auto* label = Gtk::make_managed<Gtk::Label>(
        platform::localized("A month calendar you can step through without opening Calendar."));
    label->set_margin(24);
    label->set_wrap(true);
    window->set_child(*label);
    return window;
}

} // namespace tarvelo
