// What an extension is given: a short, fixed environment, and (the real
// extension) a process with no new privileges and a system-call filter.

#include "Platform/WidgetHost/ExtensionProcess.h"
#include "tests/Support/EnvironmentGuard.h"
#include "tests/Support/TemporaryFolder.h"

#include <fstream>
#include <gtest/gtest.h>
#include <set>

using platform::ExtensionProcess;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

std::set<std::string> lines(const fs::path& path) {
    std::ifstream input(path);
    std::set<std::string> result;
    for (std::string line; std::getline(input, line);)
        result.insert(line);
    return result;
}

std::set<std::string> names(const std::set<std::string>& environment) {
    std::set<std::string> result;
    for (const auto& variable : environment)
        result.insert(variable.substr(0, variable.find('=')));
    return result;
}

} // namespace

TEST(ExtensionEnvironment, OnlyTheUsersFoldersLocaleZoneAndFontsReachTheExtension) {
    tarvelo::testsupport::TemporaryFolder folder;
    const fs::path dump = folder.path() / "environment";
    tarvelo::testsupport::EnvironmentGuard guard{{"TARVELO_TEST_EXTENSION_MODE", "environment"},
                                                 {"TARVELO_TEST_ENVIRONMENT_DUMP", dump.c_str()},
                                                 {"LANG", "de_DE.UTF-8"},
                                                 {"LC_TIME", "ja_JP.UTF-8@calendar=japanese"},
                                                 {"TZ", "Asia/Tokyo"},
                                                 {"XDG_CONFIG_HOME", folder.path().c_str()},
                                                 {"FONTCONFIG_FILE", "/etc/fonts/fonts.conf"},
                                                 // What must stay with the host.
                                                 {"PATH", "/home/someone/bin:/usr/bin"},
                                                 {"DBUS_SESSION_BUS_ADDRESS", "unix:path=/run/user/1000/bus"},
                                                 {"SSH_AUTH_SOCK", "/run/user/1000/ssh-agent"},
                                                 {"LD_LIBRARY_PATH", "/home/someone/lib"},
                                                 {"GITHUB_TOKEN", "secret"},
                                                 {"DISPLAY", ":0"},
                                                 {"TARVELO_OTHER", "not for tests"}};
    ExtensionProcess extension(MISBEHAVING_EXTENSION);
    ASSERT_TRUE(extension.request("describe", nlohmann::json::object(), 5s).ok());
    extension.stop();

    const auto environment = lines(dump);
    for (const char* passed : {"LANG=de_DE.UTF-8", "LC_TIME=ja_JP.UTF-8@calendar=japanese", "TZ=Asia/Tokyo",
                               "FONTCONFIG_FILE=/etc/fonts/fonts.conf", "PATH=/usr/local/bin:/usr/bin:/bin"})
        EXPECT_TRUE(environment.count(passed)) << passed;
    EXPECT_TRUE(environment.count("XDG_CONFIG_HOME=" + folder.path().string()));

    const auto reached = names(environment);
    for (const char* kept : {"DBUS_SESSION_BUS_ADDRESS", "SSH_AUTH_SOCK", "LD_LIBRARY_PATH", "GITHUB_TOKEN",
                             "DISPLAY", "TARVELO_OTHER"})
        EXPECT_FALSE(reached.count(kept)) << kept << " reached the extension";
}

TEST(ExtensionPrivileges, TheRealExtensionServesWithNoNewPrivilegesAndAFilter) {
    tarvelo::testsupport::TemporaryFolder folder;
    tarvelo::testsupport::EnvironmentGuard guard{{"XDG_CONFIG_HOME", folder.path().c_str()}};
    ExtensionProcess extension(TARVELO_WIDGET_EXTENSION);
    ASSERT_TRUE(extension.request("describe", nlohmann::json::object(), 5s).ok());
    const auto status = lines("/proc/" + std::to_string(extension.processIdentifier()) + "/status");
    EXPECT_TRUE(status.count("NoNewPrivs:\t1"));
    EXPECT_TRUE(status.count("Seccomp:\t2")) << "no system-call filter";
    // And it still does its work: a step reaches its defaults.
    const auto performed = extension.request(
        "perform", {{"intent", {{"type", "MonthStepIntent"}, {"parameters", {{"delta", 1}}}}}}, 5s);
    EXPECT_TRUE(performed.ok()) << performed.errorMessage;
    extension.stop();
    EXPECT_TRUE(fs::exists(folder.path() / "tarvelo/today.tarvelo.Tarvelo.TarveloWidget.json"));
    EXPECT_EQ(fs::status(folder.path() / "tarvelo").permissions(), fs::perms::owner_all);
}
