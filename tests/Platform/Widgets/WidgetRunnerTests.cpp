// The extension's side of the protocol: the JSON reader it shares with the
// host, each request's reply, and serving a stream of them.

#include "Platform/View/DisplayListJSON.h"
#include "Platform/Widgets/ProtocolJSON.h"
#include "Platform/Widgets/WidgetRunner.h"
#include "tests/Support/ServeOverSockets.h"
#include "tests/Support/TestBundle.h"

#include <gtest/gtest.h>
#include <set>

using namespace tarvelo::testsupport;
using nlohmann::json;
using platform::deepestProtocolNesting;
using platform::parseProtocolJSON;
using platform::WidgetRunner;

namespace {

std::string nested(std::size_t depth, const std::string& inside = "") {
    return std::string(depth, '[') + inside + std::string(depth, ']');
}

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
    static std::string errorCode(const json& reply) {
        return reply.value("error", json::object()).value("code", "");
    }
    // Every reply line the runner wrote, serving `input` in pieces of `piece` bytes.
    std::vector<json> repliesTo(const std::string& input, std::size_t piece = std::string::npos) {
        const std::string text = serveOverSockets(runner, input, [piece] { return piece; });
        std::vector<json> replies;
        for (std::size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
            replies.push_back(json::parse(text.substr(start, end - start)));
        return replies;
    }
};

} // namespace

TEST(ProtocolJSON, NestingUpToTheLimitIsReadAndOneLevelMoreOrNoJSONIsNotBracketsInStringsAside) {
    EXPECT_FALSE(parseProtocolJSON(nested(deepestProtocolNesting)).is_discarded());
    EXPECT_TRUE(parseProtocolJSON(nested(deepestProtocolNesting + 1)).is_discarded());
    EXPECT_TRUE(parseProtocolJSON("{\"a\":" + nested(deepestProtocolNesting) + "}").is_discarded());
    EXPECT_TRUE(parseProtocolJSON(std::string(4'000'000, '[')).is_discarded());
    for (const char* line : {"", "{", "garbage", "{\"id\":1,}", "\xff\xfe"})
        EXPECT_TRUE(parseProtocolJSON(line).is_discarded()) << line;

    // Brackets inside strings do not count.
    const std::string brackets(1000, '[');
    EXPECT_EQ(parseProtocolJSON("{\"text\":\"" + brackets + "\"}")["text"], brackets);
    // An escaped quote does not end the string.
    EXPECT_EQ(parseProtocolJSON("[\"\\\"" + brackets + "\"]")[0], "\"" + brackets);
    // Closing brackets in a string do not make room for more levels outside it.
    const std::string closers = "\"" + std::string(1000, ']') + "\"";
    EXPECT_TRUE(parseProtocolJSON(nested(deepestProtocolNesting, closers + "," + nested(2))).is_discarded());
}

TEST_F(WidgetRunnerRequests, DescribesWidgetsAndIntentsUnderTheRequestsUsableId) {
    EXPECT_EQ(ask("describe", json::object()), json::parse(R"({"id": 7, "result": {"protocol": 1,
        "widgets": [{"kind": "Count", "displayName": "Count", "description": "Counts.", "families": ["small"],
                     "contentMarginsDisabled": false}], "intents": ["CountingIntent"]}})"));
    EXPECT_EQ(ask(json{{"id", "abc"}, {"method", "describe"}})["id"], "abc");
    for (const json& unusable : {json::array(), json(1.5)})
        EXPECT_TRUE(ask(json{{"id", unusable}, {"method", "describe"}})["id"].is_null()) << unusable;
}

