// The month model's operations as the widget calls them, in the user's
// locale and zone of the run (pin LANG and TZ to compare runs).

#include "TarveloFeature/MonthModel/MonthGrid.h"
#include "TarveloFeature/MonthModel/MonthOffsetStore.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>

using namespace tarvelo;
using platform::Instant;

static void cells(benchmark::State& state) {
    const Instant now = Instant::now();
    const Instant month = MonthGrid::month(0, now);
    for (auto _ : state)
        benchmark::DoNotOptimize(MonthGrid::cells(month, now));
}
BENCHMARK(cells);

static void title(benchmark::State& state) {
    const Instant now = Instant::now();
    const Instant month = MonthGrid::month(13, now);
    MonthGrid::title(month, now); // the first call resolves the locale's pattern
    for (auto _ : state)
        benchmark::DoNotOptimize(MonthGrid::title(month, now));
}
BENCHMARK(title);

static void weekdaySymbols(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(MonthGrid::weekdaySymbols());
}
BENCHMARK(weekdaySymbols);

static void month(benchmark::State& state) {
    const Instant now = Instant::now();
    for (auto _ : state)
        benchmark::DoNotOptimize(MonthGrid::month(-7, now));
}
BENCHMARK(month);

// A persistent store in a private folder under the temporary folder, on
// whatever disk that is.
class PersistentStore {
public:
    PersistentStore() {
        std::string pattern = (std::filesystem::temp_directory_path() / "tarvelo-bench-XXXXXX").string();
        folder_ = ::mkdtemp(pattern.data());
        defaults_ = std::make_unique<platform::UserDefaults>("bench", folder_);
        store_ = std::make_unique<MonthOffsetStore>(*defaults_, Instant::now());
    }
    ~PersistentStore() { std::filesystem::remove_all(folder_); }
    MonthOffsetStore& store() { return *store_; }

private:
    std::filesystem::path folder_;
    std::unique_ptr<platform::UserDefaults> defaults_;
    std::unique_ptr<MonthOffsetStore> store_;
};

static void persistentStep(benchmark::State& state) {
    PersistentStore persistent;
    for (auto _ : state)
        benchmark::DoNotOptimize(persistent.store().step(1, Instant::now()));
}
BENCHMARK(persistentStep)->Unit(benchmark::kMicrosecond);

static void persistentOffset(benchmark::State& state) {
    PersistentStore persistent;
    persistent.store().step(1, Instant::now());
    for (auto _ : state)
        benchmark::DoNotOptimize(persistent.store().offset());
}
BENCHMARK(persistentOffset);

BENCHMARK_MAIN();
