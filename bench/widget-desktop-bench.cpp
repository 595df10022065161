// The widget host on the desktop next to its yardsticks, in one run, timed
// from the display server's own events (run under Xvfb and a session bus:
// bench/widget-desktop.sh does both).
//
//   FirstFrame/<program>  from starting the program to the first drawing
//                         in its window (XDamage); counter pss_kB is the
//                         program's proportional memory once it is idle
//   Step/<program>        from the input event (XTest) to the repainted
//                         window: a click on the widget's forward chevron,
//                         on gsimplecal's next-month arrow; counters
//                         median_ms, max_ms
//
// The programs: the bare gtkmm window with GTK's default renderer and with
// the Cairo one, the widget host (one small widget placed), gsimplecal.

#include <benchmark/benchmark.h>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "WidgetHost.h"

extern char** environ;

namespace {

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
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
            if (left <= 0)
                return false;
            pollfd descriptor{ConnectionNumber(display), POLLIN, 0};
            ::poll(&descriptor, 1, static_cast<int>(left));
        }
        XNextEvent(display, &event);
        return true;
    }
};

Screen& screen() {
    static Screen shared;
    return shared;
}

pid_t spawn(const std::vector<std::string>& arguments, const std::vector<std::string>& extraEnvironment) {
    std::vector<std::string> environment;
    for (char** entry = environ; *entry; ++entry)
        environment.emplace_back(*entry);
    environment.insert(environment.end(), extraEnvironment.begin(), extraEnvironment.end());
    std::vector<char*> argumentPointers, environmentPointers;
    for (auto& argument : const_cast<std::vector<std::string>&>(arguments))
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

void end(pid_t child) {
    ::kill(child, SIGTERM);
    int status = 0;
    ::waitpid(child, &status, 0);
}

long proportionalKilobytes(pid_t process) {
    std::ifstream file("/proc/" + std::to_string(process) + "/smaps_rollup");
    std::string key;
    long value = 0;
    while (file >> key) {
        if (key == "Pss:") {
            file >> value;
            return value;
        }
        file.ignore(1 << 16, '\n');
    }
    return -1;
}

struct Started {
    pid_t process = -1;
    Window window = 0;
    Damage damage = 0;
    double firstFrameMilliseconds = 0;
};

// Starts the program and waits for its first window's first drawing.
Started startAndWaitForFirstFrame(const std::vector<std::string>& arguments,
                                  const std::vector<std::string>& environment) {
    Screen& x = screen();
    XSync(x.display, True); // forget older events
    Started started;
    const auto begin = Clock::now();
    started.process = spawn(arguments, environment);
    const auto deadline = begin + std::chrono::seconds(20);
    XEvent event;
    while (x.next(event, deadline)) {
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

// Lets the program finish what it does after its first frame.
void settle(const Started& started, std::chrono::milliseconds quiet) {
    XEvent event;
    auto deadline = Clock::now() + quiet;
    while (screen().next(event, deadline))
        if (event.type == screen().damageEvent + XDamageNotify) {
            XDamageSubtract(screen().display, started.damage, None, None);
            deadline = Clock::now() + quiet;
        }
}

// Sends the input, then waits for the window's next drawing.
double stepMilliseconds(const Started& started, const std::function<void()>& input) {
    Screen& x = screen();
    XEvent event;
    const auto begin = Clock::now();
    input();
    XFlush(x.display);
    const auto deadline = begin + std::chrono::seconds(5);
    while (x.next(event, deadline))
        if (event.type == x.damageEvent + XDamageNotify &&
            reinterpret_cast<XDamageNotifyEvent*>(&event)->drawable == started.window) {
            const double elapsed = std::chrono::duration<double, std::milli>(Clock::now() - begin).count();
            XDamageSubtract(x.display, started.damage, None, None);
            return elapsed;
        }
    return 5000;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

std::filesystem::path privateHome() {
    static const std::filesystem::path home = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "tarvelo-bench-XXXXXX").string();
        return std::filesystem::path(::mkdtemp(pattern.data()));
    }();
    return home;
}

std::vector<std::string> hostEnvironment() {
    const auto home = privateHome();
    std::filesystem::create_directories(home / "state" / "tarvelo");
    std::ofstream(home / "state" / "tarvelo" / "widgets.json")
        << R"({"tarvelo-widgets": 1, "widgets": [{"id": "1", "kind": "TarveloWidget", "family": "small", "x": 40, "y": 40}]})";
    return {"XDG_STATE_HOME=" + (home / "state").string(), "XDG_CONFIG_HOME=" + (home / "config").string(),
            "GTK_A11Y=none"};
}

void firstFrame(benchmark::State& state, const std::vector<std::string>& arguments,
                const std::vector<std::string>& environment) {
    std::vector<double> frames, memory;
    for (auto _ : state) {
        const auto started = startAndWaitForFirstFrame(arguments, environment);
        state.SetIterationTime(started.firstFrameMilliseconds / 1000.0);
        frames.push_back(started.firstFrameMilliseconds);
        settle(started, std::chrono::milliseconds(300));
        memory.push_back(static_cast<double>(proportionalKilobytes(started.process)));
        end(started.process);
    }
    state.counters["median_ms"] = median(frames);
    state.counters["pss_kB"] = median(memory);
}

void step(benchmark::State& state, const std::vector<std::string>& arguments,
          const std::vector<std::string>& environment, bool widget) {
    auto started = startAndWaitForFirstFrame(arguments, environment);
    settle(started, std::chrono::milliseconds(500));
    Display* display = screen().display;
    int x = 0, y = 0;
    Window child = 0;
    XTranslateCoordinates(display, started.window, DefaultRootWindow(display), 0, 0, &x, &y, &child);
    // Where to click: the widget's forward chevron, gsimplecal's next-month
    // arrow (right of the month's name, in its header).
    platform::Point target{94, 12};
    if (widget) {
        platform::WidgetHost host(platform::WidgetHost::Options{});
        std::string problem;
        const auto picture = host.picture("TarveloWidget", platform::WidgetFamily::systemSmall, false, problem);
        for (const auto& item : picture->displayList.items)
            if (const auto* region = std::get_if<platform::HitRegion>(&item))
                if (const auto* intent = std::get_if<platform::IntentReference>(&region->action))
                    for (const auto& [key, value] : intent->parameters.items())
                        if (value == 1)
                            target = {region->frame.origin.x + region->frame.size.width / 2,
                                      region->frame.origin.y + region->frame.size.height / 2};
    }
    XTestFakeMotionEvent(display, -1, x + static_cast<int>(target.x), y + static_cast<int>(target.y), 0);
    const std::function<void()> input = [display] {
        XTestFakeButtonEvent(display, 1, True, 0);
        XTestFakeButtonEvent(display, 1, False, 0);
    };
    settle(started, std::chrono::milliseconds(200));
    std::vector<double> steps;
    for (auto _ : state) {
        const double elapsed = stepMilliseconds(started, input);
        state.SetIterationTime(elapsed / 1000.0);
        steps.push_back(elapsed);
        // Whatever else the step drew (a second damage) is not the next step's.
        settle(started, std::chrono::milliseconds(50));
    }
    state.counters["median_ms"] = median(steps);
    state.counters["max_ms"] = *std::max_element(steps.begin(), steps.end());
    end(started.process);
}

const std::string bareWindow = TARVELO_BARE_WINDOW;
const std::string widgetHost = TARVELO_WIDGETS_PROGRAM;

} // namespace

BENCHMARK_CAPTURE(firstFrame, bare_gtkmm_window_default_renderer, {bareWindow}, {"GTK_A11Y=none"})
    ->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(firstFrame, bare_gtkmm_window_cairo_renderer, {bareWindow}, {"GTK_A11Y=none", "GSK_RENDERER=cairo"})
    ->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(firstFrame, widget_host, {widgetHost}, hostEnvironment())
    ->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(step, widget_host_chevron, {widgetHost}, hostEnvironment(), true)
    ->UseManualTime()->Iterations(40)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(step, gsimplecal_next_month, {"gsimplecal"}, {"GTK_A11Y=none", "NO_AT_BRIDGE=1"}, false)
    ->UseManualTime()->Iterations(40)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
