// Both files of ours a program reads at start, the widget extension's
// settings and the widget host's placements, against what a hostile or
// merely unlucky machine puts there. A file that is not ours is kept aside
// byte for byte; a file we cannot read is never replaced (its values stay in
// memory); a symbolic link is followed and stays a link.

#include "Platform/Defaults/UserDefaults.h"
#include "Platform/WidgetHost/PlacementStore.h"
#include "tests/Support/Files.h"
#include "tests/Support/TemporaryFolder.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;
using platform::PlacementStore;
using platform::UserDefaults;
using platform::WidgetFamily;
using namespace tarvelo::testsupport;

namespace {

// One of our readers: the file it reads in a folder, a file of its own
// holding one item, and how it reads and then writes one item more.
struct Reader {
    const char* name;
    const char* fileName;
    std::string ours;
    struct Outcome {
        std::size_t itemsRead = 0;
        bool written = false;
        std::size_t itemsInMemory = 0;
    };
    std::function<Outcome(const fs::path& folder)> readThenWrite;
    std::function<std::size_t(const fs::path& folder)> itemsOnFile;
};

const std::vector<Reader>& readers() {
    static const std::vector<Reader> all{
        {"settings", "domain.json", R"({"tarvelo-defaults": 1, "values": {"a": {"integer": 5}}})",
         [](const fs::path& folder) {
             UserDefaults defaults("domain", folder);
             Reader::Outcome outcome;
             outcome.itemsRead = defaults.integer("a") == 5 ? 1 : 0;
             defaults.setInteger(1, "b");
             defaults.setInteger(1, "b");
             outcome.written = defaults.synchronize();
             outcome.itemsInMemory = outcome.itemsRead + (defaults.integer("b") == 1 ? 1 : 0);
             return outcome;
         },
         [](const fs::path& folder) {
             UserDefaults defaults("domain", folder);
             return std::size_t(defaults.integer("a") == 5) + std::size_t(defaults.integer("b") == 1);
         }},
        {"placements", "widgets.json",
         R"({"tarvelo-widgets": 1, "widgets": [{"id": "1", "kind": "K", "family": "small"}]})",
         [](const fs::path& folder) {
             PlacementStore store(folder / "widgets.json");
             std::string problem;
             auto placements = store.load(problem);
             Reader::Outcome outcome{placements.size(), false, 0};
             placements.push_back({"2", "K", WidgetFamily::systemMedium, {}, {}});
             outcome.written = store.save(placements, problem);
             outcome.itemsInMemory = placements.size();
             return outcome;
         },
         [](const fs::path& folder) {
             std::string problem;
             return PlacementStore(folder / "widgets.json").load(problem).size();
         }},
    };
    return all;
}

enum class Expect { keptAside, leftAsItIs, followed };

struct HostileFile {
    const char* name;
    // Puts the hostile file at `file`, given a file of the reader's own.
    std::function<void(const fs::path& file, const std::string& ours)> make;
    Expect expect;
    // Root may read any file, whatever its mode.
    bool rootReadsIt = false;
};

} // namespace

TEST(HostileFiles, AreKeptAsideLeftAsTheyAreOrFollowedNeverLostOrCrashing) {
    const std::vector<HostileFile> files{
        {"nested 65 levels deep",
         [](const fs::path& file, const std::string& ours) {
             writeFile(file, ours.substr(0, ours.size() - 1) + ", \"x\": " + std::string(64, '[') +
                                 std::string(64, ']') + "}");
         },
         Expect::keptAside},
        {"larger than 8 MiB",
         [](const fs::path& file, const std::string& ours) {
             writeFile(file, ours + std::string(8 * 1024 * 1024, ' '));
         },
         Expect::keptAside},
        {"not readable by us (mode 000)",
         [](const fs::path& file, const std::string& ours) {
             writeFile(file, ours);
             fs::permissions(file, fs::perms::none);
         },
         Expect::leftAsItIs, true},
        {"a loop of links",
         [](const fs::path& file, const std::string&) {
             fs::create_symlink(file.filename().string() + ".loop", file);
             fs::create_symlink(file.filename(), file.string() + ".loop");
         },
         Expect::leftAsItIs},
        {"a link into a dotfiles folder",
         [](const fs::path& file, const std::string& ours) {
             writeFile(file.parent_path() / "dotfiles/tarvelo/settings", ours);
             fs::create_symlink("dotfiles/tarvelo/settings", file);
         },
         Expect::followed},
    };
    for (const auto& reader : readers()) {
        for (const auto& hostile : files) {
            SCOPED_TRACE(std::string(reader.name) + ", " + hostile.name);
            if (hostile.rootReadsIt && ::geteuid() == 0)
                continue; // the loop of links fails for root too
            TemporaryFolder folder;
            const fs::path file = folder.path() / reader.fileName;
            hostile.make(file, reader.ours);
            const auto before = fs::symlink_status(file);
            const std::string bytes = fs::is_symlink(before) ? std::string() : readFile(file);

            ::testing::internal::CaptureStderr();
            const auto outcome = reader.readThenWrite(folder.path());
            const std::string told = ::testing::internal::GetCapturedStderr();

            EXPECT_EQ(outcome.itemsInMemory, outcome.itemsRead + 1);
            switch (hostile.expect) {
            case Expect::keptAside: {
                EXPECT_EQ(outcome.itemsRead, 0u);
                EXPECT_TRUE(outcome.written);
                const auto aside = keptAside(folder.path());
                ASSERT_EQ(aside.size(), 1u);
                EXPECT_TRUE(readFile(aside.front()) == bytes) << "the file kept aside differs";
                EXPECT_EQ(reader.itemsOnFile(folder.path()), 1u);
                break;
            }
            case Expect::leftAsItIs:
                EXPECT_EQ(outcome.itemsRead, 0u);
                EXPECT_FALSE(outcome.written);
                EXPECT_TRUE(keptAside(folder.path()).empty());
                EXPECT_EQ(fs::symlink_status(file).type(), before.type());
                EXPECT_EQ(fs::symlink_status(file).permissions(), before.permissions());
                if (reader.name == std::string("settings")) {
                    EXPECT_EQ(std::count(told.begin(), told.end(), '\n'), 1) << told;
                }
                break;
            case Expect::followed:
                EXPECT_EQ(outcome.itemsRead, 1u);
                EXPECT_TRUE(outcome.written);
                EXPECT_TRUE(fs::is_symlink(file)) << "the link was replaced";
                EXPECT_EQ(reader.itemsOnFile(folder.path()), 2u);
                EXPECT_EQ(readFile(file), readFile(folder.path() / "dotfiles/tarvelo/settings"));
                break;
            }
            fs::permissions(folder.path(), fs::perms::owner_all);
        }
    }
}
