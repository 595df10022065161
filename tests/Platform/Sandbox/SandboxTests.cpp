// A process that restricted itself cannot reach the user's other files, write
// outside its folders, run programs or open network sockets; what it was
// allowed still works. Each case runs in a child process, since the
// restriction cannot be undone.

#include "Platform/Sandbox/Sandbox.h"
#include "tests/Support/ChildProcess.h"
#include "tests/Support/TemporaryFolder.h"

#include <cerrno>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <sstream>
#include <sys/socket.h>

using platform::Sandbox;
namespace fs = std::filesystem;

namespace {

int errorOf(int result) {
    return result < 0 ? errno : 0;
}

int openError(const fs::path& path, int flags) {
    const int descriptor = ::open(path.c_str(), flags | O_CLOEXEC, 0600);
    return descriptor < 0 ? errno : ::close(descriptor);
}

// The outcome of restricting ("landlock", "filter") and the errno of each
// probe (0 for success), as the restricted child saw them.
std::map<std::string, int> probeRestricted(const Sandbox::FileAccess& access, const fs::path& root) {
    std::istringstream lines(tarvelo::testsupport::outputOfChild([&] {
        const Sandbox::Outcome outcome = Sandbox::restrict(access);
        const auto config = root / "home/.config/tarvelo";
        char* arguments[] = {const_cast<char*>("/bin/true"), nullptr};
        char* environment[] = {nullptr};
        int pair[2];
        const std::pair<const char*, std::function<int()>> probes[] = {
            {"landlock", [&] { return outcome.landlockVersion; }},
            {"filter", [&] { return int(outcome.systemCallFilter); }},
            {"read-secret", [&] { return openError(root / "home/.ssh/id_ed25519", O_RDONLY); }},
            {"list-home", [&] { return openError(root / "home", O_RDONLY | O_DIRECTORY); }},
            {"write-home", [&] { return openError(root / "home/planted", O_WRONLY | O_CREAT); }},
            {"read-allowed", [&] { return openError(root / "readable/notes", O_RDONLY); }},
            {"write-readable", [&] { return openError(root / "readable/notes", O_WRONLY); }},
            {"write-config", [&] { return openError(config / "new.json", O_WRONLY | O_CREAT); }},
            {"rename-config",
             [&] {
                 return errorOf(::rename((config / "new.json").c_str(), (config / "moved.json").c_str()));
             }},
            {"execve", [&] { return errorOf(::execve("/bin/true", arguments, environment)); }},
            {"socket-inet", [] { return errorOf(::socket(AF_INET, SOCK_STREAM, 0)); }},
            {"socket-inet6", [] { return errorOf(::socket(AF_INET6, SOCK_DGRAM, 0)); }},
            {"socketpair-unix", [&] { return errorOf(::socketpair(AF_UNIX, SOCK_STREAM, 0, pair)); }},
        };
        std::ostringstream report;
        for (const auto& [name, probe] : probes)
            report << name << " " << probe() << "\n";
        return report.str();
    }));
    std::map<std::string, int> probes;
    for (std::string name; lines >> name;)
        lines >> probes[name];
    return probes;
}

} // namespace

// errno 0 is success; a kernel without Landlock or seccomp filters skips its half.
TEST(RestrictedProcess, ReachesOnlyItsFilesRunsNoProgramAndOpensNoNetworkSocket) {
    tarvelo::testsupport::TemporaryFolder folder;
    const fs::path& root = folder.path();
    folder.write("home/.ssh/id_ed25519", "secret");
    folder.write("readable/notes", "notes");
    Sandbox::FileAccess access;
    access.readOnly = {"/usr", "/etc", root / "readable", root / "does-not-exist"};
    // Folders that cannot even be looked at are left out, quietly.
    fs::create_symlink("loop", root / "loop");
    access.readWrite = {root / "home/.config/tarvelo", root / "loop/tarvelo",
                        root / std::string(5000, 'x') / "tarvelo"};

    auto probes = probeRestricted(access, root);
    ASSERT_TRUE(probes.count("socketpair-unix")) << "the restricted process ended before it reported";
    std::map<std::string, int> expected;
    if (probes["landlock"]) {
        expected = {{"read-secret", EACCES},    {"list-home", EACCES}, {"write-home", EACCES},
                    {"write-readable", EACCES}, {"read-allowed", 0},   {"write-config", 0},
                    {"rename-config", 0}};
        EXPECT_FALSE(fs::exists(root / "home/planted"));
        EXPECT_EQ(fs::status(root / "home/.config").permissions(), fs::perms::owner_all);
        EXPECT_EQ(fs::status(root / "home/.config/tarvelo").permissions(), fs::perms::owner_all);
    }
    if (probes["filter"])
        expected.insert(
            {{"execve", EPERM}, {"socket-inet", EPERM}, {"socket-inet6", EPERM}, {"socketpair-unix", 0}});
    for (const auto& [probe, error] : expected)
        EXPECT_EQ(probes.at(probe), error) << probe;
}
