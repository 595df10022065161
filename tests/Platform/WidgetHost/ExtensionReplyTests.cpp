#include "Platform/WidgetHost/ExtensionProcess.h"
#include "Platform/WidgetHost/TimelineJSON.h"

#include <gtest/gtest.h>

using nlohmann::json;
using platform::ExtensionProcess;
using platform::Instant;
using platform::TimelineReloadPolicy;

TEST(ExtensionReplies, OnlyAReplyToTheRequestAnswersIt) {
    // The last is nested deeper than any reply may be.
    const std::vector<std::string> others{"",
                                          "garbage \x01\xff",
                                          "[1,2,3]",
                                          "{\"result\": {}}",
                                          "{\"id\": \"7\", \"result\": 1}",
                                          "{\"id\": 8, \"result\": 1}",
                                          "{\"id\": null, \"error\": {}}",
                                          R"({"id": 7, "result": )" + std::string(100, '[') +
                                              std::string(100, ']') + "}"};
    for (const auto& line : others)
        EXPECT_FALSE(ExtensionProcess::replyFromLine(line, 7)) << line;

    const auto result = ExtensionProcess::replyFromLine(R"({"id": 7, "result": {"entries": []}})", 7);
    ASSERT_TRUE(result && result->ok());
    EXPECT_EQ(*result->result, (json{{"entries", json::array()}}));

    const auto error =
        ExtensionProcess::replyFromLine(R"({"id":7,"error":{"code":"unknown-kind","message":"no"}})", 7);
    ASSERT_TRUE(error && !error->ok());
    EXPECT_EQ(error->errorCode, "unknown-kind");
    EXPECT_EQ(error->errorMessage, "no");

    for (const char* line :
         {R"({"id": 7})", R"({"id": 7, "error": 5})", R"({"id": 7, "error": {"code": 1}})"}) {
        const auto malformed = ExtensionProcess::replyFromLine(line, 7);
        ASSERT_TRUE(malformed && !malformed->ok()) << line;
        EXPECT_EQ(malformed->errorCode, "failed") << line;
    }
}

TEST(ExtensionReplies, ResultsOfTheWrongShapeReadAsAbsent) {
    // Each of these used to throw out of the host.
    for (const json& result : {json(), json(5), json("text"), json::array({1, 2})})
        EXPECT_TRUE(platform::memberOf(result, "entries").is_null()) << result.dump();
    EXPECT_EQ(platform::entryDate(json{{"id", 1}, {"date", "tomorrow"}}), Instant::sinceReferenceDate(0));
    EXPECT_EQ(platform::entryDate(json(3)), Instant::sinceReferenceDate(0));
    EXPECT_EQ(platform::entryDate(json{{"date", 120.5}}), Instant::sinceReferenceDate(120.5));
    const auto atEnd = TimelineReloadPolicy::atEnd();
    EXPECT_TRUE(platform::timelineIsDue(atEnd, json::array({json{{"date", 1e12}}, 5}),
                                        Instant::sinceReferenceDate(0)));
    EXPECT_FALSE(platform::timelineIsDue(atEnd, json::array({5, json{{"date", 1e12}}}),
                                         Instant::sinceReferenceDate(0)));
    EXPECT_FALSE(platform::reloadPolicyFromJSON(json{{"type", "after"}, {"date", "soon"}}));
    EXPECT_FALSE(platform::reloadPolicyFromJSON(json::array({"never"})));
}

TEST(ExtensionReplies, TheCurrentEntryIsTheLastWhoseDateHasCome) {
    const json entries = json::array({json{{"id", 1}, {"date", 100}}, "junk", json{{"id", 2}, {"date", 200}},
                                      json{{"id", 3}, {"date", 300}}});
    EXPECT_EQ(platform::currentTimelineEntry(entries, Instant::sinceReferenceDate(50)), entries[0]);
    EXPECT_EQ(platform::currentTimelineEntry(entries, Instant::sinceReferenceDate(250)), entries[2]);
    EXPECT_EQ(platform::currentTimelineEntry(entries, Instant::sinceReferenceDate(1e9)), entries[3]);
    EXPECT_FALSE(platform::currentTimelineEntry(json::array(), Instant::sinceReferenceDate(0)));
    EXPECT_FALSE(platform::currentTimelineEntry(json{{"a", 1}}, Instant::sinceReferenceDate(0)));
}
