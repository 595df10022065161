// Which links the date-link handler takes, and how it hands them to the
// calendar application and quits.
#include "Tarvelo/DateLink.h"
#include "TarveloFeature/CalendarChoice/CalendarAppPreference.h"
#include "tests/Support/Eventually.h"
#include "tests/Support/FakeWorkspace.h"
#include "tests/Support/TemporaryFolder.h"

#include <gio/gio.h>
#include <gtest/gtest.h>

namespace {

using namespace tarvelo;
using namespace tarvelo::testsupport;

// Date-link handling over a fake workspace, whose calendar application is
// "calendar.desktop", and a preference in a folder of its own; counts the
// quits that reached the main context.
class DateLink : public ::testing::Test {
protected:
    DateLink() { workspace.defaultHandlerByContentType.insert_or_assign("text/calendar", calendar); }
    // Quits queued by this test refer to it: run them while it still exists.
    void TearDown() override { settle(); }

    // Handles `text`, a well-formed URL; whether it launched anything.
    bool handle(const std::string& text) {
        const auto url = platform::URL::string(text);
        EXPECT_TRUE(url) << text;
        workspace.openURLsRequests.clear();
        if (url)
            handleDateLink(*url, {workspace, preference, [this] { ++quits; }});
        settle();
        return !workspace.openURLsRequests.empty();
    }

    TemporaryFolder folder;
    platform::UserDefaults defaults{"today.tarvelo.Tarvelo", folder.path()};
    FakeWorkspace workspace;
    platform::URL calendar = workspace.install("calendar.desktop", "calendar.desktop");
    CalendarAppPreference preference{defaults, workspace};
    int quits = 0;
};

} // namespace

// Links with a valid first "t", however long, are handed off; everything
// else is ignored, and the handler keeps running. Valid is every number the
// C library reads whole, with the C locale's decimal point whatever the
// user's: no padding, trailing text or emptiness.
TEST_F(DateLink, HandsOffOnlyLinksWithAValidFirstT) {
    const char* previous = std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    // Each value with all of its bytes percent-encoded.
    const auto t = [](std::string_view value) {
        std::string link = "tarvelo://date?t=";
        for (const unsigned char byte : value)
            link += "%" + std::string(1, "0123456789ABCDEF"[byte >> 4]) + "0123456789ABCDEF"[byte & 15];
        return link;
    };
    for (const char* value :
         {"0", "-1", "-5.5e2", "0x1p4", "+7", ".5", "1.5", "1e999", "inf", "-Infinity", "nan", "NAN(12)"})
        EXPECT_TRUE(handle(t(value))) << value;
    using namespace std::string_view_literals;
    for (const std::string_view value :
         {""sv, " 5"sv, "\t5"sv, "\n5"sv, "\v5"sv, "\f5"sv, "\r5"sv, "5x"sv, "5 "sv, "x"sv, "0x"sv, "1e"sv,
          "--1"sv, "1,5"sv, "\0005"sv, "5\0005"sv})
        EXPECT_FALSE(handle(t(value))) << '"' << value << '"';
    std::setlocale(LC_NUMERIC, previous ? previous : "C");
    std::string binary;
    for (int byte = 0; byte < 256; ++byte)
        binary += static_cast<char>(byte);
    using Links = std::initializer_list<std::string>;
    for (const std::string& link :
         Links{"tarvelo://date?t=0", "tarvelo://date?x=1&t=5&t=junk", "tarvelo://date/?t=%35",
               "tarvelo://date?t=1#fragment", "tarvelo://date?t=" + std::string(1 << 20, '7')})
        EXPECT_TRUE(handle(link)) << link.substr(0, 40);
    for (const std::string& link :
         Links{"tarvelo://date?t=", "tarvelo://date", "tarvelo://date?", "tarvelo://date?u=5",
               "tarvelo://date?t&t=5", "tarvelo://day?t=0", "tarvelo://Date?t=0", "Tarvelo://date?t=0",
               "tarvelo:date?t=0", "ical://date?t=0", "https://date?t=0", "file:///date?t=0",
               "tarvelo://date?T=5", "tarvelo://date:x?t=5", "tarvelo://date#?t=5", t(binary)})
        EXPECT_FALSE(handle(link)) << link.substr(0, 40);
    EXPECT_EQ(quits, 0);
}

TEST_F(DateLink, WithNoCalendarApplicationAtAllSaysSoInOneLineAndQuits) {
    workspace.defaultHandlerByContentType.clear();
    testing::internal::CaptureStderr();
    EXPECT_FALSE(handle("tarvelo://date?t=0"));
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(said.starts_with("tarvelo: no calendar application is installed")) << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1);
    EXPECT_EQ(quits, 1);
}

// "ical://" to the chosen application, or to the system default when none
// is chosen or the chosen is gone; one that refuses it is started plainly
// with the same configuration. Quits only after the last answer.
TEST_F(DateLink, OpensIcalInTheChosenApplicationOrStartsItPlainlyThenQuits) {
    const platform::URL other = workspace.install("other.desktop", "other.desktop");
    const struct Case {
        const char* chosen;
        platform::URL opened;
        bool refuses;
    } cases[] = {{"", calendar, false}, {"gone.desktop", calendar, false}, {"other.desktop", other, true}};
    for (const auto& [chosen, opened, refuses] : cases) {
        preference.setSelection(*chosen ? CalendarAppSelection::app(chosen, "Chosen")
                                        : CalendarAppSelection::systemDefault());
        quits = 0;
        ASSERT_TRUE(handle("tarvelo://date?t=-1"));
        const auto request = workspace.openURLsRequests.at(0);
        EXPECT_EQ(request.applicationURL, opened) << chosen;
        ASSERT_EQ(request.urls.size(), 1u);
        EXPECT_EQ(request.urls[0].absoluteString(), "ical://");
        EXPECT_EQ(quits, 0);
        request.completion(refuses ? std::optional<std::string>("does not open URLs") : std::nullopt);
        EXPECT_EQ(quits, 0) << "queued, not called";
        settle();
        if (!refuses) {
            EXPECT_EQ(quits, 1);
            EXPECT_TRUE(workspace.openApplicationRequests.empty());
            continue;
        }
        EXPECT_EQ(quits, 0);
        ASSERT_EQ(workspace.openApplicationRequests.size(), 1u);
        EXPECT_EQ(workspace.openApplicationRequests[0].applicationURL, other);
        EXPECT_EQ(workspace.openApplicationRequests[0].configuration, request.configuration);
        // Quits whatever comes of the plain launch, saying what failed.
        testing::internal::CaptureStderr();
        workspace.openApplicationRequests[0].completion(std::string("no such program"));
        EXPECT_EQ(testing::internal::GetCapturedStderr(),
                  "tarvelo: the calendar application could not be started: no such program\n");
        settle();
        EXPECT_EQ(quits, 1);
    }
}
