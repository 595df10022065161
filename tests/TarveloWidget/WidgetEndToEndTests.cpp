// The widget through its real processes: the widget host's command line
// starts the extension, which reads and writes its defaults in a private
// configuration folder; links open through a private desktop.

#include "Platform/Defaults/UserDefaults.h"
#include "TarveloFeature/MonthModel/MonthGrid.h"
#include "TarveloFeature/MonthModel/MonthOffsetStore.h"
#include "TarveloWidget/TarveloWidgetView.h"
#include "tests/Support/DesktopFixture.h"

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
        ::setenv("LANG", "en_US.UTF-8", 1);
        ::unsetenv("LC_ALL");
        ::unsetenv("LC_TIME");
        ::setenv("TZ", "Europe/Berlin", 1);
    }
    void SetUp() override {
        // Each test starts with no widget state.
        fs::remove_all(desktop().root() / "config/tarvelo");
    }

    // Runs the widget host's command line; returns its exit status.
    static int host(const std::string& arguments) {
        const std::string command = std::string(TARVELO_WIDGETS) + " " + arguments + " >/dev/null 2>&1";
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    // What the small widget shows now, as its display list.
    static json render(const char* extra = "") {
        const fs::path out = desktop().root() / "picture.json";
        EXPECT_EQ(host(std::string("render --kind TarveloWidget --family small --out ") +
                       (desktop().root() / "picture.png").string() + " --json " + out.string() + " " + extra),
                  0);
        return json::parse(std::ifstream(out));
    }
    static std::string center(const json& item) {
        const auto& frame = item["frame"];
        return std::to_string(frame[0].get<double>() + frame[2].get<double>() / 2) + "," +
               std::to_string(frame[1].get<double>() + frame[3].get<double>() / 2);
    }
    static const json& forwardButton(const json& picture) {
        for (const auto& item : picture["items"])
            if (item["type"] == "button" && item["intent"]["parameters"]["delta"] == 1)
                return item;
        throw std::runtime_error("no forward button");
    }
    static bool shows(const json& picture, const std::string& text) {
        for (const auto& item : picture["items"])
            if (item["type"] == "text" && item["text"] == text)
                return true;
        return false;
    }
    static std::int64_t persistedOffset() {
        platform::UserDefaults defaults("today.tarvelo.Tarvelo.TarveloWidget",
                                        desktop().root() / "config/tarvelo");
        return defaults.integer(MonthOffsetStore::offsetKey);
    }
    static std::string title(std::int64_t offset) {
        const auto now = platform::Instant::now();
        return MonthGrid::title(MonthGrid::month(offset, now), now);
    }
};

} // namespace

TEST_F(WidgetEndToEnd, TheForwardChevronShowsTheNextMonthAcrossRestartsAndPreviewsTouchNoDefaults) {
    EXPECT_TRUE(shows(render("--preview"), title(0)));
    EXPECT_FALSE(fs::exists(desktop().root() / "config/tarvelo/today.tarvelo.Tarvelo.TarveloWidget.json"));
    const json before = render();
    ASSERT_TRUE(shows(before, title(0)));
    // Every command is a fresh host and a fresh extension: quick clicks all land.
    for (int click = 0; click < 3; ++click)
        ASSERT_EQ(host("click --kind TarveloWidget --family small --at " + center(forwardButton(before))), 0);
    EXPECT_EQ(persistedOffset(), 3);
    EXPECT_TRUE(shows(render(), title(3)));
}

TEST_F(WidgetEndToEnd, SettingsKeptThroughALinkAreSteppedAndAStepThatCannotBeStoredFails) {
    const fs::path config = desktop().root() / "config/tarvelo";
    const fs::path file = config / "today.tarvelo.Tarvelo.TarveloWidget.json";
    const fs::path dotfiles = desktop().root() / "dotfiles";
    const std::string at = center(forwardButton(render()));
    // Through a link into a dotfiles folder, inside the extension's sandbox.
    fs::create_directories(config);
    fs::create_directories(dotfiles);
    std::ofstream(dotfiles / "widget.json") << R"({"tarvelo-defaults": 1, "values": {}})";
    fs::create_symlink(dotfiles / "widget.json", file);
    EXPECT_EQ(host("click --kind TarveloWidget --family small --at " + at), 0);
    EXPECT_TRUE(fs::is_symlink(file)) << "the link was replaced";
    EXPECT_EQ(persistedOffset(), 1);
    // A loop of links can be neither read nor replaced: the click says so.
    fs::remove(file);
    fs::create_symlink(file.filename(), file);
    EXPECT_NE(host("click --kind TarveloWidget --family small --at " + at), 0);
    EXPECT_TRUE(fs::is_symlink(file));
    fs::remove_all(dotfiles);
}

TEST_F(WidgetEndToEnd, AClickOnADayOpensItsDateLink) {
    desktop().addApplication("date-catcher.desktop", desktop().program().string() + " datelink %u",
                             "Name=Date catcher\nMimeType=x-scheme-handler/tarvelo;\n");
    desktop().setDefault("tarvelo", "date-catcher.desktop");
    desktop().updateDatabase();

    const json picture = render();
    std::vector<json> links;
    for (const auto& item : picture["items"])
        if (item["type"] == "link")
            links.push_back(item);
    ASSERT_EQ(links.size(), 42u);
    const auto now = platform::Instant::now();
    const auto cells = MonthGrid::cells(MonthGrid::month(0, now), now);
    const std::size_t cell = 17;
    const std::string expected = TarveloWidgetView::dateLink(cells[cell].date).absoluteString();
    EXPECT_EQ(links[cell]["url"], expected);

    ASSERT_EQ(host("click --kind TarveloWidget --family small --at " + center(links[cell])), 0);
    const auto record = desktop().waitForRecord("datelink");
    ASSERT_TRUE(record);
    EXPECT_EQ(*record, "datelink\n" + expected + "\n");
}

TEST_F(WidgetEndToEnd, UnknownKindsAndFamiliesAreClearErrors) {
    EXPECT_NE(host("render --kind Nope --family small --out /dev/null"), 0);
    EXPECT_NE(host("render --kind TarveloWidget --family large --out /dev/null"), 0);
    EXPECT_NE(host("click --kind TarveloWidget --family small"), 0);
    EXPECT_NE(host("fly"), 0);
    EXPECT_EQ(host("--help"), 0);
}
