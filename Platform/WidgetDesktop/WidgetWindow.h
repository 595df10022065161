#pragma once

#include "Platform/Painter/Painter.h"
#include "Platform/WidgetDesktop/WidgetAccessibility.h"
#include "Platform/WidgetHost/WidgetHost.h"
#include "Platform/WidgetHost/WidgetPlacement.h"

#include <gtkmm.h>
#include <optional>

namespace platform {

// One widget on the desktop: a small undecorated window of its family's
// size that paints the widget's last picture. It keeps that picture until a
// newer one comes, whatever happens to the extension meanwhile.
//
// A left click (press and release without moving) is reported through
// `signalClicked`; a drag moves the window; a right click offers
// "Edit Widgets…" (the application's "gallery" action) and "Remove Widget".
// Screen readers and the keyboard reach the widget's texts, buttons and
// links through `accessibility()`; Enter or Space on one is reported as a
// click at its centre.
class WidgetWindow : public Gtk::ApplicationWindow {
public:
    WidgetWindow(const WidgetPlacement& placement, const Painter& painter, Appearance appearance);
    ~WidgetWindow() override;

    const WidgetPlacement& placement() const { return placement_; }
    // The picture shown, if one came yet.
    const std::optional<WidgetHost::Picture>& picture() const { return picture_; }

    void show(WidgetHost::Picture picture);
    void setAppearance(Appearance appearance);
    // Brings the window onto a monitor's work area should its stored place
    // lie mostly off all of them, or back to that place once it is on one
    // again. The stored place stays the user's: only a drag changes it.
    void keepOnScreen();

    const WidgetAccessibility& accessibility() const { return accessibility_; }
    WidgetAccessibility& accessibility() { return accessibility_; }

    // A click at a point of the widget, in points from its top-left corner.
    sigc::signal<void(Point)>& signalClicked() { return clicked_; }
    sigc::signal<void()>& signalRemove() { return remove_; }
    // The window now stands at (x, y) desktop pixels (X11 only).
    sigc::signal<void(int, int)>& signalMoved() { return moved_; }

    // Corner radius of the widget's rounded shape, in points.
    static constexpr double cornerRadius = 20.0;

private:
    void draw(const Cairo::RefPtr<Cairo::Context>& cairo, int width, int height);
    void dragBegan(double x, double y);
    void dragUpdated(double x, double y);
    void dragEnded(double x, double y);
    void showMenu(double x, double y);
    void mapped();
    void positionChanged(int x, int y);

    WidgetPlacement placement_;
    const Painter& painter_;
    Appearance appearance_;
    std::optional<WidgetHost::Picture> picture_;

    Gtk::DrawingArea area_;
    Gtk::Overlay overlay_;
    WidgetAccessibility accessibility_;
    Glib::RefPtr<Gtk::GestureDrag> drag_;
    Glib::RefPtr<Gtk::GestureClick> secondaryClick_;
    Gtk::PopoverMenu menu_;
    Point dragStart_{};
    bool moving_ = false;
    // Where keepOnScreen put the window instead of its stored place.
    std::optional<std::pair<int, int>> fitted_;
    void* positionWatch_ = nullptr;

    sigc::signal<void(Point)> clicked_;
    sigc::signal<void()> remove_;
    sigc::signal<void(int, int)> moved_;
};

} // namespace platform
