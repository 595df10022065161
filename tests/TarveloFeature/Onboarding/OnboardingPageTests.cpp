// The page as the window shows it: its size, its steps, the line about the widget host
// and what assistive technologies read.
#include "Tarvelo/HostWindow.h"
#include "TarveloFeature/Onboarding/PageSize.h"
#include "TarveloFeature/Onboarding/SectionHeading.h"
#include "TarveloFeature/Onboarding/Step.h"
#include "tests/TarveloFeature/Onboarding/OnboardingFixture.h"

#include <gtkmm/adjustment.h>
#include <set>

using tarvelo::testsupport::OnboardingFixture;

namespace {

class OnboardingPageTest : public OnboardingFixture {};

} // namespace

// The applications window is exactly as large as the page; the page keeps
// its size whatever it holds, and without a screen is as high as it gets.
TEST_F(OnboardingPageTest, TheWindowAndThePageHaveThePagesSize) {
    const auto screen = platform::Screen::mainScreen();
    ASSERT_TRUE(screen);
    Gtk::Window* hostWindow = tarvelo::makeHostWindow();
    hostWindow->present();
    ASSERT_TRUE(tarvelo::testsupport::spinUntil([&] { return hostWindow->get_width() > 0; }));
    tarvelo::testsupport::settle();
    EXPECT_EQ(hostWindow->get_width(), 640);
    const double height = tarvelo::PageSize::height(screen->visibleFrame.size.height);
    EXPECT_EQ(hostWindow->get_height(), static_cast<int>(height));
    EXPECT_FALSE(hostWindow->get_resizable());
    gtk_window_destroy(hostWindow->gobj());

    auto& shown = openWindow();
    EXPECT_EQ(shown.get_width(), 640);
    EXPECT_EQ(shown.get_height(), static_cast<int>(shown.pageHeight()));
    EXPECT_EQ(window->get_width(), 640);
    // Its content is taller than any window: it scrolls.
    EXPECT_GT(shown.get_vadjustment()->get_upper(), shown.get_vadjustment()->get_page_size());

    auto noScreen = services();
    noScreen.mainScreen = [] { return std::nullopt; };
    auto* unshown = Gtk::make_managed<tarvelo::ContentView>(noScreen);
    EXPECT_EQ(unshown->pageHeight(), 960.0);
    // Never shown: drop it by hand.
    g_object_ref_sink(unshown->gobj());
    g_object_unref(unshown->gobj());
}

TEST_F(OnboardingPageTest, StepsShowTheirEmphasisAndLinksAndReadAsTheirTextsWithoutTheNumbers) {
    auto& shown = openWindow();
    const auto found = tarvelo::testsupport::stepsIn(shown.column());
    ASSERT_EQ(found.size(), 4U);
    for (std::size_t index = 0; index < found.size(); ++index) {
        EXPECT_EQ(found[index]->number(), static_cast<std::int64_t>(index + 1));
        EXPECT_TRUE(found[index]->textLabel().get_use_markup());
        EXPECT_EQ(found[index]->textLabel().get_text().raw().find("**"), std::string::npos);
        Gtk::Widget* badge = found[index]->get_first_child();
        ASSERT_NE(badge, nullptr);
        EXPECT_EQ(dynamic_cast<Gtk::Label*>(badge)->get_text(), Glib::ustring(std::to_string(index + 1)));
        EXPECT_TRUE(tarvelo::testsupport::isHidden(*badge));
        // The text itself is read, as plain text.
        EXPECT_FALSE(tarvelo::testsupport::isHidden(*badge->get_next_sibling()));
    }
    // The first step's link opens Edit Widgets, as the keyboard does it:
    // focus goes to the link, Enter activates it.
    found[0]->textLabel().grab_focus();
    g_signal_emit_by_name(found[0]->textLabel().gobj(), "activate-current-link");
    EXPECT_EQ(galleryOpenings, 1);
    // Headings show their text as written.
    tarvelo::SectionHeading heading("Not **bold** & <b>raw</b>");
    EXPECT_EQ(heading.get_text(), Glib::ustring("Not **bold** & <b>raw</b>"));
    EXPECT_FALSE(heading.get_use_markup());
}

TEST_F(OnboardingPageTest, WhatTheWidgetHostWouldDoAddsALineOfItsOwn) {
    using Finding = tarvelo::ContentView::WidgetHostFinding;
    const auto textsFor = [&](Finding finding) {
        widgetHostFinding = finding;
        return tarvelo::testsupport::labelsIn(openWindow());
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
