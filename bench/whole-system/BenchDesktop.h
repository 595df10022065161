#pragma once

// The private desktop both whole-system drivers run on: temporary XDG
// folders (nothing of the user's is read or written), no accessibility bus,
// a calendar program that records when it starts as the default `ical:`
// handler, and one small Tarvelo widget placed at 40, 40.
#include "tests/Support/DesktopFixture.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace bench {

inline std::filesystem::path preparePrivateDesktop(tarvelo::testsupport::DesktopFixture& desktop) {
    const auto root = desktop.root();
    ::setenv("XDG_STATE_HOME", (root / "state").c_str(), 1);
    ::setenv("XDG_CACHE_HOME", (root / "cache").c_str(), 1);
    ::setenv("GTK_A11Y", "none", 1);
    ::setenv("NO_AT_BRIDGE", "1", 1);
    desktop.addApplication("bench.Calendar.desktop", std::string(TARVELO_BENCH_CALENDAR) + " %u",
                           "Name=Bench Calendar\nMimeType=x-scheme-handler/ical;\n");
    desktop.setDefault("ical", "bench.Calendar.desktop");
    desktop.updateDatabase();
    std::filesystem::create_directories(root / "state" / "tarvelo");
    std::ofstream(root / "state" / "tarvelo" / "widgets.json")
        << R"({"tarvelo-widgets": 1, "widgets": [{"id": "1", "kind": "TarveloWidget", "family": "small", "x": 40, "y": 40}]})";
    return root;
}

} // namespace bench
