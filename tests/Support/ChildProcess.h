#pragma once

#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace tarvelo::testsupport {

// Runs `body(index)` in `count` child processes at once and waits for them
// all; true when every child exited cleanly.
template <typename Body> bool inChildProcesses(int count, Body body) {
    std::vector<pid_t> children;
    for (int index = 0; index < count; ++index) {
        const pid_t child = ::fork();
        if (child == 0) {
            body(index);
            ::_exit(0);
        }
        children.push_back(child);
    }
    int clean = 0;
    for (pid_t child : children) {
        int status = 0;
        clean += ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    return clean == count;
}

// Runs `body` in a child process and returns the text it returned; empty
// when the child ended before it answered. The child leaves with _exit, so
// no exit-time work (a sanitizer's, for one) runs in it.
template <typename Body> std::string outputOfChild(Body body) {
    int ends[2];
    if (::pipe(ends) != 0)
        return {};
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(ends[0]);
        const std::string text = body();
        (void)!::write(ends[1], text.data(), text.size());
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
    return text;
}

} // namespace tarvelo::testsupport
