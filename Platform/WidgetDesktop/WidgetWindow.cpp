#include "Platform/WidgetDesktop/WidgetWindow.h"

#include "Platform/WidgetDesktop/WidgetBackground.h"
#include "Platform/WidgetDesktop/X11Desktop.h"

#include <algorithm>
#include <cmath>

namespace platform {

namespace {

void addStyle() {
    static bool added = false;
    if (added)
        return;
    added = true;
    // The window draws its own (possibly rounded) background.
    auto css = Gtk::CssProvider::create();
    css->load_from_data("window.tarvelo-widget { background: none; box-shadow: none; }");
    Gtk::StyleContext::add_provider_for_display(Gdk::Display::get_default(), css,
                                                GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
}

} // namespace

WidgetWindow::WidgetWindow(const WidgetPlacement& placement, const Painter& painter, Appearance appearance)
    : placement_(placement)
    , painter_(painter)
    , appearance_(appearance) {
    addStyle();
    const Size size = WidgetHost::size(placement.family);
    set_title("Tarvelo");
    set_decorated(false);
    set_resizable(false);
    set_default_size(static_cast<int>(size.width), static_cast<int>(size.height));
    add_css_class("tarvelo-widget");
    area_.set_content_width(static_cast<int>(size.width));
    area_.set_content_height(static_cast<int>(size.height));
    area_.set_draw_func(sigc::mem_fun(*this, &WidgetWindow::draw));
    overlay_.set_child(area_);
    overlay_.add_overlay(accessibility_);
    set_child(overlay_);
    accessibility_.attach(*this, area_);
    accessibility_.signalActivated().connect([this](Point point) { clicked_.emit(point); });

    drag_ = Gtk::GestureDrag::create();
    drag_->set_button(GDK_BUTTON_PRIMARY);
    drag_->signal_drag_begin().connect(sigc::mem_fun(*this, &WidgetWindow::dragBegan));
    drag_->signal_drag_update().connect(sigc::mem_fun(*this, &WidgetWindow::dragUpdated));
    drag_->signal_drag_end().connect(sigc::mem_fun(*this, &WidgetWindow::dragEnded));
    area_.add_controller(drag_);

    secondaryClick_ = Gtk::GestureClick::create();
    secondaryClick_->set_button(GDK_BUTTON_SECONDARY);
    secondaryClick_->signal_pressed().connect([this](int, double x, double y) { showMenu(x, y); });
    area_.add_controller(secondaryClick_);

    auto menu = Gio::Menu::create();
    menu->append("Edit Widgets…", "app.gallery");
    menu->append("Remove Widget", "win.remove");
    menu_.set_menu_model(menu);
    menu_.set_has_arrow(false);
    menu_.set_parent(area_);
    add_action("remove", [this] { remove_.emit(); });

    signal_realize().connect(
        [this] {
            X11Desktop::prepareWidgetSurface(*this);
            keepOnScreen();
        },
        true);
    signal_map().connect(sigc::mem_fun(*this, &WidgetWindow::mapped), true);
}

WidgetWindow::~WidgetWindow() {
    X11Desktop::unwatch(positionWatch_);
    menu_.unparent();
}

void WidgetWindow::mapped() {
    X11Desktop::keepOnDesktop(*this);
    // Window managers may place a newly mapped window where they like; ask
    // once more for the remembered spot.
    keepOnScreen();
    if (!positionWatch_)
        positionWatch_ = X11Desktop::watchPosition(*this, [this](int x, int y) { positionChanged(x, y); });
}

void WidgetWindow::keepOnScreen() {
    if (!placement_.x || !placement_.y || !get_realized())
        return;
    const Size size = WidgetHost::size(placement_.family);
    const int scale = std::max(get_scale_factor(), 1);
    const ScreenRect stored{*placement_.x, *placement_.y, static_cast<int>(size.width) * scale,
                            static_cast<int>(size.height) * scale};
    const auto origin = fitOnScreen(stored, X11Desktop::workAreas(*this));
    if (origin == std::pair{stored.x, stored.y})
        fitted_.reset();
    else
        fitted_ = origin;
    X11Desktop::move(*this, origin.first, origin.second);
}

void WidgetWindow::positionChanged(int x, int y) {
    // Where keepOnScreen put it is no new place of the user's.
    if (fitted_ == std::pair{x, y} || (placement_.x == x && placement_.y == y))
        return;
    fitted_.reset();
    placement_.x = x;
    placement_.y = y;
    moved_.emit(x, y);
}

void WidgetWindow::show(WidgetHost::Picture picture) {
    picture_ = std::move(picture);
    accessibility_.update(picture_->displayList);
    if (!get_visible())
        present();
    area_.queue_draw();
}

void WidgetWindow::setAppearance(Appearance appearance) {
    if (appearance == appearance_)
        return;
    appearance_ = appearance;
    area_.queue_draw();
}

void WidgetWindow::draw(const Cairo::RefPtr<Cairo::Context>& cairo, int width, int height) {
    // The context is in points and already scaled to the surface's pixels,
    // so text and shapes come out sharp at any scale factor.
    const auto display = get_display();
    const bool translucent = display->is_composited() && display->is_rgba();
    fillWidgetBackground(cairo, width, height, translucent ? cornerRadius : 0, appearance_);
    if (picture_)
        painter_.paint(cairo->cobj(), picture_->displayList, appearance_);
    accessibility_.paintFocusRing(cairo, appearance_);
}

void WidgetWindow::dragBegan(double x, double y) {
    dragStart_ = {x, y};
    moving_ = false;
}

void WidgetWindow::dragUpdated(double x, double y) {
    if (moving_)
        return;
    int threshold = 8;
    if (auto settings = Gtk::Settings::get_for_display(get_display()))
        threshold = settings->property_gtk_dnd_drag_threshold().get_value();
    if (std::hypot(x, y) < threshold)
        return;
    moving_ = true;
    // The window manager (or GDK standing in for one) moves the window
    // with the pointer from here on; on X11 the new position comes back as
    // a configure event.
    auto surface = get_surface();
    auto* toplevel = surface ? GDK_TOPLEVEL(surface->gobj()) : nullptr;
    if (!toplevel)
        return;
    double surfaceX = dragStart_.x, surfaceY = dragStart_.y;
    if (auto native = area_.get_native()) {
        double offsetX = 0, offsetY = 0;
        native->get_surface_transform(offsetX, offsetY);
        double translatedX = 0, translatedY = 0;
        area_.translate_coordinates(*dynamic_cast<Gtk::Widget*>(native), dragStart_.x, dragStart_.y,
                                    translatedX, translatedY);
        surfaceX = translatedX + offsetX;
        surfaceY = translatedY + offsetY;
    }
    const auto device = drag_->get_device();
    const auto button = static_cast<int>(drag_->get_current_button());
    const auto time = drag_->get_current_event_time();
    // The pointer is the window manager's from here; let go of it, as
    // GTK's own title bars do, so GTK's idea of what is pressed stays right.
    drag_->reset();
    gdk_toplevel_begin_move(toplevel, device->gobj(), button, surfaceX, surfaceY, time);
}

void WidgetWindow::dragEnded(double x, double y) {
    if (moving_ || std::hypot(x, y) >= 8)
        return;
    clicked_.emit(dragStart_);
}

void WidgetWindow::showMenu(double x, double y) {
    menu_.set_pointing_to(Gdk::Rectangle(static_cast<int>(x), static_cast<int>(y), 1, 1));
    menu_.popup();
}

} // namespace platform
