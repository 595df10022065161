#pragma once

#include <string>

namespace Gtk {
class Widget;
}

namespace tarvelo::Accessibility {

// Keeps a purely decorative widget (and its children) out of what assistive
// technologies read.
void hide(Gtk::Widget& widget);

// What assistive technologies read for `widget` instead of its contents.
void setLabel(Gtk::Widget& widget, const std::string& label);

} // namespace tarvelo::Accessibility
