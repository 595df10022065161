// Any text may arrive as a "tarvelo:" link: other programs can open them.
// For every input this checks, against the separate reading in
// DateLinkOracle, that
//
//  - the number rule accepts the input, taken as a "t" value, exactly when
//    strtod's "C" locale syntax does;
//  - handling the input as a link launches the calendar application exactly
//    when it is a well-formed "tarvelo://date" link whose first "t" value is
//    a number, and that it then opens "ical://" once and quits once;
//
// and, through the sanitizers, that nothing crashes or misbehaves.
#include "Platform/Defaults/UserDefaults.h"
#include "Tarvelo/DateLink.h"
#include "TarveloFeature/CalendarChoice/CalendarAppPreference.h"
#include "fuzz/DateLinkOracle.h"
#include "fuzz/FuzzSupport.h"
#include "tests/Support/FakeWorkspace.h"

#include <gio/gio.h>

namespace {

using namespace tarvelo::fuzzing;
using DateLinkOracle::acceptsLink;
using DateLinkOracle::isNumber;

// No application chosen: valid links go to the desktop's handler of ical://.
struct Desktop {
    Desktop() { workspace.defaultHandlerByScheme.insert_or_assign("ical", calendar); }

    tarvelo::testsupport::TemporaryFolder folder;
    platform::UserDefaults defaults{"today.tarvelo.Tarvelo", folder.path()};
    tarvelo::testsupport::FakeWorkspace workspace;
    platform::URL calendar = workspace.install("calendar.desktop", "calendar.desktop");
    tarvelo::CalendarAppPreference preference{defaults, workspace};
    int quits = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Desktop desktop;
    const std::string_view input = textOf(data, size);

    if (tarvelo::isDateLinkNumber(input) != isNumber(input))
        fail(isNumber(input) ? "number refused" : "non-number accepted", input);

    desktop.workspace.openURLsRequests.clear();
    desktop.quits = 0;
    if (const auto url = platform::URL::string(input)) {
        tarvelo::handleDateLink(*url, {desktop.workspace, desktop.preference, [] { ++desktop.quits; }});
    } else if (DateLinkOracle::isWellFormedURL(input)) {
        fail("well-formed URL refused", input);
    }
    // The quit is queued on the main context, never run on the spot.
    if (desktop.quits != 0)
        fail("quit before returning to the main loop", input);
    // The handler takes the URL, as the desktop would answer.
    const auto requests = desktop.workspace.openURLsRequests;
    for (const auto& request : requests)
        request.completion(std::nullopt);
    while (g_main_context_iteration(nullptr, FALSE)) {
    }

    const bool launched = !requests.empty();
    if (launched != acceptsLink(input))
        fail(launched ? "invalid link launched" : "valid link ignored", input);
    if (launched && (requests.size() != 1 || requests.front().urls.size() != 1 ||
                     requests.front().urls.front().absoluteString() != "ical://" ||
                     requests.front().applicationURL != desktop.calendar || desktop.quits != 1))
        fail("valid link did not open ical:// once and quit once", input);
    if (!launched && desktop.quits != 0)
        fail("invalid link quit", input);
    return 0;
}
