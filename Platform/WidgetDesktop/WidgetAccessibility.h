#pragma once

#include "Platform/Painter/Appearance.h"
#include "Platform/View/DisplayList.h"
#include "Platform/WidgetHost/AccessibleElements.h"

#include <cstddef>
#include <gtkmm.h>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// What a widget window gives assistive technologies and the keyboard. The
// window paints its widget as one picture; this layer lays one invisible
// child over each element of that picture: every text (read as text), every
// button and link (with its role and label, and keyboard focus), and every
// labelled shape or symbol (as an image). Items marked hidden, and texts
// that a labelled button or link speaks for, get none. The children stand
// in reading order: line by line from the top (the title row, the weekdays,
// the weeks, the footer), each line in the writing direction.
//
// The keyboard: Tab and Shift+Tab move through the buttons and links,
// Left and Right move to the previous and next one in reading order (by
// day in a month grid), Up and Down to the nearest one in the line above or
// below (by week); Enter or Space activates the focused one, which the
// window treats exactly as a click at its centre.
class WidgetAccessibility : public Gtk::Fixed {
public:
    using Role = AccessibleRole;
    using Element = AccessibleElement;

    WidgetAccessibility();
    ~WidgetAccessibility() override;

    // Takes keys on `window` and redraws `canvas` (where the picture and the
    // focus ring are painted) when the focus moves.
    void attach(Gtk::Window& window, Gtk::Widget& canvas);

    // The elements of a new picture. Children whose role stays are kept
    // (with their focus); their labels and places follow the picture.
    void update(const DisplayList& list);

    // The elements of a display list, in reading order (without a window).
    static std::vector<Element> elementsOf(const DisplayList& list, bool rightToLeft = false);

    const std::vector<Element>& elements() const { return elements_; }
    // The child standing for element `index`.
    Gtk::Widget* child(std::size_t index) const;
    // The element with keyboard focus, if any.
    std::optional<std::size_t> focused() const;

    // Handles one key as the window would; true when it was used.
    bool pressKey(guint keyval, Gdk::ModifierType state);

    // Paints the focus ring around the focused element, in the widget's
    // own style, while the window shows keyboard focus.
    void paintFocusRing(const Cairo::RefPtr<Cairo::Context>& cairo, Appearance appearance) const;

    // Enter or Space on a button or link: a click at this point.
    sigc::signal<void(Point)>& signalActivated() { return activated_; }

private:
    void focusElement(std::size_t index);
    std::optional<std::size_t> neighbour(std::size_t from, guint keyval) const;

    std::vector<Element> elements_;
    std::vector<GtkWidget*> children_;
    Gtk::Window* window_ = nullptr;
    Gtk::Widget* canvas_ = nullptr;
    sigc::signal<void(Point)> activated_;
};

} // namespace platform
