// The onboarding page on screen, over a fake calendar desktop: the window's
// size, the steps and their rows, the line about the widget host, the
// picker's face and menu after each kind of choice, the two pictures of the
// widget (or the placeholder), and what assistive technologies read.
#include "Tarvelo/HostWindow.h"
#include "TarveloFeature/Onboarding/ContentView.h"
#include "TarveloFeature/Onboarding/LeadingRow.h"
#include "TarveloFeature/Onboarding/PageSize.h"
#include "TarveloFeature/Onboarding/SectionHeading.h"
#include "TarveloFeature/Onboarding/Step.h"
#include "tests/Support/EnvironmentGuard.h"
#include "tests/Support/FakeCalendarDesktop.h"
#include "tests/Support/GtkTestSupport.h"
#include "tests/Support/TemporaryFolder.h"

#include <fstream>
#include <gtest/gtest.h>
#include <gtkmm/adjustment.h>
#include <gtkmm/label.h>
#include <gtkmm/window.h>
#include <set>

using namespace tarvelo;
using namespace tarvelo::testsupport;
using Lines = std::vector<std::string>;

namespace {

const std::string chooseOther = "Choose Another Application\u2026";

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

// Where `label` draws its first baseline, in `row`'s coordinates.
double firstBaseline(Gtk::Label& label, Gtk::Widget& row) {
    int x = 0, y = 0;
    label.get_layout_offsets(x, y);
    double rowX = 0, rowY = 0;
    label.translate_coordinates(row, x, y + label.get_layout()->get_baseline() / double(PANGO_SCALE), rowX,
                                rowY);
    return rowY;
}

Gtk::Allocation allocationIn(Gtk::Widget& widget, Gtk::Widget& row) {
    double x = 0, y = 0;
    widget.translate_coordinates(row, 0, 0, x, y);
    return Gtk::Allocation(static_cast<int>(x), static_cast<int>(y), widget.get_width(), widget.get_height());
}

// The onboarding page in a window of its own, over a fake calendar desktop
// and a widget host that only counts the openings of its gallery.
class OnboardingWindow : public ::testing::Test, public FakeCalendarDesktop {
protected:
    OnboardingWindow() { initializeGtk(); }
    ~OnboardingWindow() override { closeWindow(); }

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
        gtk_test_widget_wait_for_draw(GTK_WIDGET(window->gobj()));
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

} // namespace

// In a row of its own, 240 wide, the text wraps in the width left after the
// decoration, which stands at the leading edge: on the right in right-to-left text.
TEST_F(OnboardingWindow, TheTextWrapsInTheWidthLeftAfterTheDecoration) {
    for (const bool rightToLeft : {false, true}) {
        closeWindow();
        window = Gtk::make_managed<Gtk::Window>();
        // Larger than the text, so that aligning their baselines moves the text down.
        auto* decorationLabel = Gtk::make_managed<Gtk::Label>();
        decorationLabel->set_markup("<span size='xx-large'>7</span>");
        auto* textLabel = Gtk::make_managed<Gtk::Label>(
            "A long instruction that cannot fit on one line of a narrow row, so it wraps onto several lines "
            "below the first one.");
        textLabel->set_wrap(true);
        textLabel->set_xalign(0.0F);
        auto* row = Gtk::make_managed<LeadingRow>(*decorationLabel, *textLabel, 12,
                                                  rightToLeft ? LeadingRow::Alignment::firstBaseline
                                                              : LeadingRow::Alignment::top);
        row->set_direction(rightToLeft ? Gtk::TextDirection::RTL : Gtk::TextDirection::LTR);
        row->set_valign(Gtk::Align::START);
        // Its natural width would put the whole text on one line.
        window->set_default_size(240, -1);
        window->set_child(*row);
        window->present();
        spinUntil([&] { return row->get_width() > 0 && textLabel->get_width() > 0; });
        settle();
        const Gtk::Allocation decoration = allocationIn(*decorationLabel, *row);
        const Gtk::Allocation text = allocationIn(*textLabel, *row);
        EXPECT_EQ(row->get_width(), 240);
        EXPECT_EQ(text.get_width(), 240 - decoration.get_width() - 12);
        EXPECT_EQ(decoration.get_x(), rightToLeft ? 240 - decoration.get_width() : 0);
        EXPECT_EQ(text.get_x(), rightToLeft ? 0 : decoration.get_width() + 12);
        if (rightToLeft) {
            EXPECT_NEAR(firstBaseline(*decorationLabel, *row), firstBaseline(*textLabel, *row), 1.0);
            continue;
        }
        EXPECT_EQ(decoration.get_y(), 0);
        EXPECT_EQ(text.get_y(), 0);
        // As tall as the wrapped text at that width: several lines, all shown.
        int minimum = 0, natural = 0, ignored = 0;
        textLabel->measure(Gtk::Orientation::VERTICAL, text.get_width(), minimum, natural, ignored, ignored);
        EXPECT_GT(natural, 3 * decoration.get_height() / 2);
        EXPECT_EQ(row->get_height(), natural);
        EXPECT_EQ(textLabel->get_height(), natural);
    }
}

// The applications window is exactly as large as the page; the page keeps
// its size whatever it holds, and without a screen is as high as it gets.
TEST_F(OnboardingWindow, TheWindowAndThePageHaveThePagesSize) {
    const auto screen = platform::Screen::mainScreen();
    ASSERT_TRUE(screen);
    Gtk::Window* hostWindow = makeHostWindow();
    hostWindow->present();
    ASSERT_TRUE(spinUntil([&] { return hostWindow->get_width() > 0; }));
    settle();
    EXPECT_EQ(hostWindow->get_width(), 640);
    EXPECT_EQ(hostWindow->get_height(), static_cast<int>(PageSize::height(screen->visibleFrame.size.height)));
    EXPECT_FALSE(hostWindow->get_resizable());
    gtk_window_destroy(hostWindow->gobj());

    auto& shown = openWindow();
    EXPECT_EQ(shown.get_width(), 640);
    EXPECT_EQ(shown.get_height(), static_cast<int>(shown.pageHeight()));
    // Its content is taller than any window: it scrolls.
    EXPECT_GT(shown.get_vadjustment()->get_upper(), shown.get_vadjustment()->get_page_size());

    auto noScreen = services();
    noScreen.mainScreen = [] { return std::nullopt; };
    auto* unshown = Gtk::make_managed<ContentView>(noScreen);
    EXPECT_EQ(unshown->pageHeight(), 960.0);
    // Never shown: drop it by hand.
    g_object_ref_sink(unshown->gobj());
    g_object_unref(unshown->gobj());
}

// Each numbered badge sits on its step's first baseline and is not read;
// the warning's icon sits on its text's top.
TEST_F(OnboardingWindow, StepsShowTheirEmphasisAndLinksAndReadAsTheirTextsWithoutTheNumbers) {
    auto& shown = openWindow();
    const auto found = stepsIn(shown.column());
    ASSERT_EQ(found.size(), 4U);
    for (std::size_t index = 0; index < found.size(); ++index) {
        Step& step = *found[index];
        auto& badge = dynamic_cast<Gtk::Label&>(step.leading());
        EXPECT_EQ(badge.get_text(), Glib::ustring(std::to_string(index + 1)));
        EXPECT_TRUE(isHidden(badge));
        EXPECT_FALSE(isHidden(step.content()));
        EXPECT_TRUE(step.textLabel().get_use_markup());
        EXPECT_EQ(step.textLabel().get_text().raw().find("**"), std::string::npos);
        EXPECT_NEAR(firstBaseline(badge, step), firstBaseline(step.textLabel(), step), 1.0);
        EXPECT_GE(allocationIn(badge, step).get_y(), 0) << "nothing sticks out of the row";
        EXPECT_LE(allocationIn(badge, step).get_y() + badge.get_height(), step.get_height());
    }
    auto* warning = dynamic_cast<LeadingRow*>(shown.column().get_last_child());
    ASSERT_NE(warning, nullptr);
    EXPECT_EQ(allocationIn(warning->leading(), *warning).get_y(),
              allocationIn(warning->content(), *warning).get_y());
    // The first step's link opens Edit Widgets, as the keyboard does it:
    // focus goes to the link, Enter activates it.
    found[0]->textLabel().grab_focus();
    g_signal_emit_by_name(found[0]->textLabel().gobj(), "activate-current-link");
    EXPECT_EQ(galleryOpenings, 1);
    // Headings show their text as written.
    SectionHeading heading("Not **bold** & <b>raw</b>");
    EXPECT_EQ(heading.get_text(), Glib::ustring("Not **bold** & <b>raw</b>"));
    EXPECT_FALSE(heading.get_use_markup());
}

TEST_F(OnboardingWindow, WhatTheWidgetHostWouldDoAddsALineOfItsOwn) {
    using Finding = ContentView::WidgetHostFinding;
    const auto textsFor = [&](Finding finding) {
        widgetHostFinding = finding;
        return labelsIn(openWindow());
    };
    const auto listed = textsFor(Finding::listsTarvelo);
    std::set<std::string> added;
    for (const Finding finding : {Finding::missesTarvelo, Finding::noWidgetHost}) {
        auto texts = textsFor(finding);
        for (const auto& text : listed)
            if (const auto same = std::find(texts.begin(), texts.end(), text); same != texts.end())
                texts.erase(same);
        ASSERT_EQ(texts.size(), 1U) << static_cast<int>(finding);
        added.insert(texts.front());
    }
    EXPECT_EQ(added.size(), 2U);
}

TEST_F(OnboardingWindow, AChoiceInTheMenuMovesTheCheckmarkAndTheFace) {
    openWindow();
    EXPECT_EQ(face(), "System default (Calendar)");
    EXPECT_TRUE(page->picker().menuIcon().get_visible());
    EXPECT_EQ(menu(),
              (Lines{"\u2713 System default (Calendar)", "---", "Agenda", "Calendar", "---", chooseOther}));
    EXPECT_FALSE(page->picker().warningLabel().get_visible());
    // Screen readers hear which line is chosen, and no icon.
    Gtk::Widget* first = page->picker().menuButton().get_popover()->get_child()->get_first_child();
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(hasRole(*first, GTK_ACCESSIBLE_ROLE_MENU_ITEM_RADIO));
    EXPECT_TRUE(accessibleCheck(gtk_test_accessible_check_state(
        GTK_ACCESSIBLE(first->gobj()), GTK_ACCESSIBLE_STATE_CHECKED, GTK_ACCESSIBLE_TRISTATE_TRUE)));
    EXPECT_TRUE(isHidden(page->picker().menuIcon()));

    page->picker().activateEntry(2); // "Agenda"
    settle();
    EXPECT_EQ(preference.selection(), CalendarAppSelection::app("org.example.Agenda.desktop", "Agenda"));
    EXPECT_EQ(menu(),
              (Lines{"System default (Calendar)", "---", "\u2713 Agenda", "Calendar", "---", chooseOther}));
    EXPECT_EQ(face(), "Agenda");
}

TEST_F(OnboardingWindow, AHundredKilobyteStoredNameIsCutAndLeavesTheWindowItsWidth) {
    openWindow();
    const int width = window->get_width();
    closeWindow();
    preference.setSelection(CalendarAppSelection::app("org.example.Long.desktop", std::string(100000, 'W')));
    openWindow();
    EXPECT_EQ(window->get_width(), width);
    EXPECT_TRUE(face().ends_with("(not installed)"));
}

TEST_F(OnboardingWindow, TheListIsAskedForWhenThePickerComesOnScreenNotWhenItIsDrawn) {
    openWindow();
    workspace.handlersByScheme["ical"].push_back(notesURL);
    page->queue_draw();
    page->picker().queue_resize();
    settle();
    EXPECT_EQ(menu(),
              (Lines{"\u2713 System default (Calendar)", "---", "Agenda", "Calendar", "---", chooseOther}));

    // Hidden and shown again: it comes on screen anew, and the application
    // chosen meanwhile has been removed: not installed, with the warning.
    preference.setSelection(CalendarAppSelection::app("org.example.Agenda.desktop", "Agenda"));
    workspace.installedByIdentifier.erase("org.example.Agenda.desktop");
    workspace.bundles.erase(agendaURL.absoluteString());
    window->set_visible(false);
    settle();
    window->set_visible(true);
    spinUntil([&] { return page->picker().get_mapped(); });
    settle();
    EXPECT_EQ(face(), "Agenda (not installed)");
    EXPECT_FALSE(page->picker().menuIcon().get_visible());
    EXPECT_TRUE(page->picker().warningLabel().get_visible());
    EXPECT_EQ(menu(), (Lines{"System default (Calendar)", "---", "Calendar", "Notes", "---", chooseOther}));
}

TEST_F(OnboardingWindow, TheBuiltPicturesHaveTheirSizesAndDirections) {
    for (const auto& asset : {WidgetArt::small, WidgetArt::medium}) {
        for (const std::string suffix : {"", "-rtl"}) {
            const auto image =
                WidgetArt::loadImage(std::string(asset.resourceName) + suffix, TARVELO_RESOURCES_FOLDER);
            ASSERT_TRUE(image) << asset.resourceName << suffix;
            EXPECT_EQ(image->get_width(), asset.pixelWidth);
            EXPECT_EQ(image->get_height(), asset.pixelHeight);
        }
    }
    // Resource names are file names only.
    EXPECT_FALSE(WidgetArt::loadImage("../tarvelo/tarvelo-small", TARVELO_RESOURCES_FOLDER));
    EXPECT_FALSE(WidgetArt::loadImage("", TARVELO_RESOURCES_FOLDER));

    // Right-to-left locales show the right-to-left pictures.
    TemporaryFolder resources;
    std::filesystem::copy_file(std::filesystem::path(TARVELO_RESOURCES_FOLDER) / "tarvelo-small-rtl.png",
                               resources.path() / "tarvelo-small-rtl.png");
    {
        const EnvironmentGuard hebrew = pinLocaleAndZone("he_IL.UTF-8", "UTC");
        EXPECT_TRUE(WidgetArt::loadPreviewImage("tarvelo-small", resources.path()));
    }
    const EnvironmentGuard english = pinLocaleAndZone("en_US.UTF-8", "UTC");
    EXPECT_FALSE(WidgetArt::loadPreviewImage("tarvelo-small", resources.path()));
}

TEST_F(OnboardingWindow, ShowsBothPicturesSideBySideInTheirFramesEachReadAsOneImage) {
    auto& shown = openWindow();
    auto& small = shown.smallPreview();
    auto& medium = shown.mediumPreview();
    EXPECT_FALSE(small.frame().showsPlaceholder());
    EXPECT_FALSE(medium.frame().showsPlaceholder());
    EXPECT_EQ(small.frame().get_height(), medium.frame().get_height());
    EXPECT_GT(medium.frame().get_width(), 2 * small.frame().get_width());
    EXPECT_EQ(labelsIn(small), std::vector<std::string>{"Small"});
    EXPECT_EQ(labelsIn(medium), std::vector<std::string>{"Medium"});

    EXPECT_EQ(allocationIn(small, shown).get_y(), allocationIn(medium, shown).get_y());
    EXPECT_GT(allocationIn(medium, shown).get_x() - allocationIn(small, shown).get_x(),
              small.frame().get_width());
    // Each is read as one image, with its caption.
    EXPECT_TRUE(hasRole(medium, GTK_ACCESSIBLE_ROLE_IMG));
    EXPECT_TRUE(hasLabel(medium, "Medium size preview of the Tarvelo widget"));
    EXPECT_TRUE(isHidden(medium.caption()));
    EXPECT_TRUE(isHidden(medium.frame()));
    EXPECT_TRUE(hasLabel(small, "Small size preview of the Tarvelo widget"));
}

TEST_F(OnboardingWindow, AMissingOrBrokenPictureShowsThePlaceholderInTheSameFrame) {
    const int width = openWindow().smallPreview().frame().get_width();
    TemporaryFolder resources;
    std::filesystem::copy_file(std::filesystem::path(TARVELO_RESOURCES_FOLDER) / "tarvelo-small.png",
                               resources.path() / "tarvelo-small.png");
    auto& shown = openWindow(resources.path());
    EXPECT_FALSE(shown.smallPreview().frame().showsPlaceholder());
    EXPECT_TRUE(shown.mediumPreview().frame().showsPlaceholder());
    EXPECT_EQ(labelsIn(shown.mediumPreview().frame()), std::vector<std::string>{"Preview unavailable"});
    EXPECT_EQ(labelsIn(shown.mediumPreview().caption()), std::vector<std::string>{"Medium"});

    std::ofstream(resources.path() / "tarvelo-small.png") << "not a PNG at all";
    std::ofstream(resources.path() / "tarvelo-medium.png") << "\x89PNG\r\n\x1a\n truncated";
    auto& broken = openWindow(resources.path());
    EXPECT_TRUE(broken.smallPreview().frame().showsPlaceholder());
    EXPECT_TRUE(broken.mediumPreview().frame().showsPlaceholder());
    EXPECT_EQ(broken.smallPreview().frame().get_width(), width);
}
