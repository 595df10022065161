// The yardstick for the widget host: the least a gtkmm program can do to put
// a widget-sized window up — an undecorated 170×170 window with a drawing
// area that fills itself with one colour — and to answer a click by drawing
// again (each click flips the shade).

#include <gtkmm.h>
#include <memory>

int main(int argc, char** argv) {
    auto application =
        Gtk::Application::create("today.tarvelo.BareWindow", Gio::Application::Flags::NON_UNIQUE);
    Gtk::Window* window = nullptr;
    application->signal_activate().connect([&] {
        window = new Gtk::Window;
        window->set_title("Bare");
        window->set_decorated(false);
        window->set_default_size(170, 170);
        auto* area = Gtk::make_managed<Gtk::DrawingArea>();
        area->set_content_width(170);
        area->set_content_height(170);
        auto flipped = std::make_shared<bool>(false);
        area->set_draw_func([flipped](const Cairo::RefPtr<Cairo::Context>& cairo, int, int) {
            const double shade = *flipped ? 0.94 : 0.98;
            cairo->set_source_rgb(shade, shade, shade + 0.01);
            cairo->paint();
        });
        auto click = Gtk::GestureClick::create();
        click->signal_released().connect([area, flipped](int, double, double) {
            *flipped = !*flipped;
            area->queue_draw();
        });
        area->add_controller(click);
        window->set_child(*area);
        application->add_window(*window);
        window->present();
    });
    const int status = application->run(argc, argv);
    delete window;
    return status;
}
