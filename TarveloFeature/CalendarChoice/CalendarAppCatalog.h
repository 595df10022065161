#pragma once

#include "Platform/URL/URL.h"
#include "Platform/Workspace/Workspace.h"
#include "TarveloFeature/CalendarChoice/CalendarAppCandidate.h"

#include <optional>
#include <vector>

namespace tarvelo {

// The applications that can open calendar links, asked of the workspace
// afresh at every call: nothing is stored or cached.
namespace CalendarAppCatalog {

// The calendar URL schemes, in the order they are asked about.
inline constexpr const char* calendarURLSchemes[] = {"ical", "webcal"};
// What calendar applications on this desktop declare they open: no Linux
// calendar registers "ical:", they register calendar files (see
// docs/workspace.md).
inline constexpr const char* calendarContentType = "text/calendar";

// The application whose entry lies at `url`, named by (first match) its
// display name, its name, or its file name without the extension; absent
// when `url` holds no application or one without an identifier.
std::optional<CalendarAppCandidate> candidate(const platform::URL& url);
std::optional<CalendarAppCandidate> candidate(const platform::URL& url, platform::Workspace& workspace);

// Every application that opens "ical://", "webcal://" or calendar files,
// each identifier once (its first find wins, in that order), sorted by name
// the way the file manager sorts; equal names keep the order they were
// found in.
std::vector<CalendarAppCandidate> installed();
std::vector<CalendarAppCandidate> installed(platform::Workspace& workspace);

// The desktop's calendar application: the one it opens "ical://" with,
// else the one it opens calendar files with; "webcal" plays no part.
std::optional<CalendarAppCandidate> systemDefault();
std::optional<CalendarAppCandidate> systemDefault(platform::Workspace& workspace);

} // namespace CalendarAppCatalog

} // namespace tarvelo