TEST_F(WidgetRunnerRequests, EntriesAreRenderedWhenTheHostAsksAndOldOnesDroppedNeverMixedUp) {
    const auto timeline = ask("timeline", small())["result"];
    ASSERT_EQ(timeline["entries"].size(), 2u);
    EXPECT_EQ(timeline["entries"][1]["date"], 3620.0);
    EXPECT_EQ(timeline["policy"], (json{{"type", "after"}, {"date", 7200.0}}));

    const auto render = ask("render", small({{"entry", timeline["entries"][1]["id"]}}));
    const auto reading = platform::displayListFromJSON(render["result"]["displayList"]);
    ASSERT_TRUE(reading.displayList) << reading.error;
    EXPECT_EQ(std::get<platform::TextRun>(reading.displayList->items.at(0)).text, "3");

    const auto preview = ask("snapshot", small({{"isPreview", true}}))["result"]["entry"];
    EXPECT_NE(ask("render", small({{"entry", preview["id"]}})).dump().find("\"100\""), std::string::npos);

    const auto first = ask("placeholder", small())["result"]["entry"]["id"];
    for (std::size_t count = 0; count < WidgetRunner::maximumKeptEntries; ++count)
        ask("placeholder", small());
    EXPECT_EQ(errorCode(ask("render", small({{"entry", first}}))), "unknown-entry");
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
    // By the error each gets; the last is nested deeper than any request may
    // be, refused before anything recurses into it.
    const std::vector<std::pair<std::string, std::vector<std::string>>> cases{
        {"bad-request",
         {"", "null", "[1,2]", "{\"id\":1}", "{\"id\":1,\"method\":42}", "{\"id\":1,\"method\":\"timeline\"}",
          "\xff\xfe{{{",
          R"({"id":1,"method":"perform","params":{"intent":{"type":"CountingIntent","parameters":{"by":1,"x":)" +
              nested(100) + "}}}}"}},
        {"unknown-method", {"{\"id\":1,\"method\":\"fly\"}"}},
        {"unknown-kind", {R"({"id":1,"method":"timeline","params":{"kind":"Other","family":"small"}})"}},
        {"too-large", {std::string(WidgetRunner::maximumRequestSize + 1, '{')}}};
    for (const auto& [code, requests] : cases)
        for (const auto& request : requests) {
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

TEST_F(WidgetRunnerRequests, ServingAnswersEveryLineOnceAndRunsIntentsInOrderWhileOtherRequestsGoOn) {
    CountingIntent::total = 0;
    std::string input;
    for (int id = 0; id < 200; ++id)
        input += R"({"id": )" + std::to_string(id) +
                 R"(, "method": "perform", "params": {"intent": {"type": "CountingIntent", )"
                 R"("parameters": {"by": 1}}}})"
                 "\n"
                 R"({"method": "describe", "id": )" +
                 std::to_string(1000 + id) + "}\n";
    input += "garbage\n" + std::string(WidgetRunner::maximumRequestSize * 2, 'x') + "\n";
    input += "{\"id\": 5000, \"method\": \"describe\"}"; // the last line may lack its newline
    const auto replies = repliesTo(input, 4093);         // in awkward pieces
    ASSERT_EQ(replies.size(), 403u);
    EXPECT_EQ(CountingIntent::total, 200);
    std::set<int> answered;
    int errors = 0;
    int previous = -1;
    for (const auto& reply : replies) {
        errors += reply.contains("error");
        if (!reply["id"].is_number())
            continue;
        const int id = reply["id"].get<int>();
        answered.insert(id);
        if (id < 1000) { // intent replies keep their order
            EXPECT_GT(id, previous);
            previous = id;
        }
    }
    EXPECT_EQ(answered.size(), 401u);
    EXPECT_EQ(errors, 2) << "the garbage line and the oversized one";

    // Even when that last line is too large (replies may come in either order).
    const auto last = repliesTo("{\"id\":1,\"method\":\"describe\"}\n" +
                                std::string(WidgetRunner::maximumRequestSize + 10, 'x'));
    ASSERT_EQ(last.size(), 2u);
    EXPECT_EQ(errorCode(last[0]) + errorCode(last[1]), "too-large");
}
