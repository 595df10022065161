#pragma once

// Timing programs on an X display from the display server's own events:
// a program's first frame is the first XDamage event of its first window
// after it was started; a step is from an XTest input event to the window's
// next XDamage event. Shared by widget-desktop-bench and run-all-driver.

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace bench {

using Clock = std::chrono::steady_clock;

struct Screen {
    Display* display = XOpenDisplay(nullptr);
    int damageEvent = 0;
    int damageError = 0;
    Screen() {
        if (!display || !XDamageQueryExtension(display, &damageEvent, &damageError))
            std::abort();
        XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    }
    // The next event, or none when `deadline` passes first.
    bool next(XEvent& event, Clock::time_point deadline) {
        while (!XPending(display)) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
            if (left <= 0)
                return false;
            pollfd descriptor{ConnectionNumber(display), POLLIN, 0};
            ::poll(&descriptor, 1, static_cast<int>(left));
        }
        XNextEvent(display, &event);
        return true;
    }
};

inline Screen& screen() {
    static Screen shared;
    return shared;
}

// Starts a program with this process's environment plus `extraEnvironment`.
inline pid_t spawn(const std::vector<std::string>& arguments,
                   const std::vector<std::string>& extraEnvironment) {
    std::vector<std::string> environment;
    for (char** entry = environ; *entry; ++entry)
        environment.emplace_back(*entry);
    environment.insert(environment.end(), extraEnvironment.begin(), extraEnvironment.end());
    std::vector<std::string> argumentCopies = arguments;
    std::vector<char*> argumentPointers, environmentPointers;
    for (auto& argument : argumentCopies)
        argumentPointers.push_back(argument.data());
    argumentPointers.push_back(nullptr);
    for (auto& entry : environment)
        environmentPointers.push_back(entry.data());
    environmentPointers.push_back(nullptr);
    pid_t child = -1;
    if (::posix_spawnp(&child, argumentPointers[0], nullptr, nullptr, argumentPointers.data(),
                       environmentPointers.data()) != 0)
        return -1;
    return child;
}

inline void end(pid_t child) {
    if (child <= 0)
        return;
    ::kill(child, SIGTERM);
    int status = 0;
    ::waitpid(child, &status, 0);
}

// A figure of /proc/PID/smaps_rollup ("Pss:", "Rss:") in kB; -1 if unreadable.
inline long memoryKilobytes(pid_t process, const std::string& key = "Pss:") {
    std::ifstream file("/proc/" + std::to_string(process) + "/smaps_rollup");
    std::string word;
    long value = 0;
    while (file >> word) {
        if (word == key) {
            file >> value;
            return value;
        }
        file.ignore(1 << 16, '\n');
    }
    return -1;
}

inline long proportionalKilobytes(pid_t process) {
    return memoryKilobytes(process, "Pss:");
}

// The processes whose parent is `process`.
inline std::vector<pid_t> childrenOf(pid_t process) {
    std::vector<pid_t> children;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
        const std::string name = entry.path().filename().string();
        if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos)
            continue;
        std::ifstream stat(entry.path() / "stat");
        std::string line;
        std::getline(stat, line);
        // "pid (command) state ppid ...": the command may hold spaces and parentheses.
        const auto close = line.rfind(')');
        if (close == std::string::npos)
            continue;
        char state = 0;
        int parent = 0;
        if (std::sscanf(line.c_str() + close + 1, " %c %d", &state, &parent) == 2 && parent == process)
            children.push_back(std::stoi(name));
    }
    return children;
}

inline long openDescriptors(pid_t process) {
    std::error_code error;
    long count = 0;
    for (std::filesystem::directory_iterator entry("/proc/" + std::to_string(process) + "/fd", error), last;
         !error && entry != last; entry.increment(error))
        ++count;
    return error ? -1 : count;
}

struct Started {
    pid_t process = -1;
    Window window = 0;
    Damage damage = 0;
    double firstFrameMilliseconds = 0;
};

// Starts the program and waits for its first window's first drawing.
inline Started startAndWaitForFirstFrame(const std::vector<std::string>& arguments,
                                         const std::vector<std::string>& environment) {
    Screen& x = screen();
    XSync(x.display, True); // forget older events
    Started started;
    const auto begin = Clock::now();
    started.process = spawn(arguments, environment);
    const auto deadline = begin + std::chrono::seconds(20);
    XEvent event;
    while (started.process > 0 && x.next(event, deadline)) {
        if (event.type == MapNotify && !started.window && event.xmap.event == DefaultRootWindow(x.display)) {
            XWindowAttributes attributes{};
            XGetWindowAttributes(x.display, event.xmap.window, &attributes);
            if (attributes.override_redirect)
                continue;
            started.window = event.xmap.window;
            started.damage = XDamageCreate(x.display, started.window, XDamageReportNonEmpty);
        } else if (event.type == x.damageEvent + XDamageNotify && started.window &&
                   reinterpret_cast<XDamageNotifyEvent*>(&event)->drawable == started.window) {
            started.firstFrameMilliseconds =
                std::chrono::duration<double, std::milli>(Clock::now() - begin).count();
            XDamageSubtract(x.display, started.damage, None, None);
            return started;
        }
    }
    return started;
}

// Lets the program finish what it does after a drawing: returns once the
// window has not been drawn for `quiet`. (This only paces the runs; no
// figure is taken from it.)
inline void settle(const Started& started, std::chrono::milliseconds quiet) {
    XEvent event;
    auto deadline = Clock::now() + quiet;
    while (screen().next(event, deadline))
        if (event.type == screen().damageEvent + XDamageNotify) {
            XDamageSubtract(screen().display, started.damage, None, None);
            deadline = Clock::now() + quiet;
        }
}

// Sends the input, then waits for the window's next drawing; the
// milliseconds in between, or `patience` when no drawing came.
inline double stepMilliseconds(const Started& started, const std::function<void()>& input,
                               std::chrono::milliseconds patience = std::chrono::seconds(5)) {
    Screen& x = screen();
    XEvent event;
    const auto begin = Clock::now();
    input();
    XFlush(x.display);
    const auto deadline = begin + patience;
    while (x.next(event, deadline))
        if (event.type == x.damageEvent + XDamageNotify &&
            reinterpret_cast<XDamageNotifyEvent*>(&event)->drawable == started.window) {
            const double elapsed = std::chrono::duration<double, std::milli>(Clock::now() - begin).count();
            XDamageSubtract(x.display, started.damage, None, None);
            return elapsed;
        }
    return static_cast<double>(patience.count());
}

// A left click at the pointer's place.
inline void click(Display* display) {
    XTestFakeButtonEvent(display, 1, True, 0);
    XTestFakeButtonEvent(display, 1, False, 0);
}

// Moves the pointer to `x`, `y` in the window's coordinates.
inline void pointAt(const Started& started, int x, int y) {
    Display* display = screen().display;
    int rootX = 0, rootY = 0;
    Window child = 0;
    XTranslateCoordinates(display, started.window, DefaultRootWindow(display), 0, 0, &rootX, &rootY, &child);
    XTestFakeMotionEvent(display, -1, rootX + x, rootY + y, 0);
    XFlush(display);
}

} // namespace bench
