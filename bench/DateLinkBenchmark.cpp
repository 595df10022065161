#include "Tarvelo/DateLink.h"
#include "TarveloFeature/CalendarChoice/CalendarAppCatalog.h"
#include "tests/Support/DesktopFixture.h"
#include "tests/Support/FakeWorkspace.h"

#include <benchmark/benchmark.h>

namespace {

// Validation and finding the desktop's calendar application: the fake
// workspace launches nothing, and the queued quits are drained outside the
// timing.
void handle(benchmark::State& state, const char* link) {
    tarvelo::testsupport::TemporaryFolder folder;
    platform::UserDefaults defaults("today.tarvelo.Tarvelo", folder.path());
    tarvelo::testsupport::FakeWorkspace workspace;
    workspace.defaultHandlerByScheme.insert_or_assign(
        "ical", workspace.install("calendar.desktop", "calendar.desktop"));
    tarvelo::CalendarAppPreference preference(defaults, workspace);
    const tarvelo::DateLinkServices services{workspace, preference, [] {}};
    const auto url = *platform::URL::string(link);
    for (auto _ : state) {
        tarvelo::handleDateLink(url, services);
        state.PauseTiming();
        workspace.openURLsRequests.clear();
        while (g_main_context_iteration(nullptr, FALSE)) {
        }
        state.ResumeTiming();
    }
}

void BM_handleDateLinkValid(benchmark::State& state) {
    handle(state, "tarvelo://date?t=786000000");
}
void BM_handleDateLinkInvalid(benchmark::State& state) {
    handle(state, "tarvelo://date?t&x=1&t=5x");
}

void BM_isDateLinkNumber(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(tarvelo::isDateLinkNumber("-786000000.25"));
}

// The picker's list over GIO, thirty calendar applications installed.
void BM_installed(benchmark::State& state) {
    static tarvelo::testsupport::DesktopFixture desktop;
    static const bool prepared = [] {
        for (int index = 0; index < 30; ++index) {
            const auto name = "Calendar " + std::to_string(index);
            desktop.addApplication("test.Calendar" + std::to_string(index) + ".desktop",
                                   desktop.program().string() + " c %u",
                                   "Name=" + name + "\nMimeType=x-scheme-handler/" +
                                       (index % 3 ? "ical;" : "webcal;x-scheme-handler/ical;") + "\n");
        }
        desktop.setDefault("ical", "test.Calendar7.desktop");
        desktop.updateDatabase();
        return true;
    }();
    (void)prepared;
    std::size_t found = 0;
    for (auto _ : state)
        found = tarvelo::CalendarAppCatalog::installed().size();
    state.counters["applications"] = static_cast<double>(found);
}

} // namespace

BENCHMARK(BM_isDateLinkNumber);
BENCHMARK(BM_handleDateLinkValid);
BENCHMARK(BM_handleDateLinkInvalid);
BENCHMARK(BM_installed)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
