// One domain's values in one file: every type survives a restart; what
// cannot be read is kept aside, never lost; what is not ours survives
// rewrites; and a failure to write is said once, values staying in memory.

#include "Platform/Defaults/UserDefaults.h"
#include "tests/Support/EnvironmentGuard.h"
#include "tests/Support/TemporaryFolder.h"

#include <cmath>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

using platform::Instant;
using platform::UserDefaults;
using namespace tarvelo::testsupport;
namespace fs = std::filesystem;

TEST(UserDefaultsValues, EveryTypeSurvivesARestartAndMissingOrMistypedValuesReadAsMissing) {
    TemporaryFolder folder;
    {
        UserDefaults defaults("domain", folder.path());
        defaults.setInteger(-42, "integer");
        defaults.setInteger(INT64_MIN, "smallest");
        defaults.setObject(2.5, "double");
        defaults.setObject(true, "boolean");
        defaults.setObject(std::string("Grüße \"quoted\"\n"), "string");
        defaults.setObject(Instant::sinceReferenceDate(786708000.125), "date");
        defaults.setObject(Instant::sinceReferenceDate(-INFINITY), "far past");
        defaults.setObject(Instant::sinceReferenceDate(1), "removed");
        defaults.removeObject("removed");
        EXPECT_FALSE(defaults.object("removed"));
    }
    UserDefaults defaults("domain", folder.path());
    EXPECT_EQ(defaults.integer("integer"), -42);
    EXPECT_EQ(defaults.integer("smallest"), INT64_MIN);
    EXPECT_EQ(defaults.doubleValue("double"), 2.5);
    EXPECT_TRUE(defaults.boolean("boolean"));
    EXPECT_EQ(defaults.string("string"), "Grüße \"quoted\"\n");
    EXPECT_EQ(defaults.date("date"), Instant::sinceReferenceDate(786708000.125));
    EXPECT_EQ(defaults.date("far past"), Instant::sinceReferenceDate(-INFINITY));
    EXPECT_FALSE(defaults.object("removed")) << "a removal leaves no trace";
    // Missing or mistyped values read as missing: no conversions.
    defaults.setObject(std::string("12"), "text");
    defaults.setObject(3.9, "real");
    EXPECT_FALSE(defaults.integer("absent") || defaults.object("absent") || defaults.integer("text") ||
                 defaults.date("text") || defaults.integer("real") || defaults.string("real"));
}

TEST(UserDefaultsValues, DomainsAreSeparateFilesAndNeverPathsInAFolderThatFollowsXdgConfigHome) {
    TemporaryFolder folder;
    UserDefaults first("today.tarvelo.Tarvelo", folder.path());
    UserDefaults second("today.tarvelo.Tarvelo.TarveloWidget", folder.path());
    UserDefaults hostile("../escape", folder.path());
    first.setInteger(1, "key");
    second.setInteger(2, "key");
    hostile.setInteger(3, "key");
    EXPECT_EQ(first.integer("key"), 1);
    EXPECT_EQ(second.integer("key"), 2);
    EXPECT_EQ(hostile.path().parent_path(), folder.path());
    EXPECT_FALSE(fs::exists(folder.path().parent_path() / "escape.json"));

    EnvironmentGuard environment{{"XDG_CONFIG_HOME", "/srv/config"}};
    EXPECT_EQ(UserDefaults::folderForDomains(), "/srv/config/tarvelo");
    environment.set("XDG_CONFIG_HOME", "relative/ignored");
    EXPECT_EQ(UserDefaults::folderForDomains().parent_path().filename(), ".config");
    EXPECT_EQ(UserDefaults::folderForDomains().filename(), "tarvelo");
}

TEST(UserDefaultsFile, UnreadableFilesReadAsEmptyAndAreKeptAsideOnWrite) {
    const std::pair<const char*, std::string> unreadable[] = {
        {"truncated", R"({"tarvelo-defaults": 1, "values": {"a": {"integer": 4)"},
        {"binary", std::string("\x7f"
                               "ELF\0\x01\x02\xff\xfe",
                               9)},
        {"foreign JSON", R"({"values": {"Tarvelo.stepCount": {"integer": 9}}})"},
        {"JSON array", "[1, 2, 3]"},
        {"values not an object", R"({"tarvelo-defaults": 1, "values": [1]})"},
        {"invalid UTF-8", "{\"tarvelo-defaults\": 1, \"values\": {\"\xff\": {\"integer\": 1}}}"},
    };
    for (const auto& [name, bytes] : unreadable) {
        SCOPED_TRACE(name);
        TemporaryFolder folder;
        UserDefaults defaults("domain", folder.path());
        writeFile(defaults.path(), bytes);
        EXPECT_EQ(defaults.integer("a") + defaults.integer("Tarvelo.stepCount"), 0);
        EXPECT_TRUE(keptAside(folder.path()).empty()) << "reading alone moves nothing";
        defaults.setInteger(7, "a");
        const auto aside = keptAside(folder.path());
        ASSERT_EQ(aside.size(), 1u);
        EXPECT_EQ(readFile(aside.front()), bytes) << "the old contents are kept byte for byte";
        EXPECT_EQ(UserDefaults("domain", folder.path()).integer("a"), 7);
    }
}

