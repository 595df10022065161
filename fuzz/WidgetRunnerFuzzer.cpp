// What the widget runner accepts from a host. Each input is a run of request
// lines, served by the real Tarvelo bundle twice: line by line through
// reply(), and as a byte stream through serve() over a socket pair, written
// in chunks of sizes drawn from the input. Checks that
//
//  - every reply is one JSON object with an "id" (null, an integer or a
//    string) and exactly one of "result" and "error", an error having a
//    string code and message;
//  - a kept step whose request names widgets to "render" answers with a
//    "widgets" array, each one with its entries and display list;
//  - the stream gets exactly one reply line per request line.
//
// Intents run for real: the month steps in a defaults folder of the run's own.
#include "Platform/Defaults/UserDefaults.h"
#include "Platform/Widgets/WidgetRunner.h"
#include "TarveloWidget/TarveloWidget.h"
#include "fuzz/FuzzSupport.h"
#include "tests/Support/FakeTextMeasurer.h"
#include "tests/Support/ServeOverSockets.h"

#include <nlohmann/json.hpp>

namespace {

using namespace tarvelo::fuzzing;

void checkReply(std::string_view line) {
    const auto reply = nlohmann::json::parse(line, nullptr, /*allow_exceptions=*/false);
    if (!reply.is_object())
        fail("a reply is not one JSON object", line);
    const auto id = reply.find("id");
    if (id == reply.end() || !(id->is_null() || id->is_number_integer() || id->is_string()))
        fail("a reply has no usable \"id\"", line);
    const bool hasResult = reply.contains("result");
    const auto error = reply.find("error");
    if (hasResult == (error != reply.end()))
        fail("a reply has not exactly one of \"result\" and \"error\"", line);
    if (!hasResult && (!error->is_object() || !error->value("code", nlohmann::json()).is_string() ||
                       !error->value("message", nlohmann::json()).is_string()))
        fail("an error reply has no code and message", line);
}

void checkStepReply(std::string_view requestLine, std::string_view replyLine) {
    const auto request = nlohmann::json::parse(requestLine, nullptr, false);
    if (!request.is_object() || request.value("method", nlohmann::json()) != "perform")
        return;
    const auto params = request.value("params", nlohmann::json());
    const auto reply = nlohmann::json::parse(replyLine, nullptr, false);
    if (!params.is_object() || !params.contains("render") || params["render"].is_null() ||
        !reply.contains("result"))
        return;
    const auto& widgets = reply["result"].value("widgets", nlohmann::json());
    if (!widgets.is_array())
        fail("a kept step asked for pictures has no \"widgets\" array", replyLine);
    for (const auto& widget : widgets)
        if (!widget.is_object() || !widget.value("entries", nlohmann::json()).is_array() ||
            !widget.value("displayList", nlohmann::json()).is_object())
            fail("a step's widget lacks its entries or display list", replyLine);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    ::setenv("XDG_CONFIG_HOME", memoryBackedFolder().c_str(), 1);
    platform::UserDefaults::setStandardDomain("fuzz.widget-runner");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const tarvelo::testsupport::FakeTextMeasurer measurer;
    const std::string_view input = textOf(data, size);
    const auto lines = linesOf(input);

    // A fresh runner for each input, so entry ids start at 1 and a render
    // request can name an entry an earlier line of the same input made.
    {
        platform::WidgetRunner runner(tarvelo::TarveloWidgetBundle().body(), measurer);
        for (const auto line : lines) {
            const std::string reply = runner.reply(line);
            if (reply.find('\n') != std::string::npos)
                fail("a reply spans more than one line", reply);
            checkReply(reply);
            checkStepReply(line, reply);
        }
    }

    // The stream in pieces of sizes from a generator seeded by the input, so
    // a replay splits alike.
    std::uint32_t state = 2166136261u;
    for (const unsigned char byte : input)
        state = (state ^ byte) * 16777619u;
    platform::WidgetRunner runner(tarvelo::TarveloWidgetBundle().body(), measurer);
    const std::string output = tarvelo::testsupport::serveOverSockets(runner, input, [&state] {
        state = state * 1664525u + 1013904223u;
        return 1 + (state >> 8) % (state & 0x80 ? 7 : 600);
    });
    std::size_t requests = 0;
    for (const auto line : lines)
        requests += !line.empty();
    const auto replies = linesOf(output);
    if (!output.empty() && output.back() != '\n')
        fail("the last reply does not end its line", output);
    if (replies.size() != requests)
        fail("the stream did not get exactly one reply per request line", input);
    for (const auto reply : replies)
        checkReply(reply);
    return 0;
}
