// A process that restricted itself cannot reach the user's other files, write
// outside its folders, run programs or open network sockets; what it was
// allowed still works. Each case runs in a child process, since the
// restriction cannot be undone.

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <fstream>
#include <map>
#include <sstream>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include "Sandbox.h"
#include "TemporaryFolder.h"

using platform::Sandbox;
namespace fs = std::filesystem;

namespace {

// The errno of each probe (0 for success) in the restricted child, and the
// outcome of restricting.
struct Probes {
    Sandbox::Outcome outcome;
    std::map<std::string, int> errors;
};

int openError(const fs::path& path, int flags) {
    const int descriptor = ::open(path.c_str(), flags | O_CLOEXEC, 0600);
    if (descriptor < 0)
        return errno;
    ::close(descriptor);
    return 0;
}

Probes probeRestricted(const Sandbox::FileAccess& access, const fs::path& root) {
    int ends[2];
    if (::pipe(ends) != 0)
        return {};
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(ends[0]);
        const Sandbox::Outcome outcome = Sandbox::restrict(access);
        std::ostringstream report;
        report << "landlock " << outcome.landlockVersion << "\nfilter " << outcome.systemCallFilter << "\n";
        report << "read-secret " << openError(root / "home/.ssh/id_ed25519", O_RDONLY) << "\n";
        report << "list-home " << openError(root / "home", O_RDONLY | O_DIRECTORY) << "\n";
        report << "write-home " << openError(root / "home/planted", O_WRONLY | O_CREAT) << "\n";
        report << "read-allowed " << openError(root / "readable/notes", O_RDONLY) << "\n";
        report << "write-readable " << openError(root / "readable/notes", O_WRONLY) << "\n";
        report << "write-config " << openError(root / "home/.config/tarvelo/new.json", O_WRONLY | O_CREAT) << "\n";
        report << "rename-config "
               << (::rename((root / "home/.config/tarvelo/new.json").c_str(),
                            (root / "home/.config/tarvelo/moved.json").c_str()) == 0
                       ? 0
                       : errno)
               << "\n";
        char* arguments[] = {const_cast<char*>("/bin/true"), nullptr};
        char* environment[] = {nullptr};
        ::execve("/bin/true", arguments, environment);
        report << "execve " << errno << "\n";
        const int inet = ::socket(AF_INET, SOCK_STREAM, 0);
        report << "socket-inet " << (inet < 0 ? errno : 0) << "\n";
        const int inet6 = ::socket(AF_INET6, SOCK_DGRAM, 0);
        report << "socket-inet6 " << (inet6 < 0 ? errno : 0) << "\n";
        int pair[2];
        report << "socketpair-unix " << (::socketpair(AF_UNIX, SOCK_STREAM, 0, pair) == 0 ? 0 : errno) << "\n";
        const std::string text = report.str();
        (void)!::write(ends[1], text.data(), text.size());
        // No sanitizer's exit-time work in a process that cannot trace itself.
        ::_exit(0);
    }
    ::close(ends[1]);
    std::string text;
    char buffer[1024];
    for (ssize_t count; (count = ::read(ends[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<std::size_t>(count));
    ::close(ends[0]);
    int status = 0;
    ::waitpid(child, &status, 0);

    Probes probes;
    std::istringstream lines(text);
    for (std::string name; lines >> name;) {
        int value = 0;
        lines >> value;
        if (name == "landlock")
            probes.outcome.landlockVersion = value;
        else if (name == "filter")
            probes.outcome.systemCallFilter = value != 0;
        else
            probes.errors[name] = value;
    }
    return probes;
}

class RestrictedProcess : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(root() / "home/.ssh");
        fs::create_directories(root() / "readable");
        std::ofstream(root() / "home/.ssh/id_ed25519") << "secret";
        std::ofstream(root() / "readable/notes") << "notes";
        access.readOnly = {"/usr", "/etc", root() / "readable", root() / "does-not-exist"};
        // Folders that cannot even be looked at are left out, quietly.
        fs::create_symlink("loop", root() / "loop");
        access.readWrite = {root() / "home/.config/tarvelo", root() / "loop/tarvelo",
                            root() / std::string(5000, 'x') / "tarvelo"};
    }
    const fs::path& root() const { return folder.path(); }

    tarvelo::testsupport::TemporaryFolder folder;
    Sandbox::FileAccess access;
};

} // namespace

TEST_F(RestrictedProcess, ReachesOnlyTheFilesItWasGiven) {
    const Probes probes = probeRestricted(access, root());
    ASSERT_FALSE(probes.errors.empty()) << "the restricted process ended before it reported";
    if (probes.outcome.landlockVersion == 0)
        GTEST_SKIP() << "this kernel has no Landlock";
    EXPECT_EQ(probes.errors.at("read-secret"), EACCES);
    EXPECT_EQ(probes.errors.at("list-home"), EACCES);
    EXPECT_EQ(probes.errors.at("write-home"), EACCES);
    EXPECT_EQ(probes.errors.at("write-readable"), EACCES);
    EXPECT_EQ(probes.errors.at("read-allowed"), 0);
    EXPECT_EQ(probes.errors.at("write-config"), 0) << "the missing folder was not made";
    EXPECT_EQ(probes.errors.at("rename-config"), 0);
    EXPECT_FALSE(fs::exists(root() / "home/planted"));
    EXPECT_EQ(fs::status(root() / "home/.config").permissions(), fs::perms::owner_all);
    EXPECT_EQ(fs::status(root() / "home/.config/tarvelo").permissions(), fs::perms::owner_all);
}

TEST_F(RestrictedProcess, RunsNoProgramAndOpensNoNetworkSocket) {
    const Probes probes = probeRestricted(access, root());
    if (!probes.outcome.systemCallFilter)
        GTEST_SKIP() << "this kernel has no seccomp filters";
    EXPECT_EQ(probes.errors.at("execve"), EPERM);
    EXPECT_EQ(probes.errors.at("socket-inet"), EPERM);
    EXPECT_EQ(probes.errors.at("socket-inet6"), EPERM);
    EXPECT_EQ(probes.errors.at("socketpair-unix"), 0);
}
