#include "Platform/WidgetHost/ExtensionManifest.h"
#include "Platform/WidgetHost/WidgetHostProgram.h"
#include "tests/Support/EnvironmentGuard.h"
#include "tests/Support/Files.h"
#include "tests/Support/TemporaryFolder.h"

#include <gtest/gtest.h>

using platform::ExtensionManifest;
namespace WidgetHostProgram = platform::WidgetHostProgram;
namespace fs = std::filesystem;

using tarvelo::testsupport::writeFile;

TEST(ExtensionManifest, ReadsAValidManifestWithARelativeProgram) {
    tarvelo::testsupport::TemporaryFolder folder;
    const auto program = writeFile(folder.path() / "libexec/extension", "#!/bin/sh\n");
    fs::permissions(program, fs::perms::owner_all);
    const auto path =
        writeFile(folder.path() / "share/tarvelo/widget-extensions/a.json",
                  R"({"tarvelo-widget-extension": 1, "identifier": "a", "exec": "../../../libexec/extension",
                                "hostApplication": "host"})");
    std::string problem;
    const auto manifest = ExtensionManifest::read(path, problem);
    ASSERT_TRUE(manifest) << problem;
    EXPECT_EQ(manifest->identifier, "a");
    EXPECT_EQ(manifest->executable, program);
    EXPECT_EQ(manifest->hostApplication, "host");
}

TEST(ExtensionManifest, BadManifestsAreSkippedWithOneLineEach) {
    tarvelo::testsupport::TemporaryFolder folder;
    const auto extensions = folder.path() / "data/tarvelo/widget-extensions";
    const auto program = writeFile(folder.path() / "extension", "#!/bin/sh\n");
    fs::permissions(program, fs::perms::owner_all);
    const std::string good =
        R"({"tarvelo-widget-extension": 1, "identifier": "good", "exec": ")" + program.string() + "\"}";
    writeFile(extensions / "1-good.json", good);
    writeFile(extensions / "2-duplicate.json", good);
    writeFile(extensions / "3-truncated.json", R"({"tarvelo-widget-extension": 1, "ident)");
    writeFile(extensions / "4-foreign.json", R"({"name": "x"})");
    writeFile(extensions / "5-no-program.json",
              R"({"tarvelo-widget-extension": 1, "identifier": "x", "exec": "/nonexistent"})");
    writeFile(extensions / "6-not-executable.json",
              R"({"tarvelo-widget-extension": 1, "identifier": "y", "exec": ")" +
                  (extensions / "1-good.json").string() + "\"}");
    writeFile(extensions / "7-binary.json", std::string("\0\xff\xfe", 3));
    writeFile(extensions / "8-huge.json", std::string(100 * 1024, ' '));
    fs::create_directories(extensions / "9-folder.json");
    // The system would read the name only up to the NUL and run "extension".
    writeFile(extensions / "10-nul.json", R"({"tarvelo-widget-extension": 1, "identifier": "z", "exec": ")" +
                                              program.string() + R"(\u0000.txt"})");
    writeFile(extensions / "ignored.txt", "not a manifest");

    tarvelo::testsupport::EnvironmentGuard environment{{"XDG_DATA_HOME", (folder.path() / "data").c_str()},
                                                       {"XDG_DATA_DIRS", "/nonexistent"}};
    std::vector<std::string> logged;
    const auto manifests =
        ExtensionManifest::discover([&](const std::string& line) { logged.push_back(line); });
    std::vector<std::string> identifiers;
    for (const auto& manifest : manifests)
        identifiers.push_back(manifest.identifier);
    // The build tree's own extension may be found beside the test program too.
    EXPECT_EQ(std::count(identifiers.begin(), identifiers.end(), "good"), 1);
    std::size_t aboutOurs = 0;
    for (const auto& line : logged)
        aboutOurs += line.find(extensions.string()) != std::string::npos;
    EXPECT_EQ(aboutOurs, 8u) << "one line for each unusable file, none for the duplicate";
}

TEST(ExtensionManifest, AnotherProgramLearnsWhatTheHostWouldFind) {
    // The host's program in <folder>/bin looks in <folder>/share and in the
    // XDG data folders, and nowhere else.
    tarvelo::testsupport::TemporaryFolder folder;
    const auto program = writeFile(folder.path() / "libexec/extension", "#!/bin/sh\n");
    fs::permissions(program, fs::perms::owner_all);
    for (const std::string data : {"share", "home", "dirs", "elsewhere"})
        writeFile(folder.path() / data / "tarvelo/widget-extensions/a.json",
                  R"({"tarvelo-widget-extension": 1, "identifier": ")" + data + R"(", "exec": ")" +
                      program.string() + "\"}");
    tarvelo::testsupport::EnvironmentGuard environment{{"XDG_DATA_HOME", (folder.path() / "home").c_str()},
                                                       {"XDG_DATA_DIRS", (folder.path() / "dirs").c_str()}};
    const auto host = folder.path() / "bin/tarvelo-widgets";
    for (const std::string identifier : {"share", "home", "dirs"})
        EXPECT_TRUE(WidgetHostProgram::wouldFind(host, identifier)) << identifier;
    EXPECT_FALSE(WidgetHostProgram::wouldFind(host, "elsewhere"));
    EXPECT_FALSE(WidgetHostProgram::wouldFind(folder.path() / "other/bin/tarvelo-widgets", "share"));
}
