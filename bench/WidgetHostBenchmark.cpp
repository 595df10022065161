// The widget as the host drives it, through the real extension process:
// a click on a warm extension to the new picture painted, a cold start to
// the first picture, and the extension's resident memory. Runs in a private
// configuration folder, so the user's own widget is never stepped.
//
// Built into bin/ beside the host, so it finds the build tree's extension.

#include "Platform/Painter/Painter.h"
#include "Platform/WidgetHost/WidgetHost.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>

using platform::WidgetFamily;
using platform::WidgetHost;

namespace {

std::filesystem::path privateConfiguration() {
    static const std::filesystem::path folder = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "tarvelo-bench-XXXXXX").string();
        std::filesystem::path made = ::mkdtemp(pattern.data());
        ::setenv("XDG_CONFIG_HOME", made.c_str(), 1);
        return made;
    }();
    return folder;
}

platform::Point forwardChevron(const platform::DisplayList& list) {
    for (const auto& item : list.items)
        if (const auto* region = std::get_if<platform::HitRegion>(&item))
            if (const auto* intent = std::get_if<platform::IntentReference>(&region->action);
                intent && intent->parameters.value("delta", 0) == 1)
                return {region->frame.origin.x + region->frame.size.width / 2,
                        region->frame.origin.y + region->frame.size.height / 2};
    return {};
}

long residentKilobytes(pid_t process) {
    std::ifstream status("/proc/" + std::to_string(process) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0)
            return std::atol(line.c_str() + 6);
    return 0;
}

} // namespace

// One click per repetition: perform the intent, fetch the new timeline,
// render it, and paint it at scale 2.
static void clickToNewPicture(benchmark::State& state) {
    privateConfiguration();
    static WidgetHost host{WidgetHost::Options{}};
    static platform::Painter painter;
    std::string problem;
    auto picture = host.picture("TarveloWidget", WidgetFamily::systemMedium, false, problem);
    if (!picture) {
        state.SkipWithError(problem.c_str());
        return;
    }
    const platform::Point at = forwardChevron(picture->displayList);
    for (auto _ : state) {
        host.click("TarveloWidget", *picture, at, problem);
        picture = host.picture("TarveloWidget", WidgetFamily::systemMedium, false, problem);
        benchmark::DoNotOptimize(painter.render(picture->displayList, 2.0, platform::Appearance::light));
    }
    if (const auto processes = host.extensionProcesses(); !processes.empty())
        state.counters["extension_rss_kB"] = static_cast<double>(residentKilobytes(processes.front()));
}
BENCHMARK(clickToNewPicture)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(200)
    ->ComputeStatistics("max",
                        [](const std::vector<double>& values) {
                            return *std::max_element(values.begin(), values.end());
                        })
    ->ReportAggregatesOnly(true);

// A fresh extension process to its first picture.
static void coldStartToFirstPicture(benchmark::State& state) {
    privateConfiguration();
    for (auto _ : state) {
        WidgetHost host{WidgetHost::Options{}};
        std::string problem;
        if (!host.picture("TarveloWidget", WidgetFamily::systemSmall, false, problem))
            state.SkipWithError(problem.c_str());
    }
}
BENCHMARK(coldStartToFirstPicture)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(20)
    ->ReportAggregatesOnly(true);

BENCHMARK_MAIN();
