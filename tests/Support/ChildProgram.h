#pragma once

#include "tests/Support/Eventually.h"

#include <csignal>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace tarvelo::testsupport {

// A program started with `arguments` (the first is its path), killed if the
// test ends while it still runs. Waiting runs the main context.
class ChildProgram {
public:
    explicit ChildProgram(std::vector<std::string> arguments) {
        std::vector<char*> argv;
        for (auto& argument : arguments)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        GError* error = nullptr;
        if (!g_spawn_async(nullptr, argv.data(), nullptr, G_SPAWN_DO_NOT_REAP_CHILD, nullptr, nullptr, &pid_,
                           &error)) {
            ADD_FAILURE() << error->message;
            g_clear_error(&error);
        }
    }
    ~ChildProgram() {
        if (running()) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    ChildProgram(const ChildProgram&) = delete;
    ChildProgram& operator=(const ChildProgram&) = delete;

    bool running() {
        int status = 0;
        if (pid_ > 0 && !status_ && ::waitpid(pid_, &status, WNOHANG) == pid_)
            status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        return pid_ > 0 && !status_;
    }
    // The exit status once it has ended; none if it still runs after a minute.
    std::optional<int> waitForExit() {
        eventually([this] { return !running(); }, std::chrono::seconds(60));
        return status_;
    }

private:
    GPid pid_ = 0;
    std::optional<int> status_;
};

} // namespace tarvelo::testsupport
