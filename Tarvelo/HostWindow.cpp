#include "Tarvelo/HostWindow.h"

#include "TarveloFeature/Onboarding/ContentView.h"

#include <gtkmm/window.h>

namespace tarvelo {

Gtk::Window* makeHostWindow() {
    // Managed: GTK destroys the window when it closes, which ends the
    // application once no window is left.
    auto* window = Gtk::make_managed<Gtk::Window>();
    window->set_title("Tarvelo");
    // Exactly as large as the page: 640 wide, as high as the screen allows.
    window->set_resizable(false);
    window->set_child(*Gtk::make_managed<ContentView>());
    return window;
}

} // namespace tarvelo
