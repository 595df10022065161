// The desktop half's windows in this process, fed by the real widget
// extension: the gallery (what it lists, what its search keeps, what "Add"
// asks for), and a placed widget as a screen reader and a keyboard-only user
// meet it (what its accessible children say, stepping the month and opening
// a day without a mouse).

#include "Platform/Painter/Painter.h"
#include "Platform/WidgetDesktop/GalleryWindow.h"
#include "Platform/WidgetDesktop/WidgetWindow.h"
#include "Platform/WidgetHost/WidgetHost.h"
#include "tests/Support/GtkTestSupport.h"

#include <gtest/gtest.h>
#include <gtkmm.h>
#include <map>
#include <set>

using namespace platform;
using Role = WidgetAccessibility::Role;
using namespace tarvelo::testsupport;

namespace {

// The real host; links it is handed open into `opened`.
class Windows : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("XDG_DATA_DIRS", TARVELO_BUILD_SHARE, 1);
        initializeGtk();
    }
    WidgetHost::Picture picture(WidgetFamily family, bool preview = false) {
        std::string problem;
        auto result = host.picture("TarveloWidget", family, preview, problem);
        EXPECT_TRUE(result) << problem;
        return result.value_or(WidgetHost::Picture{});
    }

    Painter painter;
    std::vector<std::string> opened;
    WidgetHost host{[this] {
        WidgetHost::Options options;
        options.openURL = [this](const URL& url) {
            opened.push_back(url.absoluteString());
            return true;
        };
        return options;
    }()};
};

} // namespace

TEST_F(Windows, TheGalleryListsWidgetsWithPreviewsAddsTheOneAskedForAndSearchesWhateverTheCase) {
    GalleryWindow gallery(painter, Appearance::light);
    auto widgets = host.gallery();
    widgets.push_back({"Clock", "Clock", "Shows the time.", {WidgetFamily::systemMedium}, "y"});
    gallery.setWidgets(widgets);
    for (const auto family : {WidgetFamily::systemSmall, WidgetFamily::systemMedium})
        gallery.showPreview("TarveloWidget", family, picture(family, true));
    gallery.present();
    ASSERT_TRUE(eventually([&] { return gallery.get_mapped(); }));
    const auto rows = gallery.rows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].displayName, "Tarvelo");
    EXPECT_FALSE(rows[0].description.empty());
    EXPECT_EQ(rows[0].families,
              (std::vector<WidgetFamily>{WidgetFamily::systemSmall, WidgetFamily::systemMedium}));
    EXPECT_EQ(rows[0].previewsPainted, 2);

    std::vector<std::pair<std::string, WidgetFamily>> asked;
    gallery.signalAdd().connect(
        [&](std::string kind, WidgetFamily family) { asked.emplace_back(kind, family); });
    ASSERT_TRUE(gallery.activateAdd("TarveloWidget", WidgetFamily::systemMedium));
    EXPECT_FALSE(gallery.activateAdd("Sundial", WidgetFamily::systemSmall));
    EXPECT_EQ(asked, (std::vector<std::pair<std::string, WidgetFamily>>{
                         {"TarveloWidget", WidgetFamily::systemMedium}}));

    for (const auto& [search, kept] :
         std::vector<std::pair<const char*, std::vector<std::string>>>{{"", {"TarveloWidget", "Clock"}},
                                                                       {"tARVELO", {"TarveloWidget"}},
                                                                       {"time", {"Clock"}},
                                                                       {"nothing like it", {}}}) {
        // The entry reports a search after a short pause; say it at once.
        gallery.searchEntry().set_text(search);
        g_signal_emit_by_name(gallery.searchEntry().gobj(), "search-changed");
        std::vector<std::string> visible;
        for (const auto& row : gallery.rows())
            if (row.visible)
                visible.push_back(row.kind);
        EXPECT_EQ(visible, kept) << search;
    }
}

