// What the widget host accepts from an extension. Each input line is read
// as the extension's reply to request 7, and what it carries goes through
// the host's readers of timelines, entries and display lists; the whole line
// is also read as a display list, and so is each of a step's "widgets". Checks that nothing throws or
// crashes, and
//
//  - the current entry of a timeline is one of its entries, and there is one
//    exactly when the entries are a non-empty array;
//  - a display list the reader accepts survives writing it out and reading
//    it back (as JSON and as text) unchanged;
//  - what the host shows assistive technologies of it is at most 512
//    elements in reading order (lines never go back), texts never unnamed.
#include "Platform/View/DisplayListJSON.h"
#include "Platform/WidgetHost/AccessibleElements.h"
#include "Platform/WidgetHost/ExtensionProcess.h"
#include "Platform/WidgetHost/TimelineJSON.h"
#include "fuzz/FuzzSupport.h"

#include <algorithm>
#include <nlohmann/json.hpp>

namespace {

using nlohmann::json;
using platform::Instant;
using namespace tarvelo::fuzzing;

void checkRoundTrip(const platform::DisplayListReading& reading) {
    if (!reading.displayList) {
        if (reading.error.empty())
            fail("a refused display list comes without a reason");
        return;
    }
    const json written = platform::toJSON(*reading.displayList);
    const auto again = platform::displayListFromJSON(written);
    if (!again.displayList || *again.displayList != *reading.displayList)
        fail("an accepted display list does not read back the same from its JSON");
    const auto fromText = platform::displayListFromJSONText(written.dump());
    if (!fromText.displayList || *fromText.displayList != *reading.displayList)
        fail("an accepted display list does not read back the same from its text");
    for (const bool rightToLeft : {false, true}) {
        const auto elements = platform::accessibleElements(*reading.displayList, rightToLeft);
        if (elements.size() > 512)
            fail("more than 512 accessible elements");
        for (std::size_t index = 0; index < elements.size(); ++index) {
            if (index > 0 && elements[index].line < elements[index - 1].line)
                fail("accessible elements out of reading order");
            if (elements[index].role == platform::AccessibleRole::text && elements[index].label.empty())
                fail("an accessible text without a name");
        }
    }
}

void checkTimeline(const json& result) {
    const json& entries = platform::memberOf(result, "entries");
    const auto policy = platform::reloadPolicyFromJSON(platform::memberOf(result, "policy"))
                            .value_or(platform::TimelineReloadPolicy::never());
    const bool hasEntries = entries.is_array() && !entries.empty();
    for (const double now : {-1e300, 0.0, 786708000.0, 1e300}) {
        const Instant instant = Instant::sinceReferenceDate(now);
        const auto entry = platform::currentTimelineEntry(entries, instant);
        if (entry.has_value() != hasEntries)
            fail("a current entry exactly when there are entries");
        if (entry && std::find(entries.begin(), entries.end(), *entry) == entries.end())
            fail("the current entry is none of the timeline's");
        (void)platform::timelineIsDue(policy, entries, instant);
        if (entry) {
            (void)platform::entryDate(*entry);
            (void)platform::memberOf(*entry, "id");
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input = textOf(data, size);
    checkRoundTrip(platform::displayListFromJSONText(input));
    for (const auto line : linesOf(input)) {
        const auto reply = platform::ExtensionProcess::replyFromLine(line, 7);
        if (!reply)
            continue;
        if (!reply->ok()) {
            if (reply->errorCode.empty() && reply->errorMessage.empty())
                fail("an error reply comes with neither code nor message");
            continue;
        }
        const json& result = *reply->result;
        checkTimeline(result);
        (void)platform::entryDate(platform::memberOf(result, "entry"));
        checkRoundTrip(platform::displayListFromJSON(platform::memberOf(result, "displayList")));
        // A step's reply: a timeline and a picture for each widget it names.
        if (const json& widgets = platform::memberOf(result, "widgets"); widgets.is_array())
            for (const json& widget : widgets) {
                checkTimeline(widget);
                checkRoundTrip(platform::displayListFromJSON(platform::memberOf(widget, "displayList")));
            }
    }
    return 0;
}
