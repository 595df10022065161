// A placed widget window, fed by the real widget extension, as a screen
// reader and a keyboard-only user meet it: what its accessible children
// say, and stepping the month and opening a day without a mouse.

#include "Platform/Painter/Painter.h"
#include "Platform/WidgetDesktop/WidgetWindow.h"
#include "Platform/WidgetHost/WidgetHost.h"
#include "tests/Support/GtkTestSupport.h"

#include <gtest/gtest.h>
#include <gtkmm.h>
#include <map>
#include <set>

using namespace platform;
using Role = WidgetAccessibility::Role;
using tarvelo::testsupport::hasLabel;
using tarvelo::testsupport::hasRole;

namespace {

// The widget window with the host behind it, wired as the desktop host
// wires them: a click (or Enter) goes through `WidgetHost::click`, and a
// step brings the new picture. Links open into `opened`.
class PlacedWidget : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("XDG_DATA_DIRS", TARVELO_BUILD_SHARE, 1);
        tarvelo::testsupport::initializeGtk();
        WidgetHost::Options options;
        options.openURL = [this](const URL& url) {
            opened.push_back(url.absoluteString());
            return true;
        };
        host = std::make_unique<WidgetHost>(options);
        window = std::make_unique<WidgetWindow>(
            WidgetPlacement{"one", "TarveloWidget", WidgetFamily::systemSmall, {}, {}}, painter,
            Appearance::light);
        window->signalClicked().connect([this](Point point) {
            std::string problem;
            if (host->click("TarveloWidget", *window->picture(), point, problem) ==
                WidgetHost::ClickResult::ranIntent)
                showPicture();
        });
        showPicture();
        ASSERT_TRUE(tarvelo::testsupport::eventually([&] { return window->get_mapped(); }));
    }
    void TearDown() override { window.reset(); }

    void showPicture() {
        std::string problem;
        auto picture = host->picture("TarveloWidget", WidgetFamily::systemSmall, false, problem);
        ASSERT_TRUE(picture) << problem;
        window->show(*picture);
    }
    const std::vector<WidgetAccessibility::Element>& elements() const {
        return window->accessibility().elements();
    }
    std::optional<std::size_t> press(guint keyval) {
        window->accessibility().pressKey(keyval, Gdk::ModifierType(0));
        return window->accessibility().focused();
    }

    Painter painter;
    std::unique_ptr<WidgetHost> host;
    std::unique_ptr<WidgetWindow> window;
    std::vector<std::string> opened;
};

} // namespace

TEST_F(PlacedWidget, ReadsAsItsMonthStepButtonsAndDaysAndWorksByKeyboard) {
    // Reading order: the title row, the weekdays, six weeks, the footer.
    const auto& read = elements();
    ASSERT_EQ(read.size(), 3u + 7u + 42u + 1u);
    EXPECT_EQ(read[0].role, Role::button);
    EXPECT_EQ(read[0].label, "Previous month");
    EXPECT_EQ(read[1].role, Role::text);
    EXPECT_FALSE(read[1].label.empty()); // the month's title
    EXPECT_EQ(read[2].role, Role::button);
    EXPECT_EQ(read[2].label, "Next month");
    std::set<std::string> days;
    for (std::size_t index = 3; index < 10; ++index)
        EXPECT_EQ(read[index].role, Role::text) << index;
    for (std::size_t index = 10; index < 52; ++index) {
        EXPECT_EQ(read[index].role, Role::link) << index;
        EXPECT_EQ(read[index].line, 2 + (index - 10) / 7) << index;
        days.insert(read[index].label);
    }
    EXPECT_EQ(days.size(), 42u) << "every day has its own name";
    EXPECT_EQ(read.back().role, Role::text);
    // What GTK hands assistive technologies is exactly that.
    const std::map<Role, GtkAccessibleRole> gtkRoles{{Role::text, GTK_ACCESSIBLE_ROLE_LABEL},
                                                     {Role::button, GTK_ACCESSIBLE_ROLE_BUTTON},
                                                     {Role::link, GTK_ACCESSIBLE_ROLE_LINK}};
    for (std::size_t index = 0; index < read.size(); ++index) {
        Gtk::Widget& child = *window->accessibility().child(index);
        EXPECT_TRUE(hasRole(child, gtkRoles.at(read[index].role))) << index;
        EXPECT_TRUE(hasLabel(child, read[index].label.c_str())) << index;
        EXPECT_EQ(child.get_focusable(), read[index].role != Role::text) << index;
    }

    // The keyboard steps the month and opens a day. Whether or not GTK put its focus on the first button when
    // the window came up, the first key shows the focus there.
    EXPECT_EQ(press(GDK_KEY_Tab), 0u);
    EXPECT_EQ(press(GDK_KEY_Right), 2u); // past the title, to "Next month"
    const std::string title = elements()[1].label;
    EXPECT_EQ(press(GDK_KEY_Return), 2u) << "focus stays on the button through the step";
    EXPECT_NE(elements()[1].label, title);
    // Down: the day of the first week nearest below; then by day and by week.
    EXPECT_EQ(press(GDK_KEY_Down), 15u);
    EXPECT_EQ(press(GDK_KEY_Left), 14u);
    EXPECT_EQ(press(GDK_KEY_Down), 21u);
    EXPECT_EQ(press(GDK_KEY_Up), 14u);
    EXPECT_EQ(press(GDK_KEY_ISO_Left_Tab), 13u);
    press(GDK_KEY_Return);
    const auto* link = WidgetHost::hitTest(window->picture()->displayList,
                                           {elements()[13].frame.midX(), elements()[13].frame.midY()});
    ASSERT_TRUE(link && link->isLink());
    EXPECT_EQ(opened, std::vector<std::string>{std::get<URL>(link->action).absoluteString()});
    EXPECT_EQ(link->accessibility.label, elements()[13].label);
}
