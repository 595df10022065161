#include "Platform/WidgetHost/PlacementStore.h"
#include "tests/Support/EnvironmentGuard.h"
#include "tests/Support/TemporaryFolder.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

using platform::PlacementStore;
using platform::WidgetFamily;
using platform::WidgetPlacement;
using tarvelo::testsupport::EnvironmentGuard;
using tarvelo::testsupport::TemporaryFolder;

namespace {

int filesAside(const std::filesystem::path& folder) {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        count += entry.path().filename().string().starts_with("widgets.json.unreadable-") ? 1 : 0;
    return count;
}

} // namespace

TEST(PlacementStore, SkipsUnusableEntriesAndKeepsAsideFilesNotOurs) {
    TemporaryFolder folder;
    const auto path = folder.path() / "widgets.json";
    std::ofstream(path) << R"({"tarvelo-widgets": 1, "widgets": [
        {"id": "1", "kind": "TarveloWidget", "family": "small", "x": 10, "y": 20},
        {"id": "2", "kind": "TarveloWidget", "family": "huge"},
        {"id": "1", "kind": "TarveloWidget", "family": "medium"},
        {"kind": "TarveloWidget", "family": "small"},
        "nonsense",
        {"id": "3", "kind": "TarveloWidget", "family": "medium", "x": 1e12, "y": 5},
        {"id": "4", "kind": "TarveloWidget", "family": "medium", "x": 5}
    ]})";
    std::string problem;
    EXPECT_EQ(PlacementStore(path).load(problem),
              // A position we cannot believe is forgotten, not the widget.
              (std::vector<WidgetPlacement>{{"1", "TarveloWidget", WidgetFamily::systemSmall, 10, 20},
                                            {"3", "TarveloWidget", WidgetFamily::systemMedium, {}, {}},
                                            {"4", "TarveloWidget", WidgetFamily::systemMedium, {}, {}}}));
    EXPECT_NE(problem, "");
    EXPECT_EQ(filesAside(folder.path()), 0);

    // Files kept aside within the same second never take each other's place,
    // and saving afterwards leaves them alone.
    const std::vector<std::string> notOurs{"{\"tarvelo-widgets\": 1, \"widgets\": [",
                                           "{\"widgets\": []}",
                                           "{\"tarvelo-widgets\": 1}",
                                           "{\"tarvelo-widgets\": 1, \"widgets\": {}}",
                                           "{\"tarvelo-widgets\": 2, \"widgets\": []}",
                                           std::string("\0\xff", 2)};
    int kept = 0;
    for (const auto& text : notOurs) {
        SCOPED_TRACE(text);
        std::ofstream(path) << text;
        PlacementStore store(path);
        problem.clear();
        EXPECT_TRUE(store.load(problem).empty());
        EXPECT_NE(problem, "");
        EXPECT_EQ(filesAside(folder.path()), ++kept);
        ASSERT_TRUE(store.save({{"1", "K", WidgetFamily::systemSmall, 0, 0}}, problem));
        EXPECT_EQ(filesAside(folder.path()), kept);
        EXPECT_EQ(store.load(problem).size(), 1u);
    }
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
