#pragma once

// Starts one of the first-frame probes and reads the moment it reports for
// its window's first painted frame (CLOCK_MONOTONIC, see FirstFrameReport.h).
// Shared by first-frame-bench and run-all-driver.

#include <cstdio>
#include <ctime>
#include <optional>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace firstframe {

inline long long monotonicNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

// Milliseconds from the start of `program` to its first frame; absent when
// it reported none within half a minute.
inline std::optional<double> firstFrame(const char* program) {
    int output[2];
    if (pipe(output) != 0)
        return std::nullopt;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, output[0]);
    char* argv[] = {const_cast<char*>(program), nullptr};
    pid_t child = 0;
    const long long started = monotonicNanoseconds();
    const int spawned = posix_spawn(&child, program, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(output[1]);
    if (spawned != 0) {
        close(output[0]);
        return std::nullopt;
    }
    std::string text;
    pollfd readable{output[0], POLLIN, 0};
    while (text.find('\n') == std::string::npos && poll(&readable, 1, 30000) > 0) {
        char buffer[256];
        const ssize_t count = read(output[0], buffer, sizeof buffer);
        if (count <= 0)
            break;
        text.append(buffer, static_cast<std::size_t>(count));
    }
    close(output[0]);
    long long painted = 0;
    const bool reported = std::sscanf(text.c_str(), "first-frame %lld", &painted) == 1;
    if (!reported)
        kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    if (!reported)
        return std::nullopt;
    return static_cast<double>(painted - started) / 1e6;
}

} // namespace firstframe
