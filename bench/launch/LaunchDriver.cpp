// Times how fast a date link reaches the calendar application, side by side
// with a bare gtkmm application that starts and quits. Run by
// bench/launch-bench (under dbus-run-session and xvfb-run); see
// bench/README.md.
//
// Cases, taking turns round by round so that machine noise hits them alike:
//
//   cold     start `tarvelo 'tarvelo://date?t=0'` until the calendar
//            program starts
//   bare     start the bare gtkmm application until it has quit
//   running  hand the link to an already running `tarvelo` (its D-Bus Open
//            call, as a desktop launcher does) until the calendar starts
//   second   start `tarvelo 'tarvelo://date?t=0'` while another instance
//            runs, until the calendar starts
//
// Every moment is CLOCK_MONOTONIC, read by the process concerned: this
// program just before it starts or calls something, the calendar program
// and the bare application when they write their record to a FIFO.
#include "bench/launch/LaunchCases.h"
#include "tests/Support/DesktopFixture.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <gio/gio.h>
#include <map>
#include <poll.h>
#include <spawn.h>
#include <stdexcept>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using namespace launchbench;

struct Summary {
    double minimum, median, maximum;
};

Summary summarize(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    const std::size_t middle = samples.size() / 2;
    const double median = samples.size() % 2 ? samples[middle] : (samples[middle - 1] + samples[middle]) / 2;
    return {samples.front(), median, samples.back()};
}

} // namespace

int main(int argc, char* argv[]) {
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 30;
    if (rounds < 1) {
        std::fprintf(stderr, "usage: %s [ROUNDS]\n", argv[0]);
        return 2;
    }
    try {
        tarvelo::testsupport::DesktopFixture desktop;
        desktop.addApplication("bench.Calendar.desktop", std::string(TARVELO_BENCH_CALENDAR) + " %u",
                               "Name=Bench Calendar\nMimeType=x-scheme-handler/ical;\n");
        desktop.setDefault("ical", "bench.Calendar.desktop");
        desktop.updateDatabase();
        Record record(desktop.root() / "record.fifo");
        SessionBus bus;
        Bench bench({TARVELO_PROGRAM, TARVELO_BENCH_BARE_APPLICATION}, record, bus);

        const std::vector<std::pair<std::string, double (Bench::*)()>> cases = {{"cold", &Bench::cold},
                                                                                {"bare", &Bench::bare},
                                                                                {"running", &Bench::running},
                                                                                {"second", &Bench::second}};
        std::map<std::string, std::vector<double>> samples;
        // One round of each first, unrecorded: it fills the disk caches.
        for (const auto& [name, run] : cases)
            (bench.*run)();
        for (int round = 0; round < rounds; ++round)
            for (std::size_t turn = 0; turn < cases.size(); ++turn) {
                const auto& [name, run] = cases[(turn + static_cast<std::size_t>(round)) % cases.size()];
                samples[name].push_back((bench.*run)());
            }

        std::printf("%d rounds, milliseconds            min   median      max\n", rounds);
        const char* descriptions[][2] = {{"cold", "tarvelo <link> to calendar start"},
                                         {"bare", "bare gtkmm start and quit"},
                                         {"running", "link to running instance"},
                                         {"second", "second start to calendar start"}};
        for (const auto& [name, description] : descriptions) {
            const auto summary = summarize(samples[name]);
            std::printf("%-8s %-26s %8.2f %8.2f %8.2f\n", name, description, summary.minimum, summary.median,
                        summary.maximum);
        }
        const auto cold = summarize(samples["cold"]);
        const auto bare = summarize(samples["bare"]);
        std::printf("cold / bare: %.3f (medians), %.3f (minimums); target 1.1\n", cold.median / bare.median,
                    cold.minimum / bare.minimum);
        std::printf("running median %.2f ms; target under 10\n", summarize(samples["running"]).median);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "launch-driver: %s\n", error.what());
        return 1;
    }
    return 0;
}
