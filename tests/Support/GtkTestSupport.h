#pragma once

#include "tests/Support/Eventually.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <gtk/gtktestatcontext.h>
#include <gtkmm/application.h>
#include <gtkmm/image.h>
#include <gtkmm/label.h>
#include <gtkmm/separator.h>
#include <gtkmm/widget.h>
#include <string>
#include <vector>

namespace tarvelo::testsupport {

// Brings GTK and gtkmm up once per test program (a display is needed:
// the tests run under xvfb-run).
inline void initializeGtk() {
    static const Glib::RefPtr<Gtk::Application> application = [] {
        // What assistive technologies would read, kept without an
        // accessibility bus.
        ::setenv("GTK_A11Y", "test", 1);
        gtk_init();
        // Making an application sets up gtkmm's wrappers.
        return Gtk::Application::create("today.tarvelo.OnboardingTests", Gio::Application::Flags::NON_UNIQUE);
    }();
    (void)application;
}

// Runs the main loop until `done` holds or a minute has passed.
template <typename Done> bool spinUntil(Done&& done) {
    return eventually(done, std::chrono::seconds(60));
}

// Every label text in `widget`, depth first, visible ones only.
inline std::vector<std::string> labelsIn(Gtk::Widget& widget, std::vector<std::string> texts = {}) {
    if (!widget.get_visible())
        return texts;
    if (auto* label = dynamic_cast<Gtk::Label*>(&widget))
        texts.push_back(label->get_text());
    for (Gtk::Widget* child = widget.get_first_child(); child; child = child->get_next_sibling())
        texts = labelsIn(*child, std::move(texts));
    return texts;
}

// One entry of a menu as the user sees it: "✓ Title" when checked, "Title" otherwise.
inline std::string menuLine(Gtk::Widget& widget) {
    std::string line;
    if (auto* image = dynamic_cast<Gtk::Image*>(&widget);
        image && image->get_storage_type() != Gtk::Image::Type::EMPTY)
        line += "\u2713 ";
    if (auto* label = dynamic_cast<Gtk::Label*>(&widget))
        line += label->get_text();
    for (Gtk::Widget* inner = widget.get_first_child(); inner; inner = inner->get_next_sibling())
        line += menuLine(*inner);
    return line;
}

// The lines of a menu box as the user sees them, "---" for a separator.
inline std::vector<std::string> menuLines(Gtk::Widget& menu) {
    std::vector<std::string> lines;
    for (Gtk::Widget* child = menu.get_first_child(); child; child = child->get_next_sibling())
        lines.push_back(dynamic_cast<Gtk::Separator*>(child) ? "---" : menuLine(*child));
    return lines;
}

// What assistive technologies get from a widget, checked without an
// accessibility bus. accessibleCheck turns GTK's answer (null, or why the
// check failed) into an assertion result.
inline ::testing::AssertionResult accessibleCheck(char* error) {
    if (!error)
        return ::testing::AssertionSuccess();
    auto failure = ::testing::AssertionFailure() << error;
    g_free(error);
    return failure;
}
inline ::testing::AssertionResult hasRole(Gtk::Widget& widget, GtkAccessibleRole role) {
    const bool has = gtk_test_accessible_has_role(GTK_ACCESSIBLE(widget.gobj()), role);
    return accessibleCheck(has ? nullptr : g_strdup("another accessible role"));
}
inline ::testing::AssertionResult hasLabel(Gtk::Widget& widget, const char* label) {
    return accessibleCheck(gtk_test_accessible_check_property(GTK_ACCESSIBLE(widget.gobj()),
                                                              GTK_ACCESSIBLE_PROPERTY_LABEL, label));
}
inline ::testing::AssertionResult isHidden(Gtk::Widget& widget) {
    return accessibleCheck(
        gtk_test_accessible_check_state(GTK_ACCESSIBLE(widget.gobj()), GTK_ACCESSIBLE_STATE_HIDDEN, TRUE));
}

} // namespace tarvelo::testsupport
