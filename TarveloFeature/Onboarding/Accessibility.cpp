#include "TarveloFeature/Onboarding/Accessibility.h"

#include <gtk/gtk.h>
#include <gtkmm/widget.h>

namespace tarvelo::Accessibility {

void hide(Gtk::Widget& widget) {
    gtk_accessible_update_state(GTK_ACCESSIBLE(widget.gobj()), GTK_ACCESSIBLE_STATE_HIDDEN, TRUE, -1);
}

void setLabel(Gtk::Widget& widget, const std::string& label) {
    gtk_accessible_update_property(GTK_ACCESSIBLE(widget.gobj()), GTK_ACCESSIBLE_PROPERTY_LABEL,
                                   label.c_str(), -1);
}

} // namespace tarvelo::Accessibility
