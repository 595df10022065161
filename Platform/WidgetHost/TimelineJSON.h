#pragma once

#include "Platform/Calendar/Instant.h"
#include "Platform/Widgets/Timeline.h"

#include <nlohmann/json.hpp>
#include <optional>

namespace platform {

// How the widget host reads the entries and timelines an extension sends
// (docs/widget-protocol.md). The extension may send anything at all: none of
// these throws, and whatever does not fit reads as absent.

// The member `key` of an object; null when `object` is no object or lacks it.
const nlohmann::json& memberOf(const nlohmann::json& object, const char* key);

// The entry of a timeline to show at `now`: the last one whose date has come,
// or the first when none has; absent when `entries` is no array or empty.
std::optional<nlohmann::json> currentTimelineEntry(const nlohmann::json& entries, Instant now);

// A timeline's reload policy; absent when it is none of the known ones.
std::optional<TimelineReloadPolicy> reloadPolicyFromJSON(const nlohmann::json& policy);

// Whether a timeline with this policy and these entries is due for reloading.
bool timelineIsDue(const TimelineReloadPolicy& policy, const nlohmann::json& entries, Instant now);

// An entry's date; the reference date when it has none.
Instant entryDate(const nlohmann::json& entry);

} // namespace platform
