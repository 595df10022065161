// The widget through its real processes: the widget host's command line
// starts the extension, which reads and writes its defaults in a private
// configuration folder; links open through a private desktop.

#include "Platform/Defaults/UserDefaults.h"
#include "TarveloFeature/MonthModel/MonthGrid.h"
#include "TarveloFeature/MonthModel/MonthOffsetStore.h"
#include "TarveloWidget/TarveloWidgetView.h"
#include "tests/Support/DesktopFixture.h"
#include "tests/Support/EnvironmentGuard.h"

#include <fstream>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sys/wait.h>

using namespace tarvelo;
using nlohmann::json;
namespace fs = std::filesystem;

namespace {

// GLib reads the XDG variables once: one desktop for the whole program.
testsupport::DesktopFixture& desktop() {
    static testsupport::DesktopFixture fixture;
    return fixture;
}

class WidgetEndToEnd : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        desktop();
        static const auto environment = testsupport::pinLocaleAndZone("en_US.UTF-8", "Europe/Berlin");
    }
    // Each test starts with no widget state.
    void SetUp() override { fs::remove_all(config()); }

    // Runs the widget host's command line; returns its exit status.
    static int host(const std::string& arguments) {
        const int status = std::system((TARVELO_WIDGETS " " + arguments + " >/dev/null 2>&1").c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    static int clickAt(const json& item) {
        const auto& frame = item["frame"];
        return host("click --kind TarveloWidget --family small --at " +
                    std::to_string(frame[0].get<double>() + frame[2].get<double>() / 2) + "," +
                    std::to_string(frame[1].get<double>() + frame[3].get<double>() / 2));
    }
    // What the small widget shows now, as its display list.
    static json render(const char* extra = "") {
        const fs::path out = desktop().root() / "picture.json";
        EXPECT_EQ(host(std::string("render --kind TarveloWidget --family small --out ") +
                       (desktop().root() / "picture.png").string() + " --json " + out.string() + " " + extra),
                  0);
        return json::parse(std::ifstream(out));
    }
    // The items of `type` in `picture`.
    static std::vector<json> items(const json& picture, const char* type) {
        std::vector<json> found;
        std::copy_if(picture["items"].begin(), picture["items"].end(), std::back_inserter(found),
                     [type](const json& item) { return item["type"] == type; });
        return found;
    }
    static json forwardButton(const json& picture) {
        for (const json& button : items(picture, "button"))
            if (button["intent"]["parameters"]["delta"] == 1)
                return button;
        return {};
    }
    // Whether `picture` shows the title of the month `offset` months away.
    static bool showsMonth(const json& picture, std::int64_t offset) {
        const auto now = platform::Instant::now();
        const auto texts = items(picture, "text");
        return std::any_of(texts.begin(), texts.end(), [&](const json& text) {
            return text["text"] == MonthGrid::title(MonthGrid::month(offset, now), now);
        });
    }
    static std::int64_t persistedOffset() {
        return platform::UserDefaults(widgetDomain, config()).integer(MonthOffsetStore::offsetKey);
    }

    static fs::path config() { return desktop().root() / "config/tarvelo"; }
    static inline const std::string widgetDomain = "today.tarvelo.Tarvelo.TarveloWidget";
};

} // namespace

TEST_F(WidgetEndToEnd, TheForwardChevronShowsTheNextMonthAcrossRestartsAndPreviewsTouchNoDefaults) {
    EXPECT_TRUE(showsMonth(render("--preview"), 0));
    EXPECT_FALSE(fs::exists(config() / (widgetDomain + ".json")));
    const json before = render();
    ASSERT_TRUE(showsMonth(before, 0));
    // Every command is a fresh host and a fresh extension: quick clicks all land.
    for (int click = 0; click < 3; ++click)
        ASSERT_EQ(clickAt(forwardButton(before)), 0);
    EXPECT_EQ(persistedOffset(), 3);
    EXPECT_TRUE(showsMonth(render(), 3));
}

TEST_F(WidgetEndToEnd, SettingsKeptThroughALinkAreSteppedAndAStepThatCannotBeStoredFails) {
    const fs::path file = config() / (widgetDomain + ".json");
    const fs::path dotfiles = desktop().root() / "dotfiles";
    const json forward = forwardButton(render());
    // Through a link into a dotfiles folder, inside the extension's sandbox.
    fs::create_directories(config());
    fs::create_directories(dotfiles);
    std::ofstream(dotfiles / "widget.json") << R"({"tarvelo-defaults": 1, "values": {}})";
    fs::create_symlink(dotfiles / "widget.json", file);
    EXPECT_EQ(clickAt(forward), 0);
    EXPECT_TRUE(fs::is_symlink(file)) << "the link was replaced";
    EXPECT_EQ(persistedOffset(), 1);
    // A loop of links can be neither read nor replaced: the click says so.
    fs::remove(file);
    fs::create_symlink(file.filename(), file);
    EXPECT_NE(clickAt(forward), 0);
    EXPECT_TRUE(fs::is_symlink(file));
}

TEST_F(WidgetEndToEnd, AClickOnADayOpensItsDateLink) {
    desktop().addApplication("date-catcher.desktop", desktop().program().string() + " datelink %u",
                             "Name=Date catcher\nMimeType=x-scheme-handler/tarvelo;\n");
    desktop().setDefault("tarvelo", "date-catcher.desktop");
    desktop().updateDatabase();
    const auto links = items(render(), "link");
    ASSERT_EQ(links.size(), 42u);
    const auto now = platform::Instant::now();
    const std::string expected =
        TarveloWidgetView::dateLink(MonthGrid::cells(MonthGrid::month(0, now), now)[17].date)
            .absoluteString();
    EXPECT_EQ(links[17]["url"], expected);
    ASSERT_EQ(clickAt(links[17]), 0);
    EXPECT_EQ(desktop().waitForRecord("datelink"), "datelink\n" + expected + "\n");
}

TEST_F(WidgetEndToEnd, UnknownKindsAndFamiliesAreClearErrors) {
    for (const char* wrong : {"render --kind Nope --family small --out /dev/null",
                              "render --kind TarveloWidget --family large --out /dev/null",
                              "click --kind TarveloWidget --family small", "fly"})
        EXPECT_NE(host(wrong), 0) << wrong;
    EXPECT_EQ(host("--help"), 0);
}
