#pragma once

// The cases of the launch benchmark (bench/README.md), shared by
// launch-driver and run-all-driver: a date link to the calendar program
// through `tarvelo`, cold and into a running instance, and a bare gtkmm
// start and quit. Every moment is CLOCK_MONOTONIC, read by the process
// concerned: the driver just before it starts or calls something, the
// calendar program and the bare application when they write their record
// to a FIFO.

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <gio/gio.h>
#include <poll.h>
#include <spawn.h>
#include <stdexcept>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace launchbench {

constexpr const char* applicationIdentifier = "today.tarvelo.Tarvelo";
constexpr const char* applicationPath = "/today/tarvelo/Tarvelo";
constexpr const char* link = "tarvelo://date?t=0";
constexpr int patienceMilliseconds = 30000;

inline long long monotonicNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

inline pid_t start(const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    for (const auto& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        throw std::runtime_error("cannot start " + arguments.front());
    return pid;
}

inline void finish(pid_t pid) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error("a program of the benchmark failed (pid " + std::to_string(pid) + ")");
}

// The FIFO the recording programs write their moments to.
class Record {
public:
    explicit Record(const std::filesystem::path& path) {
        if (mkfifo(path.c_str(), 0600) != 0)
            throw std::runtime_error("cannot make " + path.string());
        // Opened for writing too, so that it never reads an end of file
        // between writers.
        descriptor_ = open(path.c_str(), O_RDWR | O_CLOEXEC);
        setenv("TARVELO_BENCH_RECORD", path.c_str(), 1);
    }
    ~Record() { close(descriptor_); }

    // The moment of the next record, which must come from `writer`.
    long long next(const std::string& writer) {
        std::string line;
        char c = 0;
        while (c != '\n') {
            pollfd ready{descriptor_, POLLIN, 0};
            if (poll(&ready, 1, patienceMilliseconds) != 1)
                throw std::runtime_error("no record from " + writer);
            if (read(descriptor_, &c, 1) == 1)
                line += c;
        }
        if (line.rfind(writer + " ", 0) != 0)
            throw std::runtime_error("unexpected record: " + line);
        return std::stoll(line.substr(writer.size() + 1));
    }

private:
    int descriptor_ = -1;
};

class SessionBus {
public:
    SessionBus()
        : connection_(g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr)) {
        if (!connection_)
            throw std::runtime_error("no session bus: run under dbus-run-session");
    }
    ~SessionBus() { g_object_unref(connection_); }

    // Runs the main loop until `name` has (or has no) owner.
    void waitForOwner(const char* name, bool owned) {
        struct Wait {
            GMainLoop* loop;
            bool owned;
            bool arrived = false;
        } wait{g_main_loop_new(nullptr, FALSE), owned};
        const guint watch = g_bus_watch_name_on_connection(
            connection_, name, G_BUS_NAME_WATCHER_FLAGS_NONE,
            [](GDBusConnection*, const gchar*, const gchar*, gpointer data) {
                if (auto* state = static_cast<Wait*>(data); state->owned) {
                    state->arrived = true;
                    g_main_loop_quit(state->loop);
                }
            },
            [](GDBusConnection*, const gchar*, gpointer data) {
                if (auto* state = static_cast<Wait*>(data); !state->owned) {
                    state->arrived = true;
                    g_main_loop_quit(state->loop);
                }
            },
            &wait, nullptr);
        const guint timeout = g_timeout_add(
            patienceMilliseconds,
            [](gpointer data) -> gboolean {
                g_main_loop_quit(static_cast<Wait*>(data)->loop);
                return G_SOURCE_REMOVE;
            },
            &wait);
        g_main_loop_run(wait.loop);
        if (wait.arrived)
            g_source_remove(timeout);
        g_bus_unwatch_name(watch);
        g_main_loop_unref(wait.loop);
        if (!wait.arrived)
            throw std::runtime_error(std::string(name) + (owned ? " did not come" : " did not go") +
                                     " on the bus");
    }

    // A call answered by the application's main loop: it returns once the
    // application is idle enough to serve it. Returns how long it took.
    long long ping(const char* name) {
        const long long before = monotonicNanoseconds();
        GVariant* reply = g_dbus_connection_call_sync(connection_, name, applicationPath, "org.gtk.Actions",
                                                      "List", nullptr, nullptr, G_DBUS_CALL_FLAGS_NONE,
                                                      patienceMilliseconds, nullptr, nullptr);
        if (!reply)
            throw std::runtime_error("the running application does not answer");
        g_variant_unref(reply);
        return monotonicNanoseconds() - before;
    }

    // Hands `url` to the running application the way a desktop launcher
    // does for a D-Bus activatable application.
    void open(const char* name, const char* url) {
        const char* urls[] = {url, nullptr};
        GVariant* parameters =
            g_variant_new("(^as@a{sv})", urls, g_variant_new_array(G_VARIANT_TYPE("{sv}"), nullptr, 0));
        g_dbus_connection_call(connection_, name, applicationPath, "org.freedesktop.Application", "Open",
                               parameters, nullptr, G_DBUS_CALL_FLAGS_NONE, patienceMilliseconds, nullptr,
                               nullptr, nullptr);
        g_dbus_connection_flush_sync(connection_, nullptr, nullptr);
    }

