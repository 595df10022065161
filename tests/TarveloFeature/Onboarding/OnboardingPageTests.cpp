// The page as the window shows it: its size, its sections in order, its
// texts and what assistive technologies read.
#include "OnboardingFixture.h"

#include "HostWindow.h"
#include "PageSize.h"
#include "SectionHeading.h"
#include "Step.h"


using tarvelo::testsupport::OnboardingFixture;

namespace {

class OnboardingPageTest : public OnboardingFixture {};

} // namespace

TEST_F(OnboardingPageTest, TheApplicationsWindowIsExactlyAsLargeAsThePage) {
    // Under xvfb-run the screen is 1024 x 768 with no panels: 728 high.
    const auto screen = platform::Screen::mainScreen();
    ASSERT_TRUE(screen);
    const double expected = tarvelo::PageSize::height(screen->visibleFrame.size.height);
    if (screen->visibleFrame.size.height == 768.0) {
        EXPECT_EQ(expected, 728.0);
    }

    Gtk::Window* hostWindow = tarvelo::makeHostWindow();
    hostWindow->present();
    ASSERT_TRUE(tarvelo::testsupport::spinUntil([&] { return hostWindow->get_width() > 0; }));
    tarvelo::testsupport::settle();
    EXPECT_EQ(hostWindow->get_width(), 640);
    EXPECT_EQ(hostWindow->get_height(), static_cast<int>(expected));
    EXPECT_FALSE(hostWindow->get_resizable());
    gtk_window_destroy(hostWindow->gobj());
    tarvelo::testsupport::settle();
}

TEST_F(OnboardingPageTest, ThePageKeepsItsSizeWhateverItHolds) {
    auto& shown = openWindow();
    EXPECT_EQ(shown.get_width(), 640);
    EXPECT_EQ(shown.get_height(), static_cast<int>(shown.pageHeight()));
    EXPECT_EQ(window->get_width(), 640);
    // Its content is taller than any window: it scrolls.
    EXPECT_GT(shown.get_vadjustment()->get_upper(), shown.get_vadjustment()->get_page_size());
}

TEST_F(OnboardingPageTest, WithoutAScreenThePageIs960High) {
    auto noScreen = services();
    noScreen.mainScreen = [] { return std::nullopt; };
    auto* unshown = Gtk::make_managed<tarvelo::ContentView>(noScreen);
    EXPECT_EQ(unshown->pageHeight(), 960.0);
    int width = 0;
    int height = 0;
    unshown->get_size_request(width, height);
    EXPECT_EQ(width, 640);
    EXPECT_EQ(height, 960);
    // Never shown: drop it by hand.
    g_object_ref_sink(unshown->gobj());
    g_object_unref(unshown->gobj());
}

TEST_F(OnboardingPageTest, ShowsTheSixSectionsInOrder) {
    auto& shown = openWindow();
    std::vector<std::string> firstTexts;
    for (Gtk::Widget* section = shown.column().get_first_child(); section; section = section->get_next_sibling())
        firstTexts.push_back(tarvelo::testsupport::firstLabelText(*section));
    EXPECT_EQ(firstTexts, (std::vector<std::string>{"Tarvelo", "This is the widget", "Where it lives",
                                                    "When you click a date", "Add it to your desktop",
                                                    "If Tarvelo is not in the list"}));
}

TEST_F(OnboardingPageTest, ShowsEmphasisBoldLinksAndHeadingsAsWritten) {
    auto& shown = openWindow();
    const auto found = tarvelo::testsupport::stepsIn(shown.column());
    ASSERT_EQ(found.size(), 4U);
    EXPECT_EQ(found[0]->textLabel().get_label(),
              Glib::ustring("Open <a href=\"edit-widgets\"><b>Edit Widgets</b></a> from the applications menu or a "
                            "widget&#39;s right-click menu."));
    EXPECT_EQ(found[1]->textLabel().get_label(), Glib::ustring("Search for <b>Tarvelo</b>."));

    tarvelo::SectionHeading heading("Not **bold** & <b>raw</b>");
    EXPECT_EQ(heading.get_text(), Glib::ustring("Not **bold** & <b>raw</b>"));
    EXPECT_FALSE(heading.get_use_markup());
}

