#pragma once

#include "CalendarAppPreference.h"
#include "DateLink.h"
#include "FakeWorkspace.h"
#include "TemporaryFolder.h"

#include <gio/gio.h>
#include <gtest/gtest.h>

namespace tarvelo::testsupport {

// Date-link handling over a fake workspace, whose calendar application is
// "calendar.desktop", and a preference in a scratch folder; counts the quits
// that reached the main context.
class DateLinkTest : public ::testing::Test {
protected:
    DateLinkTest() { workspace.defaultHandlerByContentType.insert_or_assign("text/calendar", calendar); }

    // Quits queued by this test refer to it: run them while it still exists.
    void TearDown() override { runPending(); }

    DateLinkServices services() {
        return DateLinkServices{workspace, preference, [this] { ++quits; }};
    }

    // Handles `text`, which must be a well-formed URL.
    void handle(const std::string& text) {
        const auto url = platform::URL::string(text);
        ASSERT_TRUE(url) << text;
        handleDateLink(*url, services());
    }

    // Runs what is queued on the main context.
    void runPending() {
        while (g_main_context_iteration(nullptr, FALSE)) {
        }
    }

    // Whether the link launched anything since the last time asked.
    bool handedOff() {
        runPending();
        const bool launched = !workspace.openURLsRequests.empty();
        workspace.openURLsRequests.clear();
        return launched;
    }

    TemporaryFolder folder;
    platform::UserDefaults defaults{"today.tarvelo.Tarvelo", folder.path()};
    FakeWorkspace workspace;
    platform::URL calendar = workspace.install("calendar.desktop", "calendar.desktop");
    CalendarAppPreference preference{defaults, workspace};
    int quits = 0;
};

} // namespace tarvelo::testsupport
