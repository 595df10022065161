// The gallery window in this process, fed by the real widget extension:
// what it lists, what its search keeps, and what "Add" asks for.

#include "Platform/Painter/Painter.h"
#include "Platform/WidgetDesktop/GalleryWindow.h"
#include "Platform/WidgetHost/WidgetHost.h"
#include "tests/Support/Eventually.h"
#include "tests/Support/GtkTestSupport.h"

#include <gtest/gtest.h>
#include <gtkmm.h>

using platform::GalleryWindow;
using platform::WidgetFamily;
using platform::WidgetHost;

namespace {

class GalleryWindowTest : public ::testing::Test {
protected:
    void SetUp() override { tarvelo::testsupport::initializeGtk(); }
    platform::Painter painter;
};

} // namespace

TEST_F(GalleryWindowTest, ListsTarveloWithItsDescriptionAndBothSizesPreviewed) {
    ::setenv("XDG_DATA_DIRS", TARVELO_BUILD_SHARE, 1);
    WidgetHost host(WidgetHost::Options{});
    GalleryWindow gallery(painter, platform::Appearance::light);
    gallery.setWidgets(host.gallery());
    for (const auto family : {WidgetFamily::systemSmall, WidgetFamily::systemMedium}) {
        std::string problem;
        auto picture = host.picture("TarveloWidget", family, true, problem);
        ASSERT_TRUE(picture) << problem;
        gallery.showPreview("TarveloWidget", family, *picture);
    }
    gallery.present();
    ASSERT_TRUE(tarvelo::testsupport::eventually([&] { return gallery.get_mapped(); }));

    const auto rows = gallery.rows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].displayName, "Tarvelo");
    EXPECT_FALSE(rows[0].description.empty());
    EXPECT_EQ(rows[0].families,
              (std::vector<WidgetFamily>{WidgetFamily::systemSmall, WidgetFamily::systemMedium}));
    EXPECT_EQ(rows[0].previewsPainted, 2);
    EXPECT_TRUE(rows[0].visible);
}

TEST_F(GalleryWindowTest, AddAsksForThatKindAndSizeAndSearchKeepsMatchesWhateverTheCase) {
    GalleryWindow gallery(painter, platform::Appearance::dark);
    gallery.setWidgets({{"TarveloWidget",
                         "Tarvelo",
                         "A month calendar.",
                         {WidgetFamily::systemSmall, WidgetFamily::systemMedium},
                         "x"},
                        {"Clock", "Clock", "Shows the time.", {WidgetFamily::systemMedium}, "y"}});
    std::vector<std::pair<std::string, WidgetFamily>> asked;
    gallery.signalAdd().connect(
        [&](std::string kind, WidgetFamily family) { asked.emplace_back(kind, family); });
    ASSERT_TRUE(gallery.activateAdd("TarveloWidget", WidgetFamily::systemMedium));
    EXPECT_FALSE(gallery.activateAdd("Sundial", WidgetFamily::systemSmall));
    EXPECT_EQ(asked, (std::vector<std::pair<std::string, WidgetFamily>>{
                         {"TarveloWidget", WidgetFamily::systemMedium}}));

    const auto visible = [&] {
        std::vector<std::string> kinds;
        for (const auto& row : gallery.rows())
            if (row.visible)
                kinds.push_back(row.kind);
        return kinds;
    };
    EXPECT_EQ(visible(), (std::vector<std::string>{"TarveloWidget", "Clock"}));
    for (const auto& [search, kept] : std::vector<std::pair<const char*, std::vector<std::string>>>{
             {"tARVELO", {"TarveloWidget"}}, {"time", {"Clock"}}, {"nothing like it", {}}}) {
        // The entry reports a search after a short pause; say it at once.
        gallery.searchEntry().set_text(search);
        g_signal_emit_by_name(gallery.searchEntry().gobj(), "search-changed");
        EXPECT_EQ(visible(), kept) << search;
    }
}
