// The two pictures of the widget, and the placeholder in their place when a
// file is missing or broken.
#include "tests/Support/EnvironmentGuard.h"
#include "tests/Support/TemporaryFolder.h"
#include "tests/TarveloFeature/Onboarding/OnboardingFixture.h"

#include <fstream>

using tarvelo::testsupport::EnvironmentGuard;
using tarvelo::testsupport::labelsIn;
using tarvelo::testsupport::OnboardingFixture;
using tarvelo::testsupport::pinLocaleAndZone;
using tarvelo::testsupport::TemporaryFolder;

namespace {

class PreviewViewTest : public OnboardingFixture {};

} // namespace

TEST_F(PreviewViewTest, TheBuiltPicturesHaveTheirSizesAndDirections) {
    for (const auto& asset : {tarvelo::WidgetArt::small, tarvelo::WidgetArt::medium}) {
        for (const std::string suffix : {"", "-rtl"}) {
            const std::string name = std::string(asset.resourceName) + suffix;
            const auto image = tarvelo::WidgetArt::loadImage(name, TARVELO_RESOURCES_FOLDER);
            ASSERT_TRUE(image) << name;
            EXPECT_EQ(image->get_width(), asset.pixelWidth);
            EXPECT_EQ(image->get_height(), asset.pixelHeight);
        }
    }
    // Resource names are file names only.
    EXPECT_FALSE(tarvelo::WidgetArt::loadImage("../tarvelo/tarvelo-small", TARVELO_RESOURCES_FOLDER));
    EXPECT_FALSE(tarvelo::WidgetArt::loadImage("", TARVELO_RESOURCES_FOLDER));

    // Right-to-left locales show the right-to-left pictures.
    TemporaryFolder resources;
    std::filesystem::copy_file(std::filesystem::path(TARVELO_RESOURCES_FOLDER) / "tarvelo-small-rtl.png",
                               resources.path() / "tarvelo-small-rtl.png");
    {
        const EnvironmentGuard hebrew = pinLocaleAndZone("he_IL.UTF-8", "UTC");
        EXPECT_TRUE(tarvelo::WidgetArt::loadPreviewImage("tarvelo-small", resources.path()));
    }
    const EnvironmentGuard english = pinLocaleAndZone("en_US.UTF-8", "UTC");
    EXPECT_FALSE(tarvelo::WidgetArt::loadPreviewImage("tarvelo-small", resources.path()));
}

TEST_F(PreviewViewTest, ShowsBothPicturesSideBySideInTheirFramesEachReadAsOneImage) {
    auto& shown = openWindow();
    auto& small = shown.smallPreview();
    auto& medium = shown.mediumPreview();
    EXPECT_FALSE(small.frame().showsPlaceholder());
    EXPECT_FALSE(medium.frame().showsPlaceholder());
    EXPECT_EQ(small.frame().get_height(), medium.frame().get_height());
    EXPECT_GT(medium.frame().get_width(), 2 * small.frame().get_width());
    EXPECT_EQ(labelsIn(small), std::vector<std::string>{"Small"});
    EXPECT_EQ(labelsIn(medium), std::vector<std::string>{"Medium"});

    graphene_point_t smallOrigin{};
    graphene_point_t mediumOrigin{};
    ASSERT_TRUE(gtk_widget_compute_point(GTK_WIDGET(small.gobj()), GTK_WIDGET(shown.gobj()), &smallOrigin,
                                         &smallOrigin));
    ASSERT_TRUE(gtk_widget_compute_point(GTK_WIDGET(medium.gobj()), GTK_WIDGET(shown.gobj()), &mediumOrigin,
                                         &mediumOrigin));
    EXPECT_EQ(smallOrigin.y, mediumOrigin.y);
    EXPECT_GT(mediumOrigin.x - smallOrigin.x, small.frame().get_width());
    // Each is read as one image, with its caption.
    using namespace tarvelo::testsupport;
    EXPECT_TRUE(hasRole(medium, GTK_ACCESSIBLE_ROLE_IMG));
    EXPECT_TRUE(hasLabel(medium, "Medium size preview of the Tarvelo widget"));
    EXPECT_TRUE(isHidden(medium.caption()));
    EXPECT_TRUE(isHidden(medium.frame()));
    EXPECT_TRUE(hasLabel(small, "Small size preview of the Tarvelo widget"));
}

TEST_F(PreviewViewTest, AMissingOrBrokenPictureShowsThePlaceholderInTheSameFrame) {
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
