#include "Platform/Defaults/UserDefaults.h"
#include "tests/Support/Files.h"
#include "tests/Support/TemporaryFolder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

using platform::UserDefaults;
using namespace tarvelo::testsupport;
namespace fs = std::filesystem;

namespace {

unsigned permissions(const fs::path& path) {
    struct stat status {};
    ::stat(path.c_str(), &status);
    return status.st_mode & 0777;
}

} // namespace

TEST(UserDefaultsFile, UnreadableFilesReadAsEmptyAndAreKeptAsideOnWrite) {
    const std::vector<std::pair<const char*, std::string>> unreadable = {
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
        TemporaryFolder folder;
        UserDefaults defaults("domain", folder.path());
        writeFile(defaults.path(), bytes);
        EXPECT_EQ(defaults.integer("a"), 0) << name;
        EXPECT_EQ(defaults.integer("Tarvelo.stepCount"), 0) << name;
        EXPECT_TRUE(keptAside(folder.path()).empty()) << name << ": reading alone moves nothing";

        defaults.setInteger(7, "a");
        const auto aside = keptAside(folder.path());
        ASSERT_EQ(aside.size(), 1u) << name;
        EXPECT_EQ(readFile(aside.front()), bytes) << name << ": the old contents are kept byte for byte";
        EXPECT_EQ(UserDefaults("domain", folder.path()).integer("a"), 7) << name;
    }
}

TEST(UserDefaultsFile, AnEmptyFileIsSimplyEmptyAndAFIFONeverHangs) {
    TemporaryFolder folder;
    UserDefaults defaults("domain", folder.path());
    writeFile(defaults.path(), "");
    EXPECT_EQ(defaults.integer("a"), 0);
    defaults.setInteger(1, "a");
    EXPECT_TRUE(keptAside(folder.path()).empty());

    // A FIFO in the place of the file never hangs.
    UserDefaults fifo("fifo", folder.path());
    ASSERT_EQ(::mkfifo(fifo.path().c_str(), 0600), 0);
    EXPECT_EQ(fifo.integer("a"), 0) << "a FIFO would block a plain open";
    fifo.setInteger(1, "a");
    EXPECT_EQ(UserDefaults("fifo", folder.path()).integer("a"), 1);
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
    EXPECT_EQ(permissions(nested), 0700u);
    EXPECT_EQ(permissions(nested.parent_path()), 0700u);
    EXPECT_EQ(permissions(defaults.path()), 0600u);
    for (const auto& entry : fs::directory_iterator(nested))
        EXPECT_EQ(permissions(entry.path()) & 077, 0u) << entry.path();
}

TEST(UserDefaultsFile, AFolderThatCannotBeMadeKeepsValuesInMemory) {
    TemporaryFolder folder;
    writeFile(folder.path() / "file", "not a folder");
    UserDefaults defaults("domain", folder.path() / "file" / "tarvelo");
    defaults.setInteger(3, "a");
    EXPECT_EQ(defaults.integer("a"), 3);
    EXPECT_FALSE(defaults.synchronize());
}
