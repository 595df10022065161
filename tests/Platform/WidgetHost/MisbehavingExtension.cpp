// A widget extension that misbehaves on purpose, for the widget host's
// fault tests. It serves the real Tarvelo widget until it has answered
// TARVELO_TEST_GOOD_REPLIES requests (default 0), then does what
// TARVELO_TEST_EXTENSION_MODE says:
//   good             keep serving
//   crash            abort before answering
//   crash-mid-reply  write half a reply, then abort
//   hang             stop answering, keep running
//   slow             answer every request after 300 ms
//   garbage          answer with lines that are no replies
//   misshapen        answer with the right id but a result of the wrong shape
//   enormous         write a 6 MiB line
//   exit             answer, then exit
//   mute             read every request, answer none (not even "describe")
//   fork             start a child that would outlive it, write the child's
//                    process id to the file TARVELO_TEST_CHILD_FILE names,
//                    then keep serving
//   old              serve, answering a step without the pictures its
//                    request asks for, as extensions did before they could
//   environment      write the environment, one variable per line, to the
//                    file TARVELO_TEST_ENVIRONMENT_DUMP names, then keep serving
// TARVELO_TEST_REQUEST_LOG names a file that gets each request's method, one
// per line; TARVELO_TEST_BUNDLE=count serves the counting test widget
// (timelines due again at once) instead of Tarvelo's; TARVELO_TEST_CLOCK_FILE
// names a file whose number (seconds since 1970) is the Tarvelo widget's
// "now", read at each use.

#include "Platform/Painter/PangoTextMeasurer.h"
#include "Platform/Painter/TextEngine.h"
#include "Platform/Widgets/WidgetRunner.h"
#include "TarveloWidget/MonthProvider.h"
#include "TarveloWidget/MonthStepIntent.h"
#include "TarveloWidget/TarveloWidget.h"
#include "TarveloWidget/WidgetRendering.h"
#include "tests/Support/TestBundle.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

void writeOut(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

// Tarvelo's widget as it ships, but on the clock the file tells.
platform::WidgetBundleContents bundleOnClock(const std::string& clockFile) {
    const auto clock = [clockFile] {
        double seconds = 0;
        std::ifstream(clockFile) >> seconds;
        return platform::Instant::sinceUnixEpoch(seconds);
    };
    const tarvelo::TarveloWidget shipped;
    const auto sharedStore = []() -> tarvelo::MonthOffsetStore& {
        return tarvelo::MonthOffsetStore::shared();
    };
    return platform::WidgetBundleBuilder()
        .widget(platform::StaticConfiguration(shipped.kind, tarvelo::MonthProvider(sharedStore, clock),
                                              std::function<platform::View(const tarvelo::MonthEntry&)>(
                                                  [clock](const tarvelo::MonthEntry& entry) {
                                                      return tarvelo::widgetContent(entry, clock);
                                                  }))
                    .supportedFamilies(
                        {platform::WidgetFamily::systemSmall, platform::WidgetFamily::systemMedium})
                    .contentMarginsDisabled())
        .intent<tarvelo::MonthStepIntent>()
        .build();
}

} // namespace

extern char** environ;

int main() {
    const char* modeVariable = std::getenv("TARVELO_TEST_EXTENSION_MODE");
    std::string mode = modeVariable ? modeVariable : "good";
    if (mode == "environment") {
        if (const char* dump = std::getenv("TARVELO_TEST_ENVIRONMENT_DUMP")) {
            std::ofstream output(dump);
            for (char** entry = environ; *entry; ++entry)
                output << *entry << "\n";
        }
        mode = "good";
    }
    if (mode == "fork") {
        const pid_t child = ::fork();
        if (child == 0) {
            ::sleep(600);
            ::_exit(0);
        }
        if (const char* file = std::getenv("TARVELO_TEST_CHILD_FILE"))
            std::ofstream(file) << child << "\n";
        mode = "good";
    }
    const char* goodVariable = std::getenv("TARVELO_TEST_GOOD_REPLIES");
    const long goodReplies = goodVariable ? std::atol(goodVariable) : 0;

    platform::TextEngine engine;
    platform::PangoTextMeasurer measurer(engine);
    const char* bundle = std::getenv("TARVELO_TEST_BUNDLE");
    const char* clockFile = std::getenv("TARVELO_TEST_CLOCK_FILE");
    platform::WidgetRunner runner(bundle && std::string(bundle) == "count"
                                      ? tarvelo::testsupport::countBundle()
                                  : clockFile ? bundleOnClock(clockFile)
                                              : tarvelo::TarveloWidgetBundle().body(),
                                  measurer);
    const char* requestLog = std::getenv("TARVELO_TEST_REQUEST_LOG");

    long answered = 0;
    std::string line;
    while (std::getline(std::cin, line)) {
        if (requestLog)
            std::ofstream(requestLog, std::ios::app)
                << nlohmann::json::parse(line, nullptr, false).value("method", "?") << "\n";
        std::string asked = line;
        if (mode == "old") {
            auto parsed = nlohmann::json::parse(line, nullptr, false);
            if (parsed.is_object() && parsed["params"].is_object()) {
                parsed["params"].erase("render");
                asked = parsed.dump();
            }
        }
        const std::string reply = runner.reply(asked) + "\n";
        if (mode == "good" || mode == "old" || answered < goodReplies) {
            writeOut(reply);
        } else if (mode == "crash") {
            std::abort();
        } else if (mode == "crash-mid-reply") {
            writeOut(reply.substr(0, reply.size() / 2));
            std::abort();
        } else if (mode == "hang") {
            std::this_thread::sleep_for(std::chrono::seconds(120));
            return 0;
        } else if (mode == "slow") {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            writeOut(reply);
        } else if (mode == "garbage") {
            writeOut("{\"id\": \"not yours\"}\n\x01\x02\xff garbage\n[1,2,3]\n{\"result\": {}}\n");
        } else if (mode == "misshapen") {
            const auto request = nlohmann::json::parse(line, nullptr, false);
            const auto id = request.is_object() ? request.value("id", nlohmann::json()) : nlohmann::json();
            writeOut(nlohmann::json{{"id", id},
                                    {"result", answered % 2 ? nlohmann::json(5) : nlohmann::json::array({5})}}
                         .dump() +
                     "\n");
        } else if (mode == "enormous") {
            writeOut(std::string(6 * 1024 * 1024, 'x'));
        } else if (mode == "mute") {
            continue;
        } else if (mode == "exit") {
            writeOut(reply);
            return 0;
        }
        ++answered;
    }
    return 0;
}
