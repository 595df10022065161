#include <gtest/gtest.h>

#include <algorithm>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

#include "TestBundle.h"
#include "WidgetRunner.h"

using namespace tarvelo::testsupport;
using nlohmann::json;

namespace {

// Runs the runner on one end of a socket pair; the test is the host.
class ServedRunner {
public:
    ServedRunner() {
        int sockets[2];
        EXPECT_EQ(::socketpair(AF_UNIX, SOCK_STREAM, 0, sockets), 0);
        host_ = sockets[0];
        extension_ = sockets[1];
        thread_ = std::thread([this] {
            platform::WidgetRunner(countBundle(), measurer_).serve(extension_, extension_);
            ::close(extension_);
        });
    }
    ~ServedRunner() {
        finishInput();
        thread_.join();
        ::close(host_);
    }
    void send(const std::string& text) { ASSERT_EQ(::write(host_, text.data(), text.size()), static_cast<ssize_t>(text.size())); }
    void finishInput() {
        if (!inputFinished_)
            ::shutdown(host_, SHUT_WR);
        inputFinished_ = true;
    }
    // Every reply line until the runner closes its side.
    std::vector<json> allReplies() {
        finishInput();
        std::string text;
        char buffer[4096];
        for (ssize_t count; (count = ::read(host_, buffer, sizeof buffer)) > 0;)
            text.append(buffer, static_cast<std::size_t>(count));
        std::vector<json> replies;
        for (std::size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
            replies.push_back(json::parse(text.substr(start, end - start)));
        return replies;
    }

private:
    FakeTextMeasurer measurer_;
    int host_ = -1;
    int extension_ = -1;
    bool inputFinished_ = false;
    std::thread thread_;
};

} // namespace

TEST(WidgetRunnerServe, AnswersEveryLineExactlyOnceWhateverItHolds) {
    ServedRunner runner;
    std::string input;
    for (int id = 0; id < 20; ++id)
        input += json{{"id", id}, {"method", id % 2 ? "describe" : "perform"},
                      {"params", {{"intent", {{"type", "CountingIntent"}, {"parameters", {{"by", 1}}}}}}}}
                     .dump() +
                 "\n";
    input += "garbage\n";
    input += std::string(platform::WidgetRunner::maximumRequestSize * 2, 'x') + "\n";
    input += "{\"id\": 99, \"method\": \"describe\"}"; // the last line may lack its newline
    // Arrives in awkward pieces.
    for (std::size_t offset = 0; offset < input.size(); offset += 4093)
        runner.send(input.substr(offset, 4093));

    const auto replies = runner.allReplies();
    ASSERT_EQ(replies.size(), 23u);
    std::set<int> answered;
    int errors = 0;
    for (const auto& reply : replies) {
        if (reply["id"].is_number())
            answered.insert(reply["id"].get<int>());
        errors += reply.contains("error");
    }
    EXPECT_EQ(answered.size(), 21u) << "ids 0-19 and 99";
    EXPECT_EQ(errors, 2) << "the garbage line and the oversized one";
}

TEST(WidgetRunnerServe, IntentsRunOneAfterAnotherWhileOtherRequestsGoOn) {
    CountingIntent::total = 0;
    ServedRunner runner;
    std::string input;
    for (int id = 0; id < 200; ++id)
        input += json{{"id", id}, {"method", "perform"},
                      {"params", {{"intent", {{"type", "CountingIntent"}, {"parameters", {{"by", 1}}}}}}}}
                     .dump() +
                 "\n" + json{{"id", 1000 + id}, {"method", "describe"}}.dump() + "\n";
    runner.send(input);
    const auto replies = runner.allReplies();
    EXPECT_EQ(replies.size(), 400u);
    EXPECT_EQ(CountingIntent::total, 200);
    // Intent replies keep their order.
    int previous = -1;
    for (const auto& reply : replies)
        if (reply["id"].get<int>() < 1000) {
            EXPECT_GT(reply["id"].get<int>(), previous);
            previous = reply["id"].get<int>();
        }
}

TEST(WidgetRunnerServe, ALastLineWithoutNewlineIsAnsweredEvenWhenTooLarge) {
    ServedRunner runner;
    runner.send(R"({"id":1,"method":"describe"})" "\n");
    runner.send(std::string(platform::WidgetRunner::maximumRequestSize + 10, 'x'));
    const auto replies = runner.allReplies();
    ASSERT_EQ(replies.size(), 2u);
    // Replies may come in either order.
    EXPECT_EQ(std::count_if(replies.begin(), replies.end(),
                            [](const json& reply) { return reply.contains("error") && reply["error"]["code"] == "too-large"; }),
              1);
}
