#pragma once

namespace Gtk {
class Window;
}

namespace tarvelo {

// The application's one window, owned by the application once added (it is
// destroyed when closed). The single place where that window is made.
Gtk::Window* makeHostWindow();

} // namespace tarvelo