TEST(UserDefaultsFile, AnEmptyFileIsSimplyEmptyAndAFIFONeverHangsAndIsKeptAside) {
    TemporaryFolder folder;
    UserDefaults defaults("domain", folder.path());
    writeFile(defaults.path(), "");
    EXPECT_EQ(defaults.integer("a"), 0);
    defaults.setInteger(1, "a");
    EXPECT_TRUE(keptAside(folder.path()).empty());

    UserDefaults fifo("fifo", folder.path());
    ASSERT_EQ(::mkfifo(fifo.path().c_str(), 0600), 0);
    EXPECT_EQ(fifo.integer("a"), 0) << "a FIFO would block a plain open";
    fifo.setInteger(1, "a");
    EXPECT_EQ(UserDefaults("fifo", folder.path()).integer("a"), 1);
    EXPECT_EQ(keptAside(folder.path()).size(), 1u) << "a FIFO is no settings file, nor an empty one";
}

TEST(UserDefaultsFile, EntriesOfUnknownTypesSurviveRewritesByteForByte) {
    TemporaryFolder folder;
    UserDefaults defaults("domain", folder.path());
    // Nested 60 levels, compact: re-indenting it would multiply its size.
    const std::string nested = std::string(58, '[') + "1,2,\"\\u00e9]\"" + std::string(58, ']');
    const std::string future = R"({"colour": )" + nested + "}";
    writeFile(defaults.path(), R"({"tarvelo-defaults": 1, "values": {
        "future": )" + future + R"(, "odd": {"integer": "not a number"}, "kept": {"integer": 5}}})");
    EXPECT_EQ(defaults.integer("odd"), 0);
    defaults.setInteger(6, "new");
    const std::string text = readFile(defaults.path());
    EXPECT_NE(text.find(future), std::string::npos) << text;
    EXPECT_NE(text.find(R"({"integer": "not a number"})"), std::string::npos) << text;
    EXPECT_EQ(UserDefaults("domain", folder.path()).integer("kept"), 5);
    for (std::int64_t step = 7; step < 10; ++step)
        defaults.setInteger(step, "new");
    EXPECT_EQ(readFile(defaults.path()).size(), text.size()) << "a rewrite grew the file";
    EXPECT_TRUE(keptAside(folder.path()).empty());
}

TEST(UserDefaultsFile, FilesAndFoldersAreTheOwnersAlone) {
    TemporaryFolder folder;
    const fs::path nested = folder.path() / "config" / "tarvelo";
    UserDefaults defaults("domain", nested);
    defaults.setInteger(1, "a");
    using fs::perms;
    EXPECT_EQ(fs::status(nested).permissions(), perms::owner_all);
    EXPECT_EQ(fs::status(nested.parent_path()).permissions(), perms::owner_all);
    EXPECT_EQ(fs::status(defaults.path()).permissions(), perms::owner_read | perms::owner_write);
    for (const auto& entry : fs::directory_iterator(nested))
        EXPECT_EQ(entry.status().permissions() & (perms::group_all | perms::others_all), perms::none)
            << entry.path();
}

TEST(UserDefaultsFile, AFolderThatCannotBeMadeKeepsValuesInMemoryAndSaysSoOnce) {
    TemporaryFolder folder;
    writeFile(folder.path() / "file", "not a folder");
    UserDefaults defaults("domain", folder.path() / "file" / "tarvelo");
    testing::internal::CaptureStderr();
    defaults.setInteger(3, "a");
    defaults.setInteger(4, "b");
    EXPECT_FALSE(defaults.synchronize());
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(defaults.integer("a"), 3);
    EXPECT_NE(said.find("cannot make the folder"), std::string::npos) << said;
    EXPECT_EQ(said.find("cannot", said.find("cannot") + 1), std::string::npos) << said;
}

// A rewritten file can look unchanged: a file system whose clock ticks
// coarsely and that hands a freed inode to the next file can give it the
// very inode, size and time it had before, and so can a tool that rewrites
// in place and restores the times (rsync --inplace -t). A read-modify-write
// must still start from what is on disk, or it silently undoes other writers.
TEST(UserDefaultsFile, AnIdenticalLookingRewriteIsStillReadBeforeAnIncrement) {
    TemporaryFolder folder;
    UserDefaults first("domain", folder.path());
    first.setInteger(1, "count");
    struct stat seen {};
    ASSERT_EQ(::stat(first.path().c_str(), &seen), 0);
    // Another writer's state, in the same inode, with the same size and time.
    std::string text = readFile(first.path());
    const auto digit = text.find("\"integer\": 1");
    ASSERT_NE(digit, std::string::npos);
    text[digit + 11] = '7';
    std::ofstream(first.path(), std::ios::in | std::ios::out) << text;
    const timespec times[2] = {seen.st_atim, seen.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, first.path().c_str(), times, 0), 0);
    struct stat now {};
    ASSERT_EQ(::stat(first.path().c_str(), &now), 0);
    ASSERT_EQ(std::pair(now.st_ino, now.st_size), std::pair(seen.st_ino, seen.st_size));

    first.exclusively([&] { first.setInteger(first.integer("count") + 10, "count"); });
    EXPECT_EQ(UserDefaults("domain", folder.path()).integer("count"), 17)
        << "the increment started from a stale copy";
    first.setInteger(first.integer("count") + 1, "count");
    EXPECT_EQ(UserDefaults("domain", folder.path()).integer("count"), 18);
}
