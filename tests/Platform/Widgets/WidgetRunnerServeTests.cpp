#include "tests/Support/ServeOverSockets.h"
#include "tests/Support/TestBundle.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <set>

using namespace tarvelo::testsupport;
using nlohmann::json;

namespace {

// Every reply line the runner wrote, serving `input` in pieces of `piece` bytes.
std::vector<json> repliesTo(const std::string& input, std::size_t piece = std::string::npos) {
    FakeTextMeasurer measurer;
    platform::WidgetRunner runner(countBundle(), measurer);
    const std::string text = serveOverSockets(runner, input, [piece] { return piece; });
    std::vector<json> replies;
    for (std::size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        replies.push_back(json::parse(text.substr(start, end - start)));
    return replies;
}

} // namespace

TEST(WidgetRunnerServe, AnswersEveryLineOnceAndRunsIntentsInOrderWhileOtherRequestsGoOn) {
    CountingIntent::total = 0;
    std::string input;
    for (int id = 0; id < 200; ++id)
        input += json{{"id", id},
                      {"method", "perform"},
                      {"params", {{"intent", {{"type", "CountingIntent"}, {"parameters", {{"by", 1}}}}}}}}
                     .dump() +
                 "\n" + json{{"id", 1000 + id}, {"method", "describe"}}.dump() + "\n";
    input += "garbage\n";
    input += std::string(platform::WidgetRunner::maximumRequestSize * 2, 'x') + "\n";
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
        // Intent replies keep their order.
        if (id < 1000) {
            EXPECT_GT(id, previous);
            previous = id;
        }
    }
    EXPECT_EQ(answered.size(), 401u);
    EXPECT_EQ(errors, 2) << "the garbage line and the oversized one";
}

TEST(WidgetRunnerServe, ALastLineWithoutNewlineIsAnsweredEvenWhenTooLarge) {
    const auto replies = repliesTo(R"({"id":1,"method":"describe"})"
                                   "\n" +
                                   std::string(platform::WidgetRunner::maximumRequestSize + 10, 'x'));
    ASSERT_EQ(replies.size(), 2u);
    // Replies may come in either order.
    EXPECT_EQ(std::count_if(replies.begin(), replies.end(),
                            [](const json& reply) {
                                return reply.contains("error") && reply["error"]["code"] == "too-large";
                            }),
              1);
}
