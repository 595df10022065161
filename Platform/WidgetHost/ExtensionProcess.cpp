#include "Platform/WidgetHost/ExtensionProcess.h"

#include "Platform/Widgets/ProtocolJSON.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <string_view>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace platform {

using Clock = std::chrono::steady_clock;

namespace {

// The extension's whole environment: where the user's folders are, the
// language, time zone and fonts, and a fixed search path. Session buses,
// tokens, preload and debugging variables of the host stay with the host.
// TARVELO_TEST_* steer the test extensions; *SAN_OPTIONS steer sanitizer
// builds. Documented in docs/security.md.
std::vector<std::string> extensionEnvironment() {
    static constexpr std::string_view passed[] = {"HOME",
                                                  "LANG",
                                                  "LANGUAGE",
                                                  "TZ",
                                                  "XDG_CONFIG_HOME",
                                                  "XDG_DATA_HOME",
                                                  "XDG_DATA_DIRS",
                                                  "XDG_CACHE_HOME",
                                                  "XDG_RUNTIME_DIR",
                                                  "FONTCONFIG_FILE",
                                                  "FONTCONFIG_PATH",
                                                  "ASAN_OPTIONS",
                                                  "UBSAN_OPTIONS",
                                                  "LSAN_OPTIONS",
                                                  "TSAN_OPTIONS"};
    std::vector<std::string> environment{"PATH=/usr/local/bin:/usr/bin:/bin"};
    for (char** entry = environ; *entry; ++entry) {
        const std::string_view variable(*entry);
        const auto equals = variable.find('=');
        if (equals == std::string_view::npos)
            continue;
        const std::string_view name = variable.substr(0, equals);
        bool wanted = name.starts_with("LC_") || name.starts_with("TARVELO_TEST_");
        for (const auto& candidate : passed)
            wanted = wanted || name == candidate;
        if (wanted)
            environment.emplace_back(variable);
    }
    return environment;
}

} // namespace

ExtensionProcess::ExtensionProcess(std::filesystem::path executable)
    : executable_(std::move(executable)) {}

ExtensionProcess::~ExtensionProcess() {
    stop();
}

bool ExtensionProcess::start(std::string& problem) {
    int sockets[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sockets) != 0) {
        problem = "cannot make a socket pair";
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // The child's end becomes its standard input and output; dup2 clears
    // close-on-exec on the copies, and every other descriptor of ours has it set.
    posix_spawn_file_actions_adddup2(&actions, sockets[1], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, sockets[1], STDOUT_FILENO);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    // A process group of its own (led by the extension), so that ending it
    // also ends whatever it started.
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP);

    std::string program = executable_.string();
    char* arguments[] = {program.data(), nullptr};
    std::vector<std::string> environment = extensionEnvironment();
    std::vector<char*> environmentPointers;
    environmentPointers.reserve(environment.size() + 1);
    for (auto& variable : environment)
        environmentPointers.push_back(variable.data());
    environmentPointers.push_back(nullptr);
    pid_t child = -1;
    const int result =
        ::posix_spawn(&child, program.c_str(), &actions, &attributes, arguments, environmentPointers.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    ::close(sockets[1]);
    if (result != 0) {
        ::close(sockets[0]);
        problem = "cannot start " + program;
        return false;
    }
    process_ = child;
    socket_ = sockets[0];
    buffer_.clear();
    ++starts_;
    return true;
}