private:
    GDBusConnection* connection_;
};

struct Programs {
    std::string tarvelo;
    std::string bare;
};

class Bench {
public:
    Bench(Programs programs, Record& record, SessionBus& bus)
        : programs_(std::move(programs))
        , record_(record)
        , bus_(bus) {}

    double cold() {
        const long long before = monotonicNanoseconds();
        const pid_t pid = start({programs_.tarvelo, link});
        const long long started = record_.next("calendar");
        finish(pid);
        bus_.waitForOwner(applicationIdentifier, false);
        return milliseconds(started - before);
    }

    double bare() {
        const long long before = monotonicNanoseconds();
        const pid_t pid = start({programs_.bare});
        const long long quit = record_.next("bare");
        finish(pid);
        return milliseconds(quit - before);
    }

    double running() {
        const pid_t pid = startRunningInstance();
        const long long before = monotonicNanoseconds();
        bus_.open(applicationIdentifier, link);
        const long long started = record_.next("calendar");
        finish(pid);
        bus_.waitForOwner(applicationIdentifier, false);
        return milliseconds(started - before);
    }

    double second() {
        const pid_t pid = startRunningInstance();
        const long long before = monotonicNanoseconds();
        const pid_t secondPid = start({programs_.tarvelo, link});
        const long long started = record_.next("calendar");
        finish(secondPid);
        finish(pid);
        bus_.waitForOwner(applicationIdentifier, false);
        return milliseconds(started - before);
    }

    // Hands the link to the running instance; the milliseconds until the
    // calendar program started.
    double linkIntoRunning() {
        const long long before = monotonicNanoseconds();
        bus_.open(applicationIdentifier, link);
        return milliseconds(record_.next("calendar") - before);
    }

    // Returns once the running instance's main loop answers.
    void ping() { bus_.ping(applicationIdentifier); }

    // Ends the running instance `pid` (SIGTERM) and waits until it is gone.
    void endRunningInstance(pid_t pid) {
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
        bus_.waitForOwner(applicationIdentifier, false);
    }

    // A `tarvelo` started by the user, showing its window and idle.
    pid_t startRunningInstance() {
        const pid_t pid = start({programs_.tarvelo});
        bus_.waitForOwner(applicationIdentifier, true);
        // Settled once its main loop answers at once twice in a row (the
        // first frames of the window are drawn by then).
        int quick = 0;
        while (quick < 20)
            quick = bus_.ping(applicationIdentifier) < 2000000 ? quick + 1 : 0;
        return pid;
    }

private:
    static double milliseconds(long long nanoseconds) { return static_cast<double>(nanoseconds) / 1e6; }

    Programs programs_;
    Record& record_;
    SessionBus& bus_;
};

} // namespace launchbench
