#pragma once

#include "Platform/View/TextMeasurer.h"
#include "Platform/Widgets/WidgetBundle.h"

#include <cstdint>
#include <map>
#include <mutex>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

namespace platform {

// Serves the widget host over a pair of file descriptors: one JSON request
// per line in, exactly one JSON reply per line out (docs/widget-protocol.md).
//
// Requests run on threads the runner chooses: intents one after another on
// the thread that reads the requests (no hand-off between a click and its
// step), everything else on a worker, so a render already asked for never
// waits for an intent. Nothing the host sends can crash the
// runner: every malformed, oversized or unknown request gets an error reply.
class WidgetRunner {
public:
    static constexpr int protocolVersion = 1;
    // Longest request line accepted; longer ones are refused whole.
    static constexpr std::size_t maximumRequestSize = 64 * 1024;
    // Entries kept for later render requests; the oldest go first.
    static constexpr std::size_t maximumKeptEntries = 256;

    WidgetRunner(WidgetBundleContents contents, const TextMeasurer& measurer);

    // Reads requests until the end of input, then finishes the requests in
    // flight and returns.
    void serve(int input, int output);

    // Answers one request line (without its newline) in the calling thread.
    std::string reply(std::string_view requestLine);
    // The same for a request already parsed.
    std::string replyTo(const nlohmann::json& request);

    // The "describe" result: protocol version, widgets, intents.
    nlohmann::json description() const;

private:
    static std::string tooLargeReply();
    nlohmann::json handle(const nlohmann::json& request);
    nlohmann::json entryReply(const std::string& kind, const WidgetConfiguration::EntryRecord& entry);
    const WidgetConfiguration* widget(const nlohmann::json& parameters) const;
    TimelineProviderContext context(const nlohmann::json& parameters, bool isPreview) const;
    nlohmann::json render(const nlohmann::json& parameters);
    // A timeline's reply; `current`, when given, is set to the id of the entry to show now.
    nlohmann::json timelineReply(const nlohmann::json& parameters, std::uint64_t* current);
    // The timelines and pictures a step's reply carries, for the widgets `wanted` names.
    nlohmann::json widgetsAfterStep(const nlohmann::json& wanted);
    nlohmann::json perform(const nlohmann::json& parameters);

    WidgetBundleContents contents_;
    const TextMeasurer& measurer_;

    struct KeptEntry {
        std::string kind;
        WidgetConfiguration::EntryRecord entry;
    };
    std::mutex layoutLock_;
    std::mutex entriesLock_;
    std::map<std::uint64_t, KeptEntry> entries_;
    std::uint64_t nextEntryIdentifier_ = 1;
};

} // namespace platform
