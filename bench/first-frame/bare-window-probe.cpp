// A bare gtkmm window with a page like the onboarding page: the same size,
// a scrolled column with the same texts (wrapped, some bold, in a few
// sizes), the two widget pictures with captions and a menu button; no style
// sheet, no custom widgets, no lookups of applications or settings.
#include "bench/first-frame/FirstFrameReport.h"

#include <gdk/gdk.h>
#include <gdk/x11/gdkx.h>
#include <gtkmm/box.h>
#include <gtkmm/label.h>
#include <gtkmm/menubutton.h>
#include <gtkmm/picture.h>
#include <gtkmm/scrolledwindow.h>

namespace {

Gtk::Label* text(const char* markup) {
    auto* label = Gtk::make_managed<Gtk::Label>();
    label->set_markup(markup);
    label->set_wrap(true);
    label->set_xalign(0.0F);
    return label;
}

int pageHeight() {
    GdkDisplay* display = gdk_display_get_default();
    GdkRectangle area{0, 0, 0, 1000};
    if (display && GDK_IS_X11_DISPLAY(display))
        gdk_x11_monitor_get_workarea(gdk_x11_display_get_primary_monitor(display), &area);
    return std::clamp(area.height - 40, 520, 960);
}

Gtk::Window* makeWindow() {
    auto* window = Gtk::make_managed<Gtk::Window>();
    window->set_resizable(false);
    auto* scrolled = Gtk::make_managed<Gtk::ScrolledWindow>();
    scrolled->set_size_request(640, pageHeight());
    scrolled->set_policy(Gtk::PolicyType::NEVER, Gtk::PolicyType::AUTOMATIC);
    auto* column = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, 18);
    column->set_margin(28);
    column->append(*text("<span size='xx-large' weight='semibold'>Tarvelo</span>"));
    column->append(
        *text("<span size='large'>A month calendar you can step through without opening Calendar.</span>"));
    column->append(*text("<span size='large' weight='semibold'>This is the widget</span>"));
    column->append(*text("It comes in two sizes. Pick either one when you add it."));
    auto* pictures = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, 24);
    for (const char* name : {"tarvelo-small.png", "tarvelo-medium.png"}) {
        auto* preview = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, 8);
        auto* picture = Gtk::make_managed<Gtk::Picture>(std::string(TARVELO_RESOURCES_FOLDER "/") + name);
        picture->set_can_shrink(true);
        picture->set_size_request(name[8] == 's' ? 106 : 222, 106);
        preview->append(*picture);
        preview->append(*Gtk::make_managed<Gtk::Label>(name[8] == 's' ? "Small" : "Medium"));
        pictures->append(*preview);
    }
    column->append(*pictures);
    column->append(*text("<span size='large' weight='semibold'>Where it lives</span>"));
    column->append(
        *text("The widget sits on your <b>desktop</b>, below your windows and on every workspace. It "
              "does not appear in the taskbar, and this window is not the widget. This app exists to "
              "install the widget and to open your calendar when you click a date."));
    column->append(*text("<span size='large' weight='semibold'>When you click a date</span>"));
    auto* menu = Gtk::make_managed<Gtk::MenuButton>();
    menu->set_label("System default");
    menu->set_halign(Gtk::Align::START);
    column->append(*menu);
    column->append(
        *text("<small>Clicking a day in the widget opens this application. Tarvelo only launches it: "
              "your calendar is never read, and the choice stays on this computer.</small>"));
    column->append(*text("<span size='large' weight='semibold'>Add it to your desktop</span>"));
    for (const char* step :
         {"1  Open <a href='edit-widgets'><b>Edit Widgets</b></a> from the applications menu "
          "or a widget's right-click menu.",
          "2  Search for <b>Tarvelo</b>.", "3  Choose <b>Add</b> under the size you want.",
          "4  Drag it where you like on your desktop."})
        column->append(*text(step));
    column->append(
        *text("<small>The widget comes back at every login. To take it off your desktop, right-click it "
              "and choose <b>Remove Widget</b>.</small>"));
    column->append(*text("<b>If Tarvelo is not in the list</b>"));
    column->append(
        *text("Edit Widgets lists the widgets it finds in your data folders ($XDG_DATA_HOME, "
              "$XDG_DATA_DIRS) and beside its own program. Tarvelo installed anywhere else, or no widget "
              "host installed, leaves it out. Install the tarvelo package, or add Tarvelo's share folder "
              "to $XDG_DATA_DIRS, then log in again."));
    column->append(
        *text("<small>There is no error message for this. The widget is just missing from the list, "
              "which is why it is worth saying out loud.</small>"));
    scrolled->set_child(*column);
    window->set_child(*scrolled);
    return window;
}

} // namespace

int main(int argc, char* argv[]) {
    auto application =
        Gtk::Application::create("today.tarvelo.BareFirstFrameProbe", Gio::Application::Flags::NON_UNIQUE);
    application->signal_activate().connect([&] {
        Gtk::Window* window = makeWindow();
        application->add_window(*window);
        window->present();
        firstframe::reportFirstFrame(*window, application);
    });
    return application->run(argc, argv);
}
