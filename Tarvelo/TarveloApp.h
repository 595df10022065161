#pragma once

#include <gtkmm/application.h>

namespace tarvelo {

// The host application: one window, and every URL the desktop hands over
// goes to the date-link handling. Single instance per session: a second
// start passes its URLs to the running one over D-Bus and ends.
class TarveloApp : public Gtk::Application {
public:
    static constexpr const char* applicationIdentifier = "today.tarvelo.Tarvelo";

    static Glib::RefPtr<TarveloApp> create();

protected:
    TarveloApp();

    void on_activate() override;
    void on_open(const type_vec_files& files, const Glib::ustring& hint) override;

private:
    // Shows the window, making it the first time.
    void presentWindow();
};

} // namespace tarvelo