// The widget window wired as the desktop host wires it: a click (or Enter)
// goes through `WidgetHost::click`, and a step brings the new picture.
TEST_F(Windows, APlacedWidgetReadsAsItsMonthStepButtonsAndDaysAndWorksByKeyboard) {
    WidgetWindow window(WidgetPlacement{"one", "TarveloWidget", WidgetFamily::systemSmall, {}, {}}, painter,
                        Appearance::light);
    window.signalClicked().connect([&](Point point) {
        std::string problem;
        if (host.click("TarveloWidget", *window.picture(), point, problem) ==
            WidgetHost::ClickResult::ranIntent)
            window.show(picture(WidgetFamily::systemSmall));
    });
    window.show(picture(WidgetFamily::systemSmall));
    ASSERT_TRUE(eventually([&] { return window.get_mapped(); }));
    auto& accessibility = window.accessibility();
    const auto press = [&](guint keyval) {
        accessibility.pressKey(keyval, Gdk::ModifierType(0));
        return accessibility.focused();
    };

    // Reading order: the title row, the weekdays, six weeks, the footer.
    const auto& read = accessibility.elements();
    ASSERT_EQ(read.size(), 3u + 7u + 42u + 1u);
    // What GTK hands assistive technologies is exactly that.
    const std::map<Role, GtkAccessibleRole> gtkRoles{{Role::text, GTK_ACCESSIBLE_ROLE_LABEL},
                                                     {Role::button, GTK_ACCESSIBLE_ROLE_BUTTON},
                                                     {Role::link, GTK_ACCESSIBLE_ROLE_LINK}};
    std::set<std::string> days;
    for (std::size_t index = 0; index < read.size(); ++index) {
        const bool day = index >= 10 && index < 52;
        EXPECT_EQ(read[index].role, index == 0 || index == 2 ? Role::button
                                    : day                    ? Role::link
                                                             : Role::text)
            << index;
        if (day) {
            EXPECT_EQ(read[index].line, 2 + (index - 10) / 7) << index;
            days.insert(read[index].label);
        }
        EXPECT_FALSE(read[index].label.empty()) << index;
        Gtk::Widget& child = *accessibility.child(index);
        EXPECT_TRUE(hasRole(child, gtkRoles.at(read[index].role))) << index;
        EXPECT_TRUE(hasLabel(child, read[index].label.c_str())) << index;
        EXPECT_EQ(child.get_focusable(), read[index].role != Role::text) << index;
    }
    EXPECT_EQ(days.size(), 42u) << "every day has its own name";

    // The keyboard steps the month and opens a day. Whether or not GTK put its focus on the first button when
    // the window came up, the first key shows the focus there.
    EXPECT_EQ(press(GDK_KEY_Tab), 0u);
    EXPECT_EQ(press(GDK_KEY_Right), 2u); // past the title, to "Next month"
    const std::string title = read[1].label;
    EXPECT_EQ(press(GDK_KEY_Return), 2u) << "focus stays on the button through the step";
    EXPECT_NE(accessibility.elements()[1].label, title);
    // Down: the day of the first week nearest below; then by day and by week.
    EXPECT_EQ(press(GDK_KEY_Down), 15u);
    EXPECT_EQ(press(GDK_KEY_Left), 14u);
    EXPECT_EQ(press(GDK_KEY_Down), 21u);
    EXPECT_EQ(press(GDK_KEY_Up), 14u);
    EXPECT_EQ(press(GDK_KEY_ISO_Left_Tab), 13u);
    press(GDK_KEY_Return);
    const auto& day = accessibility.elements()[13];
    const auto* link =
        WidgetHost::hitTest(window.picture()->displayList, {day.frame.midX(), day.frame.midY()});
    ASSERT_TRUE(link && link->isLink());
    EXPECT_EQ(opened, std::vector<std::string>{std::get<URL>(link->action).absoluteString()});
    EXPECT_EQ(link->accessibility.label, day.label);
}
