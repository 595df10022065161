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

TEST_F(OnboardingPageTest, ShowsEmphasisBoldAndHeadingsAsWritten) {
    auto& shown = openWindow();
    const auto found = tarvelo::testsupport::stepsIn(shown.column());
    ASSERT_EQ(found.size(), 4U);
    EXPECT_EQ(found[1]->textLabel().get_text(), Glib::ustring("Choose Edit Widgets."));
    EXPECT_EQ(found[1]->textLabel().get_label(), Glib::ustring("Choose <b>Edit Widgets</b>."));
    EXPECT_EQ(found[2]->textLabel().get_text(), Glib::ustring("Search for Tarvelo."));

    tarvelo::SectionHeading heading("Not **bold** & <b>raw</b>");
    EXPECT_EQ(heading.get_text(), Glib::ustring("Not **bold** & <b>raw</b>"));
    EXPECT_FALSE(heading.get_use_markup());
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
    auto& shown = openWindow();
    std::vector<std::string> texts;
    tarvelo::testsupport::collectLabels(shown, texts);
    for (const std::string expected :
         {"A month calendar you can step through without opening Calendar.",
          "It comes in two sizes. Pick either one when you add it.", "Small", "Medium",
          "Clicking a day in the widget opens this application. Tarvelo only launches it: your calendar is "
          "never read, and the choice stays on this Mac.",
          "Right-click anywhere on the desktop.", "Drag it out onto the desktop.",
          "To put it in Notification Center instead, click the date and time in the menu bar, scroll to the "
          "bottom, and choose Edit Widgets there.",
          "There is no error message for this. The widget is just missing from the list, which is why it is "
          "worth saying out loud."})
        EXPECT_NE(std::find(texts.begin(), texts.end(), expected), texts.end()) << expected;
    // The warning of the picker is only there while an application is missing.
    EXPECT_EQ(std::count_if(texts.begin(), texts.end(),
                            [](const std::string& text) { return text.starts_with("That application"); }),
              0);
}
