// A widget extension that misbehaves on purpose, for the widget host's
// tests. It serves the real Tarvelo widget until it has answered
// TARVELO_TEST_GOOD_REPLIES requests (default 0), then does what
// TARVELO_TEST_EXTENSION_MODE says:
//   good             keep serving
//   crash            abort before answering
//   crash-mid-reply  write half a reply, then abort
//   hang             stop answering, keep running
//   deaf             stop reading its input, answer this request, keep running
//   slow             answer every request after 300 ms
//   garbage          answer with lines that are no replies
//   misshapen        answer with the right id but a result of the wrong shape:
//                    a description of a widget whose kind is no text, a
//                    number, an array, and round again
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
// (timelines due again at once) instead of Tarvelo's.

#include "Platform/Painter/PangoTextMeasurer.h"
#include "Platform/Painter/TextEngine.h"
#include "Platform/Widgets/WidgetRunner.h"
#include "TarveloWidget/TarveloWidget.h"
#include "tests/Support/TestBundle.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

using nlohmann::json;

namespace {

void writeOut(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

std::string variable(const char* name, const char* fallback = "") {
    const char* value = std::getenv(name);
    return value ? value : fallback;
}

} // namespace

extern char** environ;

int main() {
    std::string mode = variable("TARVELO_TEST_EXTENSION_MODE", "good");
    if (mode == "environment") {
        std::ofstream output(variable("TARVELO_TEST_ENVIRONMENT_DUMP"));
        for (char** entry = environ; *entry; ++entry)
            output << *entry << "\n";
        mode = "good";
    }
    if (mode == "fork") {
        const pid_t child = ::fork();
        if (child == 0) {
            ::sleep(600);
            ::_exit(0);
        }
        std::ofstream(variable("TARVELO_TEST_CHILD_FILE")) << child << "\n";
        mode = "good";
    }
    const long goodReplies = std::atol(variable("TARVELO_TEST_GOOD_REPLIES", "0").c_str());
    const std::string requestLog = variable("TARVELO_TEST_REQUEST_LOG");

    platform::TextEngine engine;
    platform::PangoTextMeasurer measurer(engine);
    platform::WidgetRunner runner(variable("TARVELO_TEST_BUNDLE") == "count"
                                      ? tarvelo::testsupport::countBundle()
                                      : tarvelo::TarveloWidgetBundle().body(),
                                  measurer);
    long answered = 0;
    for (std::string line; std::getline(std::cin, line); ++answered) {
        auto request = json::parse(line, nullptr, false);
        if (!requestLog.empty())
            std::ofstream(requestLog, std::ios::app) << request.value("method", "?") << "\n";
        if (mode == "old" && request["params"].is_object()) {
            request["params"].erase("render");
            line = request.dump();
        }
        const std::string reply = runner.reply(line) + "\n";
        if (mode == "good" || mode == "old" || answered < goodReplies) {
            writeOut(reply);
        } else if (mode == "crash") {
            std::abort();
        } else if (mode == "crash-mid-reply") {
            writeOut(reply.substr(0, reply.size() / 2));
            std::abort();
        } else if (mode == "hang" || mode == "deaf") {
            if (mode == "deaf") {
                ::shutdown(STDIN_FILENO, SHUT_RD); // the host's next write fails at once
                writeOut(reply);
            }
            std::this_thread::sleep_for(std::chrono::seconds(120));
            return 0;
        } else if (mode == "slow") {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            writeOut(reply);
        } else if (mode == "garbage") {
            writeOut("{\"id\": \"not yours\"}\n\x01\x02\xff garbage\n[1,2,3]\n{\"result\": {}}\n");
        } else if (mode == "misshapen") {
            const json shapes[] = {json::parse(R"({"widgets": [{"kind": 5}]})"), 5, json::array({5})};
            writeOut(json{{"id", request.value("id", json())}, {"result", shapes[answered % 3]}}.dump() +
                     "\n");
        } else if (mode == "enormous") {
            writeOut(std::string(6 * 1024 * 1024, 'x'));
        } else if (mode == "exit") {
            writeOut(reply);
            return 0;
        }
    }
    return 0;
}