TEST_F(OnboardingPageTest, TheFirstStepsLinkOpensEditWidgets) {
    auto& shown = openWindow();
    Gtk::Label& text = tarvelo::testsupport::stepsIn(shown.column()).at(0)->textLabel();
    // As the keyboard does it: focus goes to the link, Enter activates it.
    text.grab_focus();
    g_signal_emit_by_name(text.gobj(), "activate-current-link");
    EXPECT_EQ(galleryOpenings, 1);
}

TEST_F(OnboardingPageTest, StepsReadAsTheirTextsWithoutTheNumbers) {
    auto& shown = openWindow();
    const auto found = tarvelo::testsupport::stepsIn(shown.column());
    ASSERT_EQ(found.size(), 4U);
    for (std::size_t index = 0; index < found.size(); ++index) {
        EXPECT_EQ(found[index]->number(), static_cast<std::int64_t>(index + 1));
        Gtk::Widget* badge = found[index]->get_first_child();
        ASSERT_NE(badge, nullptr);
        EXPECT_EQ(dynamic_cast<Gtk::Label*>(badge)->get_text(), Glib::ustring(std::to_string(index + 1)));
        EXPECT_TRUE(tarvelo::testsupport::isHidden(*badge));
        // The text itself is read, as plain text.
        EXPECT_FALSE(tarvelo::testsupport::isHidden(*badge->get_next_sibling()));    }
}

TEST_F(OnboardingPageTest, AllTextsOfThePageAreThere) {
    using Finding = tarvelo::ContentView::WidgetHostFinding;
    struct Row {
        // Shown only for `onlyFor`, a finding about the widget host; else always.
        Row(std::string shown, std::optional<Finding> finding = {})
            : text(std::move(shown)), onlyFor(finding) {}
        std::string text;
        std::optional<Finding> onlyFor;
    };
    const std::vector<Row> table{
        {"Tarvelo"},
        {"A month calendar you can step through without opening Calendar."},
        {"This is the widget"},
        {"It comes in two sizes. Pick either one when you add it."},
        {"Small"},
        {"Medium"},
        {"Where it lives"},
        {"The widget sits on your desktop, below your windows and on every workspace. It does not appear in the "
         "taskbar, and this window is not the widget. This app exists to install the widget and to open your "
         "calendar when you click a date."},
        {"When you click a date"},
        {"Clicking a day in the widget opens this application. Tarvelo only launches it: your calendar is never "
         "read, and the choice stays on this computer."},
        {"Add it to your desktop"},
        {"Open Edit Widgets from the applications menu or a widget's right-click menu."},
        {"Search for Tarvelo."},
        {"Choose Add under the size you want."},
        {"Drag it where you like on your desktop."},
        {"The widget comes back at every login. To take it off your desktop, right-click it and choose Remove "
         "Widget."},
        {"If Tarvelo is not in the list"},
        {"Edit Widgets lists the widgets it finds in your data folders ($XDG_DATA_HOME, $XDG_DATA_DIRS) and beside "
         "its own program. Tarvelo installed anywhere else, or no widget host installed, leaves it out. Install the "
         "tarvelo package, or add Tarvelo's share folder to $XDG_DATA_DIRS, then log in again."},
        {"Right now, Edit Widgets would not find Tarvelo: its widget is in none of those folders.",
         Finding::missesTarvelo},
        {"No widget host was found beside Tarvelo, so Edit Widgets may not open on this computer.",
         Finding::noWidgetHost},
        {"There is no error message for this. The widget is just missing from the list, which is why it is worth "
         "saying out loud."},
    };
    for (const Finding finding : {Finding::listsTarvelo, Finding::missesTarvelo, Finding::noWidgetHost}) {
        widgetHostFinding = finding;
        std::vector<std::string> texts;
        tarvelo::testsupport::collectLabels(openWindow(), texts);
        for (const auto& [text, onlyFor] : table)
            EXPECT_EQ(std::count(texts.begin(), texts.end(), text), !onlyFor || onlyFor == finding ? 1 : 0)
                << text << " (finding " << static_cast<int>(finding) << ")";
        // The warning of the picker is only there while an application is missing.
        EXPECT_EQ(std::count_if(texts.begin(), texts.end(),
                                [](const std::string& text) { return text.starts_with("That application"); }),
                  0);
    }
}