bool ExtensionProcess::hasExited() const {
    const pid_t process = process_;
    if (process <= 0)
        return false;
    siginfo_t info{};
    // WNOWAIT: look without reaping; the zombie keeps its group's number ours.
    return ::waitid(P_PID, static_cast<id_t>(process), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
           info.si_pid == process;
}

bool ExtensionProcess::isRunning() {
    std::lock_guard guard(lock_);
    if (process_ <= 0)
        return false;
    if (hasExited()) {
        end(true);
        return false;
    }
    return true;
}

void ExtensionProcess::stop() {
    std::lock_guard guard(lock_);
    end(false);
}

void ExtensionProcess::end(bool forcefully) {
    if (socket_ >= 0) {
        ::close(socket_);
        socket_ = -1;
    }
    buffer_.clear();
    if (process_ <= 0)
        return;
    // With its input closed a well-behaved extension finishes at once.
    const auto deadline = Clock::now() + std::chrono::milliseconds(forcefully ? 0 : 500);
    while (!hasExited() && Clock::now() < deadline)
        ::usleep(2000);
    // The whole group: the extension, if still running, and anything it
    // started. Its leader is not reaped yet, so the group is surely its.
    ::kill(-process_, SIGKILL);
    int status = 0;
    while (::waitpid(process_, &status, 0) < 0 && errno == EINTR) {
    }
    process_ = -1;
}

ExtensionProcess::Reply ExtensionProcess::failure(const std::string& code, const std::string& message,
                                                  bool endProcess) {
    if (endProcess)
        end(true);
    Reply reply;
    reply.errorCode = code;
    reply.errorMessage = message;
    return reply;
}

std::optional<ExtensionProcess::Reply> ExtensionProcess::replyFromLine(std::string_view line,
                                                                       std::uint64_t identifier) {
    auto reply = parseProtocolJSON(line);
    // Lines that are not replies to this request (garbage, or a late reply to
    // one that timed out) are skipped.
    if (!reply.is_object())
        return std::nullopt;
    const auto id = reply.find("id");
    if (id == reply.end() || *id != identifier)
        return std::nullopt;
    Reply result;
    if (const auto found = reply.find("result"); found != reply.end()) {
        // The reply is ours alone: its result (a step's pictures) is moved, not copied.
        result.result = std::move(*found);
        return result;
    }
    const auto error = reply.value("error", nlohmann::json::object());
    result.errorCode = error.is_object() && error.value("code", nlohmann::json()).is_string()
                           ? error["code"].get<std::string>()
                           : "failed";
    result.errorMessage = error.is_object() && error.value("message", nlohmann::json()).is_string()
                              ? error["message"].get<std::string>()
                              : "malformed error reply";
    return result;
}

ExtensionProcess::Reply ExtensionProcess::request(const std::string& method, const nlohmann::json& parameters,
                                                  std::chrono::milliseconds timeout) {
    std::lock_guard guard(lock_);
    const auto deadline = Clock::now() + timeout;
    if (process_ > 0 && hasExited())
        end(true);
    if (process_ <= 0) {
        std::string problem;
        if (!start(problem))
            return failure("failed", problem, false);
    }

    const std::uint64_t identifier = nextRequest_++;
    const std::string line =
        nlohmann::json{{"id", identifier}, {"method", method}, {"params", parameters}}.dump() + "\n";
    for (std::size_t sent = 0; sent < line.size();) {
        const ssize_t count = ::send(socket_, line.data() + sent, line.size() - sent, MSG_NOSIGNAL);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return failure("failed", "the extension is not reading its input", true);
        sent += static_cast<std::size_t>(count);
    }

    char chunk[65536];
    for (;;) {
        // Answer from the lines already read first.
        for (auto newline = buffer_.find('\n'); newline != std::string::npos; newline = buffer_.find('\n')) {
            const auto reply = replyFromLine(std::string_view(buffer_).substr(0, newline), identifier);
            buffer_.erase(0, newline + 1);
            if (reply)
                return *reply;
        }
        if (buffer_.size() > maximumReplySize)
            return failure("failed", "the extension wrote a line longer than 4 MiB", true);

        const auto remaining = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (remaining.count() <= 0)
            return failure("timeout", "the extension did not answer \"" + method + "\" in time", true);
        pollfd descriptor{socket_, POLLIN, 0};
        const int ready = ::poll(&descriptor, 1, static_cast<int>(remaining.count()));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready == 0)
            continue;
        const ssize_t count = ::recv(socket_, chunk, sizeof chunk, 0);
        if (count < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (count <= 0)
            return failure("failed", "the extension ended before answering \"" + method + "\"", true);
        buffer_.append(chunk, static_cast<std::size_t>(count));
    }
}

} // namespace platform
