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

#include "bench/desktop/DisplayServerClock.h"
#include "bench/desktop/WidgetChevrons.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using namespace bench;

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
    // Where to click: the widget's forward chevron, gsimplecal's next-month
    // arrow (right of the month's name, in its header).
    platform::Point target{94, 12};
    if (widget)
        target = smallWidgetChevrons().forward;
    pointAt(started, static_cast<int>(target.x), static_cast<int>(target.y));
    Display* display = screen().display;
    const std::function<void()> input = [display] { click(display); };
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
    ->UseManualTime()
    ->Iterations(10)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(firstFrame, bare_gtkmm_window_cairo_renderer, {bareWindow},
                  {"GTK_A11Y=none", "GSK_RENDERER=cairo"})
    ->UseManualTime()
    ->Iterations(10)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(firstFrame, widget_host, {widgetHost}, hostEnvironment())
    ->UseManualTime()
    ->Iterations(10)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(step, widget_host_chevron, {widgetHost}, hostEnvironment(), true)
    ->UseManualTime()
    ->Iterations(40)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(step, gsimplecal_next_month, {"gsimplecal"}, {"GTK_A11Y=none", "NO_AT_BRIDGE=1"}, false)
    ->UseManualTime()
    ->Iterations(40)
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
