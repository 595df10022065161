#include "Platform/View/DisplayListJSON.h"
#include "Platform/Widgets/WidgetRunner.h"
#include "tests/Support/TestBundle.h"

#include <gtest/gtest.h>

using namespace tarvelo::testsupport;
using nlohmann::json;
using platform::WidgetRunner;

namespace {

class WidgetRunnerRequests : public ::testing::Test {
protected:
    FakeTextMeasurer measurer;
    WidgetRunner runner{countBundle(), measurer};

    json ask(const json& request) { return json::parse(runner.reply(std::string_view(request.dump()))); }
    json ask(const std::string& method, const json& parameters) {
        return ask(json{{"id", 7}, {"method", method}, {"params", parameters}});
    }
    static json small(json extra = json::object()) {
        json parameters = {{"kind", "Count"}, {"family", "small"}, {"width", 170}, {"height", 170}};
        parameters.update(extra);
        return parameters;
    }
    std::string errorCode(const json& reply) {
        return reply.value("error", json::object()).value("code", "");
    }
};

} // namespace

TEST_F(WidgetRunnerRequests, DescribesWidgetsAndIntents) {
    const auto reply = ask("describe", json::object());
    EXPECT_EQ(reply["id"], 7);
    const auto& result = reply["result"];
    EXPECT_EQ(result["protocol"], WidgetRunner::protocolVersion);
    ASSERT_EQ(result["widgets"].size(), 1u);
    EXPECT_EQ(result["widgets"][0]["kind"], "Count");
    EXPECT_EQ(result["widgets"][0]["displayName"], "Count");
    EXPECT_EQ(result["widgets"][0]["families"], json::array({"small"}));
    EXPECT_EQ(result["intents"], json::array({"CountingIntent"}));
}

TEST_F(WidgetRunnerRequests, EntriesAreRenderedWhenTheHostAsks) {
    const auto timeline = ask("timeline", small())["result"];
    ASSERT_EQ(timeline["entries"].size(), 2u);
    EXPECT_EQ(timeline["entries"][1]["date"], 3620.0);
    EXPECT_EQ(timeline["policy"], (json{{"type", "after"}, {"date", 7200.0}}));

    const auto render = ask("render", small({{"entry", timeline["entries"][1]["id"]}}));
    const auto reading = platform::displayListFromJSON(render["result"]["displayList"]);
    ASSERT_TRUE(reading.displayList) << reading.error;
    const auto& text = std::get<platform::TextRun>(reading.displayList->items.at(0));
    EXPECT_EQ(text.text, "3");

    const auto preview = ask("snapshot", small({{"isPreview", true}}))["result"]["entry"];
    const auto previewRender = ask("render", small({{"entry", preview["id"]}}));
    EXPECT_NE(previewRender.dump().find("\"100\""), std::string::npos);
}

TEST_F(WidgetRunnerRequests, IntentsAreRebuiltFromTheirReferenceAndRun) {
    CountingIntent::total = 0;
    const auto reply =
        ask("perform", {{"intent", {{"type", "CountingIntent"}, {"parameters", {{"by", 5}}}}}});
    EXPECT_EQ(reply["result"], json::object());
    EXPECT_EQ(CountingIntent::total, 5);
    ask("perform", {{"intent", {{"type", "CountingIntent"}, {"parameters", "not an object"}}}});
    EXPECT_EQ(CountingIntent::total, 5) << "garbage parameters leave the intent at its defaults";
    EXPECT_EQ(errorCode(ask("perform", {{"intent", {{"type", "Nope"}}}})), "unknown-intent");

    // A step's reply carries the timeline and picture of each widget named;
    // one it cannot answer is left out, and the step is kept all the same.
    const auto step = ask("perform", {{"intent", {{"type", "CountingIntent"}, {"parameters", {{"by", 1}}}}},
                                      {"render", {small(), small({{"kind", "Nope"}}), "junk"}}})["result"];
    EXPECT_EQ(CountingIntent::total, 6);
    ASSERT_EQ(step["widgets"].size(), 1u) << step.dump();
    const auto& widget = step["widgets"][0];
    EXPECT_EQ(widget["family"], "small");
    EXPECT_EQ(widget["policy"], (json{{"type", "after"}, {"date", 7200.0}}));
    EXPECT_EQ(widget["entry"], widget["entries"][1]["id"]) << "the entry whose date has come last";
    const auto reading = platform::displayListFromJSON(widget["displayList"]);
    EXPECT_TRUE(reading.displayList) << reading.error;
}

TEST_F(WidgetRunnerRequests, EveryMalformedRequestGetsAClearErrorAndNoCrash) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", "bad-request"},
        {"null", "bad-request"},
        {"[1,2]", "bad-request"},
        {"{\"id\":1}", "bad-request"},
        {"{\"id\":1,\"method\":42}", "bad-request"},
        {"{\"id\":1,\"method\":\"fly\"}", "unknown-method"},
        {"{\"id\":1,\"method\":\"timeline\"}", "bad-request"},
        {"{\"id\":1,\"method\":\"timeline\",\"params\":{\"kind\":\"Other\",\"family\":\"small\"}}",
         "unknown-kind"},
        {"\xff\xfe{{{", "bad-request"},
        {std::string(WidgetRunner::maximumRequestSize + 1, '{'), "too-large"},
        // Nested deeper than any request may be, refused before anything recurses into it.
        {R"({"id":1,"method":"perform","params":{"intent":{"type":"CountingIntent","parameters":{"by":1,"x":)" +
             std::string(100, '[') + std::string(100, ']') + "}}}}",
         "bad-request"},
    };
    for (const auto& [request, code] : cases) {
        const auto reply = json::parse(runner.reply(request), nullptr, false);
        ASSERT_TRUE(reply.is_object()) << request.substr(0, 40);
        EXPECT_EQ(errorCode(reply), code) << request.substr(0, 40);
        EXPECT_FALSE(reply.contains("result"));
    }
    for (const json& bad : {json{{"family", "large"}}, json{{"width", -1}}, json{{"height", 1e9}},
                            json{{"width", "wide"}}, json{{"entry", 999999}}, json{{"entry", -3}}})
        EXPECT_FALSE(errorCode(ask("render", small(bad))).empty()) << bad.dump();
    EXPECT_EQ(errorCode(ask("render", small({{"entry", 424242}}))), "unknown-entry");
}

TEST_F(WidgetRunnerRequests, RepliesCarryTheRequestsIdOnlyWhenItIsUsable) {
    EXPECT_EQ(ask(json{{"id", "abc"}, {"method", "describe"}})["id"], "abc");
    EXPECT_TRUE(ask(json{{"id", json::array()}, {"method", "describe"}})["id"].is_null());
    EXPECT_TRUE(ask(json{{"id", 1.5}, {"method", "describe"}})["id"].is_null());
}

TEST_F(WidgetRunnerRequests, OldEntriesAreDroppedButNeverMixedUp) {
    const auto first = ask("placeholder", small())["result"]["entry"]["id"];
    for (std::size_t count = 0; count < WidgetRunner::maximumKeptEntries; ++count)
        ask("placeholder", small());
    EXPECT_EQ(errorCode(ask("render", small({{"entry", first}}))), "unknown-entry");
}
