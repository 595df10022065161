#pragma once

#include "ContentView.h"
#include "FakeOpenPanel.h"
#include "FakeWorkspace.h"
#include "GtkTestSupport.h"
#include "TemporaryFolder.h"
#include "Step.h"

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

// The onboarding page in a window of its own, over a fake desktop (two
// calendar handlers, "Calendar" the default), a fake open panel and a widget
// host that only counts the openings of its gallery.
class OnboardingFixture : public ::testing::Test {
protected:
    OnboardingFixture() {
        initializeGtk();
        agendaURL = workspace.install("agenda.desktop", "org.example.Agenda.desktop",
                                      {{"CFBundleName", std::string("Agenda")}});
        calendarURL = workspace.install("calendar.desktop", "org.example.Calendar.desktop",
                                        {{"CFBundleName", std::string("Calendar")}});
        notesURL = workspace.install("notes.desktop", "org.example.Notes.desktop",
                                     {{"CFBundleName", std::string("Notes")}});
        workspace.handlersByScheme["ical"] = {calendarURL, agendaURL};
        workspace.defaultHandlerByScheme.insert_or_assign("ical", calendarURL);
    }
    ~OnboardingFixture() override { closeWindow(); }

    ContentView::Services services(std::filesystem::path resources = TARVELO_RESOURCES_FOLDER) {
        return ContentView::Services{preference,
                                     workspace,
                                     [record = panel] { return std::make_unique<FakeOpenPanel>(record); },
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
        bool drawn = false;
        auto* clock = [&]() -> GdkFrameClock* {
            spinUntil([&] { return window->get_mapped(); });
            return gtk_widget_get_frame_clock(GTK_WIDGET(window->gobj()));
        }();
        const gulong handler = g_signal_connect_swapped(clock, "after-paint", G_CALLBACK(+[](bool* flag, GdkFrameClock*) {
                                                            *flag = true;
                                                        }),
                                                        &drawn);
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

    TemporaryFolder folder;
    platform::UserDefaults defaults{"today.tarvelo.Tarvelo", folder.path()};
    FakeWorkspace workspace;
    CalendarAppPreference preference{defaults, workspace};
    std::shared_ptr<FakeOpenPanel::Record> panel = std::make_shared<FakeOpenPanel::Record>();
    // Step 1's link opens Edit Widgets here; the page tells what it is given.
    int galleryOpenings = 0;
    ContentView::WidgetHostFinding widgetHostFinding = ContentView::WidgetHostFinding::listsTarvelo;
    Gtk::Window* window = nullptr;
    ContentView* page = nullptr;
    platform::URL agendaURL = platform::URL::fileURL("/");
    platform::URL calendarURL = agendaURL;
    platform::URL notesURL = agendaURL;
};

} // namespace tarvelo::testsupport
