#pragma once

#include "Platform/URL/URL.h"
#include "Platform/Workspace/Workspace.h"
#include "TarveloFeature/CalendarChoice/CalendarAppPreference.h"

#include <functional>
#include <string_view>

namespace tarvelo {

// What handling a date link uses: the workspace that launches, the stored
// choice of application, and what quitting means. The quit is never called
// directly, only queued on the main context.
struct DateLinkServices {
    platform::Workspace& workspace;
    CalendarAppPreference& preference;
    std::function<void()> quit;
};

// Whether `value` is a number as the C library reads one in the "C" locale
// (sign, decimal or hexadecimal digits, fraction, exponent, "inf", "nan"),
// with nothing before or after it. A value that overflows still counts.
bool isDateLinkNumber(std::string_view value);

// Turns a date link "tarvelo://date?t=<seconds>" into the launch of the
// chosen calendar application (or of the desktop's calendar application):
// on "ical://" when it declares that scheme, plainly otherwise. Then quits
// the application once the launch has been answered. When nothing could be
// started, one line on standard error says so. Anything else is ignored
// without a trace. Runs on the main thread.
void handleDateLink(const platform::URL& url);
void handleDateLink(const platform::URL& url, const DateLinkServices& services);

// Queues quitting the running application on the main context and returns
// at once. Safe to call from any thread.
void scheduleQuit();
void scheduleQuit(std::function<void()> quit);

} // namespace tarvelo
