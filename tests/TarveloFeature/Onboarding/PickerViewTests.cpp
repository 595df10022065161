// The picker on screen: the menu button's face, the menu's lines with their
// checkmarks, the warning, after each kind of choice.
#include "tests/TarveloFeature/Onboarding/OnboardingFixture.h"

using tarvelo::CalendarAppSelection;
using tarvelo::testsupport::OnboardingFixture;
using tarvelo::testsupport::settle;
using Lines = std::vector<std::string>;

namespace {

const std::string chooseOther = "Choose Another Application\u2026";

class PickerViewTest : public OnboardingFixture {
protected:
    // Clicks the menu line with this title (checkmark left out).
    void click(const std::string& title) {
        const auto& entries = page->picker().shownEntries();
        for (std::size_t index = 0; index < entries.size(); ++index)
            if (entries[index].title == title) {
                page->picker().activateEntry(index);
                settle();
                return;
            }
        ADD_FAILURE() << "no menu line " << title;
    }
    bool warningShown() { return page->picker().warningLabel().get_visible(); }
    bool iconShown() { return page->picker().menuIcon().get_visible(); }
};

} // namespace

TEST_F(PickerViewTest, ChoicesInTheMenuAndThePanelMoveTheCheckmarkAndTheFace) {
    openWindow();
    EXPECT_EQ(face(), "System default (Calendar)");
    EXPECT_TRUE(iconShown());
    EXPECT_EQ(page->picker().menuIcon().get_pixel_size(), 18);
    EXPECT_EQ(menu(),
              (Lines{"\u2713 System default (Calendar)", "---", "Agenda", "Calendar", "---", chooseOther}));
    EXPECT_FALSE(warningShown());
    // Screen readers hear which line is chosen, and no icon.
    Gtk::Widget* first = page->picker().menuButton().get_popover()->get_child()->get_first_child();
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(tarvelo::testsupport::hasRole(*first, GTK_ACCESSIBLE_ROLE_MENU_ITEM_RADIO));
    EXPECT_TRUE(tarvelo::testsupport::accessibleCheck(gtk_test_accessible_check_state(
        GTK_ACCESSIBLE(first->gobj()), GTK_ACCESSIBLE_STATE_CHECKED, GTK_ACCESSIBLE_TRISTATE_TRUE)));
    EXPECT_TRUE(tarvelo::testsupport::isHidden(page->picker().menuIcon()));

    click("Agenda");
    EXPECT_EQ(face(), "Agenda");
    EXPECT_TRUE(iconShown());
    EXPECT_EQ(menu(),
              (Lines{"System default (Calendar)", "---", "\u2713 Agenda", "Calendar", "---", chooseOther}));

    click(chooseOther);
    ASSERT_TRUE(panel->running());
    panel->answer(platform::modalResponseOK, notesURL);
    settle();
    EXPECT_EQ(face(), "Notes");
    EXPECT_EQ(menu(), (Lines{"System default (Calendar)", "---", "Agenda", "Calendar", "\u2713 Notes", "---",
                             chooseOther}));

    click("System default (Calendar)");
    EXPECT_EQ(face(), "System default (Calendar)");
    EXPECT_EQ(menu().front(), "\u2713 System default (Calendar)");
}

TEST_F(PickerViewTest, AHundredKilobyteStoredNameIsCutAndLeavesTheWindowItsWidth) {
    openWindow();
    const int width = window->get_width();
    closeWindow();
    preference.setSelection(CalendarAppSelection::app("org.example.Long.desktop", std::string(100000, 'W')));
    openWindow();
    EXPECT_EQ(window->get_width(), width);
    EXPECT_TRUE(face().ends_with("(not installed)"));
}

TEST_F(PickerViewTest, TheListIsAskedForWhenThePickerComesOnScreenNotWhenItIsDrawn) {
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
    tarvelo::testsupport::spinUntil([&] { return page->picker().get_mapped(); });
    settle();
    EXPECT_EQ(face(), "Agenda (not installed)");
    EXPECT_FALSE(iconShown());
    EXPECT_TRUE(warningShown());
    EXPECT_EQ(menu(), (Lines{"System default (Calendar)", "---", "Calendar", "Notes", "---", chooseOther}));
    click("System default (Calendar)");
    EXPECT_FALSE(warningShown());
    EXPECT_EQ(menu().front(), "\u2713 System default (Calendar)");
}
