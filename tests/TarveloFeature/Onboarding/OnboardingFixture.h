#pragma once

#include "TarveloFeature/Onboarding/ContentView.h"
#include "TarveloFeature/Onboarding/Step.h"
#include "tests/Support/FakeCalendarDesktop.h"
#include "tests/Support/GtkTestSupport.h"

#include <gtest/gtest.h>
#include <gtkmm/window.h>
#include <memory>

namespace tarvelo::testsupport {

// The numbered steps below `widget`, in page order.
inline std::vector<Step*> stepsIn(Gtk::Widget& widget) {
    std::vector<Step*> found;
    if (auto* step = dynamic_cast<Step*>(&widget))
        found.push_back(step);
    for (Gtk::Widget* child = widget.get_first_child(); child; child = child->get_next_sibling())
        for (auto* step : stepsIn(*child))
            found.push_back(step);
    return found;
}

// The onboarding page in a window of its own, over a fake calendar desktop
// and a widget host that only counts the openings of its gallery.
class OnboardingFixture : public ::testing::Test, public FakeCalendarDesktop {
protected:
    OnboardingFixture() { initializeGtk(); }
    ~OnboardingFixture() override { closeWindow(); }

    ContentView::Services services(std::filesystem::path resources = TARVELO_RESOURCES_FOLDER) {
        return ContentView::Services{preference,
                                     workspace,
                                     panelMaker(),
                                     std::move(resources),
                                     platform::Screen::mainScreen,
                                     [this] { ++galleryOpenings; },
                                     [this] { return widgetHostFinding; }};
    }

    // Shows a fresh page, as opening the window does, and waits until it
    // has been drawn.
    ContentView& openWindow(std::filesystem::path resources = TARVELO_RESOURCES_FOLDER) {
        closeWindow();
        window = Gtk::make_managed<Gtk::Window>();
        page = Gtk::make_managed<ContentView>(services(std::move(resources)));
        window->set_resizable(false);
        window->set_child(*page);
        window->present();
        spinUntil([&] { return window->get_mapped(); });
        GdkFrameClock* clock = gtk_widget_get_frame_clock(GTK_WIDGET(window->gobj()));
        bool drawn = false;
        const gulong handler = g_signal_connect_swapped(
            clock, "after-paint", G_CALLBACK(+[](bool* flag, GdkFrameClock*) { *flag = true; }), &drawn);
        spinUntil([&] { return drawn; });
        g_signal_handler_disconnect(clock, handler);
        settle();
        return *page;
    }

    void closeWindow() {
        if (!window)
            return;
        // Destroying the window destroys the page it manages.
        gtk_window_destroy(window->gobj());
        window = nullptr;
        page = nullptr;
        settle();
    }

    // The picker's menu as the user sees it.
    std::vector<std::string> menu() {
        return menuLines(*page->picker().menuButton().get_popover()->get_child());
    }
    std::string face() { return page->picker().menuTitleLabel().get_text(); }

    // Step 1's link opens Edit Widgets here; the page tells what it is given.
    int galleryOpenings = 0;
    ContentView::WidgetHostFinding widgetHostFinding = ContentView::WidgetHostFinding::listsTarvelo;
    Gtk::Window* window = nullptr;
    ContentView* page = nullptr;
};

} // namespace tarvelo::testsupport
