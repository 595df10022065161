#include "Tarvelo/TarveloApp.h"

#include "Platform/URL/URL.h"
#include "Tarvelo/DateLink.h"
#include "Tarvelo/HostWindow.h"

#include <gtkmm/window.h>

namespace tarvelo {

Glib::RefPtr<TarveloApp> TarveloApp::create() {
    return Glib::make_refptr_for_instance(new TarveloApp());
}

TarveloApp::TarveloApp()
    : Gtk::Application(applicationIdentifier, Gio::Application::Flags::HANDLES_OPEN) {}

void TarveloApp::on_activate() {
    presentWindow();
}

void TarveloApp::on_open(const type_vec_files& files, const Glib::ustring&) {
    // A start for a link shows the window like any other start; a valid link
    // then ends the application anyway, since the quit is only queued.
    // The links go first: showing a window for the first time sets up its
    // renderer (with OpenGL, tens of milliseconds on a software rasteriser),
    // and the click on a day should not wait for that.
    for (const auto& file : files) {
        // A link arrives as a file object that keeps its URI as written.
        if (const auto url = platform::URL::string(file->get_uri()))
            handleDateLink(*url);
    }
    presentWindow();
}

void TarveloApp::presentWindow() {
    if (auto windows = get_windows(); !windows.empty()) {
        windows.front()->present();
        return;
    }
    Gtk::Window* window = makeHostWindow();
    add_window(*window);
    window->present();
}

} // namespace tarvelo
