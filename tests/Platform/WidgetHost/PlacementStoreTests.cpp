#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include "EnvironmentGuard.h"
#include "PlacementStore.h"
#include "TemporaryFolder.h"

using platform::PlacementStore;
using platform::WidgetFamily;
using platform::WidgetPlacement;
using tarvelo::testsupport::EnvironmentGuard;
using tarvelo::testsupport::TemporaryFolder;

namespace {

void writeFile(const std::filesystem::path& path, const std::string& text) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path) << text;
}

int filesAside(const std::filesystem::path& folder) {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        count += entry.path().filename().string().starts_with("widgets.json.unreadable-") ? 1 : 0;
    return count;
}

} // namespace

TEST(PlacementStore, CorruptFileIsKeptAsideAndNotOverwritten) {
    const std::vector<std::string> texts{"{\"tarvelo-widgets\": 1, \"widgets\": [", "[]", "{\"widgets\": []}",
                                         "{\"tarvelo-widgets\": 2, \"widgets\": []}", std::string("\0\xff", 2)};
    // One folder for all: files kept aside within the same second never
    // take each other's place.
    TemporaryFolder folder;
    const auto path = folder.path() / "widgets.json";
    int kept = 0;
    for (const auto& text : texts) {
        writeFile(path, text);
        std::string problem;
        PlacementStore store(path);
        EXPECT_TRUE(store.load(problem).empty()) << text;
        EXPECT_NE(problem, "") << text;
        EXPECT_EQ(filesAside(folder.path()), ++kept) << text;
        // Saving afterwards leaves the kept file alone.
        ASSERT_TRUE(store.save({{"1", "K", WidgetFamily::systemSmall, 0, 0}}, problem));
        EXPECT_EQ(filesAside(folder.path()), kept);
        EXPECT_EQ(store.load(problem).size(), 1u);
    }
}

TEST(PlacementStore, SkipsUnusableEntriesButKeepsTheRest) {
    TemporaryFolder folder;
    const auto path = folder.path() / "widgets.json";
    writeFile(path, R"({"tarvelo-widgets": 1, "widgets": [
        {"id": "1", "kind": "TarveloWidget", "family": "small", "x": 10, "y": 20},
        {"id": "2", "kind": "TarveloWidget", "family": "huge"},
        {"id": "1", "kind": "TarveloWidget", "family": "medium"},
        {"kind": "TarveloWidget", "family": "small"},
        "nonsense",
        {"id": "3", "kind": "TarveloWidget", "family": "medium", "x": 1e12, "y": 5},
        {"id": "4", "kind": "TarveloWidget", "family": "medium", "x": 5}
    ]})");
    std::string problem;
    const auto placements = PlacementStore(path).load(problem);
    ASSERT_EQ(placements.size(), 3u);
    EXPECT_EQ(placements[0], (WidgetPlacement{"1", "TarveloWidget", WidgetFamily::systemSmall, 10, 20}));
    // A position we cannot believe is forgotten, not the widget.
    EXPECT_EQ(placements[1], (WidgetPlacement{"3", "TarveloWidget", WidgetFamily::systemMedium, {}, {}}));
    EXPECT_EQ(placements[2], (WidgetPlacement{"4", "TarveloWidget", WidgetFamily::systemMedium, {}, {}}));
    EXPECT_NE(problem, "");
    EXPECT_EQ(filesAside(folder.path()), 0);
}

// The XDG rule (XdgFolders), seen through the state folder: a relative or
// empty variable is ignored; without an absolute HOME the password
// database's home serves.
TEST(PlacementStore, DefaultPathFollowsTheStateFolder) {
    const std::filesystem::path account = ::getpwuid(::getuid())->pw_dir;
    const struct {
        const char* stateHome;
        const char* home;
        std::filesystem::path folder;
    } cases[]{
        {"/somewhere/state", "/home/someone", "/somewhere/state"},
        {"relative/state", "/home/someone", "/home/someone/.local/state"},
        {"", "/home/someone", "/home/someone/.local/state"},
        {nullptr, "/home/someone", "/home/someone/.local/state"},
        {nullptr, "relative/home", account / ".local/state"},
        {nullptr, nullptr, account / ".local/state"},
    };
    EnvironmentGuard environment{{"XDG_STATE_HOME", nullptr}, {"HOME", nullptr}};
    for (const auto& each : cases) {
        environment.set("XDG_STATE_HOME", each.stateHome);
        environment.set("HOME", each.home);
        EXPECT_EQ(PlacementStore::defaultPath(), each.folder / "tarvelo/widgets.json") << each.folder;
    }
}
