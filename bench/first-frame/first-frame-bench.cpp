// The onboarding window's first frame beside a bare gtkmm window with a
// comparable scrolled page. Each round starts both probes once, in turns
// (the order alternates), and takes the time from just before the process
// is started to the first frame clock "after-paint" that the probe reports.
// Needs a display: run it under xvfb-run and dbus-run-session.
#include "bench/first-frame/ProbeClock.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int rounds = 15;

using firstframe::firstFrame;

struct Summary {
    double minimum;
    double median;
    double maximum;
};

Summary summarize(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    const std::size_t middle = times.size() / 2;
    const double median = times.size() % 2 ? times[middle] : (times[middle - 1] + times[middle]) / 2;
    return {times.front(), median, times.back()};
}

void FirstFrameSideBySide(benchmark::State& state) {
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) {
        state.SkipWithError("needs a display: run under xvfb-run and dbus-run-session");
        return;
    }
    std::vector<double> tarvelo;
    std::vector<double> bare;
    for (auto _ : state) {
        // One run of each to warm the caches (fonts, icons, the pictures).
        firstFrame(TARVELO_WINDOW_PROBE);
        firstFrame(BARE_WINDOW_PROBE);
        for (int round = 0; round < rounds; ++round) {
            const bool tarveloFirst = round % 2 == 0;
            for (int turn = 0; turn < 2; ++turn) {
                const bool isTarvelo = (turn == 0) == tarveloFirst;
                const auto time = firstFrame(isTarvelo ? TARVELO_WINDOW_PROBE : BARE_WINDOW_PROBE);
                if (!time) {
                    state.SkipWithError("a probe reported no frame");
                    return;
                }
                (isTarvelo ? tarvelo : bare).push_back(*time);
            }
        }
        const Summary ours = summarize(tarvelo);
        state.SetIterationTime(ours.median / 1000.0);
    }
    const Summary ours = summarize(tarvelo);
    const Summary theirs = summarize(bare);
    state.counters["tarvelo_min_ms"] = ours.minimum;
    state.counters["tarvelo_median_ms"] = ours.median;
    state.counters["tarvelo_max_ms"] = ours.maximum;
    state.counters["bare_min_ms"] = theirs.minimum;
    state.counters["bare_median_ms"] = theirs.median;
    state.counters["bare_max_ms"] = theirs.maximum;
    state.counters["ratio_of_medians"] = ours.median / theirs.median;
    std::printf("first frame over %d rounds (ms)     min    median     max\n", rounds);
    std::printf("  tarvelo onboarding window   %8.1f  %8.1f  %8.1f\n", ours.minimum, ours.median,
                ours.maximum);
    std::printf("  bare gtkmm scrolled page    %8.1f  %8.1f  %8.1f\n", theirs.minimum, theirs.median,
                theirs.maximum);
    std::printf("  ratio of medians            %.2f (target at most 1.2)\n", ours.median / theirs.median);
}

} // namespace

BENCHMARK(FirstFrameSideBySide)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
