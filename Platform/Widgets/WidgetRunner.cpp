#include "Platform/Widgets/WidgetRunner.h"

#include "Platform/Files/FileReplacement.h"
#include "Platform/View/DisplayListJSON.h"
#include "Platform/View/Layout.h"
#include "Platform/Widgets/ProtocolJSON.h"
#include "Platform/Widgets/WidgetEnvironment.h"

#include <cerrno>
#include <cmath>
#include <condition_variable>
#include <deque>
#include <functional>
#include <thread>
#include <unistd.h>

namespace platform {

namespace {

// A request the runner refuses; becomes the reply's "error".
struct RequestError {
    std::string code;
    std::string message;
};

const nlohmann::json& member(const nlohmann::json& object, const char* name) {
    static const nlohmann::json absent;
    if (!object.is_object())
        return absent;
    const auto found = object.find(name);
    return found == object.end() ? absent : *found;
}

std::string requiredText(const nlohmann::json& parameters, const char* name) {
    const auto& value = member(parameters, name);
    if (!value.is_string())
        throw RequestError{"bad-request", std::string("\"") + name + "\" must be a string"};
    return value.get<std::string>();
}

double requiredLength(const nlohmann::json& parameters, const char* name) {
    const auto& value = member(parameters, name);
    // A widget is a few hundred points; anything beyond this is a mistake.
    constexpr double largest = 4096.0;
    if (!value.is_number() || !std::isfinite(value.get<double>()) || value.get<double>() <= 0.0 ||
        value.get<double>() > largest)
        throw RequestError{"bad-request", std::string("\"") + name + "\" must be a length in (0, 4096]"};
    return value.get<double>();
}

nlohmann::json policyJSON(const TimelineReloadPolicy& policy) {
    switch (policy.kind()) {
    case TimelineReloadPolicy::Kind::never:
        return {{"type", "never"}};
    case TimelineReloadPolicy::Kind::atEnd:
        return {{"type", "atEnd"}};
    case TimelineReloadPolicy::Kind::after:
        return {{"type", "after"}, {"date", policy.date().timeIntervalSinceReferenceDate()}};
    }
    return {{"type", "never"}};
}

// A worker thread with a queue; jobs run one after another in order.
class Worker {
public:
    Worker()
        : thread_([this] { run(); }) {}
    ~Worker() {
        {
            std::lock_guard guard(lock_);
            stopping_ = true;
        }
        wake_.notify_one();
        thread_.join();
    }
    void post(std::function<void()> job) {
        {
            std::lock_guard guard(lock_);
            jobs_.push_back(std::move(job));
        }
        wake_.notify_one();
    }

private:
    void run() {
        for (;;) {
            std::function<void()> job;
            {
                std::unique_lock guard(lock_);
                wake_.wait(guard, [&] { return stopping_ || !jobs_.empty(); });
                if (jobs_.empty())
                    return;
                job = std::move(jobs_.front());
                jobs_.pop_front();
            }
            job();
        }
    }

    std::mutex lock_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> jobs_;
    bool stopping_ = false;
    std::thread thread_;
};

} // namespace

WidgetRunner::WidgetRunner(WidgetBundleContents contents, const TextMeasurer& measurer)
    : contents_(std::move(contents))
    , measurer_(measurer) {}

nlohmann::json WidgetRunner::description() const {
    nlohmann::json widgets = nlohmann::json::array();
    for (const auto& widget : contents_.widgets) {
        nlohmann::json families = nlohmann::json::array();
        for (WidgetFamily family : widget.families())
            families.push_back(std::string(name(family)));
        widgets.push_back({{"kind", widget.kind()},
                           {"displayName", widget.displayName()},
                           {"description", widget.descriptionText()},
                           {"families", families},
                           {"contentMarginsDisabled", widget.contentMarginsAreDisabled()}});
    }
    nlohmann::json intents = nlohmann::json::array();
    for (const auto& intent : contents_.intents)
        intents.push_back(intent.typeName);
    return {{"protocol", protocolVersion}, {"widgets", widgets}, {"intents", intents}};
}

std::string WidgetRunner::reply(std::string_view requestLine) {
    if (requestLine.size() > maximumRequestSize)
        return tooLargeReply();
    return replyTo(parseProtocolJSON(requestLine));
}

std::string WidgetRunner::tooLargeReply() {
    return nlohmann::json{{"id", nullptr},
                          {"error", {{"code", "too-large"}, {"message", "request longer than 64 KiB"}}}}
        .dump();
}

std::string WidgetRunner::replyTo(const nlohmann::json& request) {
    nlohmann::json answer = {{"id", nullptr}};
    if (request.is_object()) {
        const auto& id = member(request, "id");
        if (id.is_number_integer() || id.is_string())
            answer["id"] = id;
    }
    try {
        if (!request.is_object())
            throw RequestError{"bad-request", "a request is one JSON object"};
        answer["result"] = handle(request);
    } catch (const RequestError& error) {
        answer["error"] = {{"code", error.code}, {"message", error.message}};
    } catch (const std::exception& error) {
        answer["error"] = {{"code", "internal"}, {"message", error.what()}};
    }
    return answer.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

nlohmann::json WidgetRunner::handle(const nlohmann::json& request) {
    const std::string method = requiredText(request, "method");
    const auto& parameters = member(request, "params");
    if (method == "describe")
        return description();
    if (method == "placeholder") {
        const auto* configuration = widget(parameters);
        return entryReply(configuration->kind(), configuration->placeholder(context(parameters, false)));
    }
    if (method == "snapshot") {
        const auto* configuration = widget(parameters);
        const auto& preview = member(parameters, "isPreview");
        return entryReply(
            configuration->kind(),
            configuration->snapshot(context(parameters, preview.is_boolean() && preview.get<bool>())));
    }
    if (method == "timeline")
        return timelineReply(parameters, nullptr);
    if (method == "render")
        return render(parameters);
    if (method == "perform")
        return perform(parameters);
    throw RequestError{"unknown-method", "no method \"" + method + "\""};
}

const WidgetConfiguration* WidgetRunner::widget(const nlohmann::json& parameters) const {
    const std::string kind = requiredText(parameters, "kind");
    for (const auto& configuration : contents_.widgets)
        if (configuration.kind() == kind)
            return &configuration;
    throw RequestError{"unknown-kind", "no widget of kind \"" + kind + "\""};
}

TimelineProviderContext WidgetRunner::context(const nlohmann::json& parameters, bool isPreview) const {
    const auto family = widgetFamilyNamed(requiredText(parameters, "family"));
    if (!family)
        throw RequestError{"bad-request", "\"family\" must be \"small\" or \"medium\""};
    return TimelineProviderContext{
        isPreview, *family, Size{requiredLength(parameters, "width"), requiredLength(parameters, "height")}};
}

nlohmann::json WidgetRunner::entryReply(const std::string& kind,
                                        const WidgetConfiguration::EntryRecord& entry) {
    std::lock_guard guard(entriesLock_);
    const std::uint64_t identifier = nextEntryIdentifier_++;
    entries_.emplace(identifier, KeptEntry{kind, entry});
    while (entries_.size() > maximumKeptEntries)
        entries_.erase(entries_.begin());
    return {{"entry", {{"id", identifier}, {"date", entry.date.timeIntervalSinceReferenceDate()}}}};
}

nlohmann::json WidgetRunner::timelineReply(const nlohmann::json& parameters, std::uint64_t* current) {
    const auto* configuration = widget(parameters);
    const auto timeline = configuration->timeline(context(parameters, false));
    nlohmann::json entries = nlohmann::json::array();
    // The entry to show now, as the host chooses it: the last one whose date
    // has come, or the first when none has.
    const Instant now = Instant::now();
    for (const auto& entry : timeline.entries) {
        entries.push_back(entryReply(configuration->kind(), entry)["entry"]);
        if (current && (entries.size() == 1 || entry.date <= now))
            *current = entries.back()["id"].get<std::uint64_t>();
    }
    return {{"entries", entries}, {"policy", policyJSON(timeline.policy)}};
}

nlohmann::json WidgetRunner::widgetsAfterStep(const nlohmann::json& wanted) {
    nlohmann::json widgets = nlohmann::json::array();
    if (!wanted.is_array())
        return widgets;
    // The step is kept already: a widget that cannot be answered here is
    // left out, and the host asks for it the usual way.
    for (const auto& parameters : wanted) {
        try {
            std::uint64_t current = 0;
            auto answer = timelineReply(parameters, &current);
            if (current == 0)
                continue;
            for (const char* key : {"kind", "family", "width", "height"})
                answer[key] = parameters[key];
            answer["entry"] = current;
            auto renderParameters = parameters;
            renderParameters["entry"] = current;
            answer["displayList"] = std::move(render(renderParameters)["displayList"]);
            widgets.push_back(std::move(answer));
        } catch (const RequestError&) {
        } catch (const std::exception&) {
        }
    }
    return widgets;
}

nlohmann::json WidgetRunner::render(const nlohmann::json& parameters) {
    const auto* configuration = widget(parameters);
    const Size size{requiredLength(parameters, "width"), requiredLength(parameters, "height")};
    const auto& identifier = member(parameters, "entry");
    if (!identifier.is_number_unsigned())
        throw RequestError{"bad-request", "\"entry\" must be an entry id"};
    WidgetConfiguration::EntryRecord entry;
    {
        std::lock_guard guard(entriesLock_);
        const auto found = entries_.find(identifier.get<std::uint64_t>());
        if (found == entries_.end() || found->second.kind != configuration->kind())
            throw RequestError{"unknown-entry", "no such entry of this kind (it may have been dropped)"};
        entry = found->second.entry;
    }
    // The content function runs now, so whatever it reads of the clock (the
    // today mark) is the moment of rendering, not the entry's date.
    // Intents render on the reading thread too (a step's reply carries its
    // pictures), and the measurer is not shared between threads.
    std::lock_guard guard(layoutLock_);
    return {
        {"displayList", toJSON(layout(configuration->content(entry), size, measurer_, widgetEnvironment()))}};
}

nlohmann::json WidgetRunner::perform(const nlohmann::json& parameters) {
    const auto& intent = member(parameters, "intent");
    const std::string type = requiredText(intent, "type");
    for (const auto& known : contents_.intents) {
        if (known.typeName != type)
            continue;
        const auto& values = member(intent, "parameters");
        auto instance = known.make(values.is_object() ? values : nlohmann::json::object());
        const auto result = instance->perform();
        if (result.problem)
            throw RequestError{"not-kept", *result.problem};
        const auto& wanted = member(parameters, "render");
        if (wanted.is_null())
            return nlohmann::json::object();
        return {{"widgets", widgetsAfterStep(wanted)}};
    }
    throw RequestError{"unknown-intent", "no intent of type \"" + type + "\""};
}

void WidgetRunner::serve(int input, int output) {
    std::mutex outputLock;
    const auto send = [&](const std::string& line) {
        std::lock_guard guard(outputLock);
        FileReplacement::writeAll(output, line + "\n");
    };
    {
        // Declared after `send`, so the worker finishes before it goes away.
        Worker requests;
        const auto dispatch = [&](const std::string& line) {
            auto request = parseProtocolJSON(line);
            // An intent runs right here, on the reading thread: a click's
            // step and its new pictures go out without a hand-off between
            // threads, and intents run one after another in their order.
            if (member(request, "method") == "perform")
                send(replyTo(request));
            else
                requests.post([this, &send, request = std::move(request)] { send(replyTo(request)); });
        };

        std::string pending;
        bool discarding = false; // inside a line that is already too long
        char buffer[16384];
        for (;;) {
            const ssize_t count = ::read(input, buffer, sizeof buffer);
            if (count < 0 && errno == EINTR)
                continue;
            if (count <= 0)
                break;
            std::string_view chunk(buffer, static_cast<std::size_t>(count));
            while (!chunk.empty()) {
                const auto newline = chunk.find('\n');
                const std::string_view piece = chunk.substr(0, newline);
                if (!discarding)
                    pending.append(piece);
                if (pending.size() > maximumRequestSize && !discarding) {
                    discarding = true;
                    pending.clear();
                }
                if (newline == std::string_view::npos)
                    break;
                chunk.remove_prefix(newline + 1);
                if (discarding) {
                    send(tooLargeReply());
                    discarding = false;
                } else if (!pending.empty()) {
                    dispatch(pending);
                }
                pending.clear();
            }
        }
        // The last line may lack its newline; it is a request all the same.
        if (discarding)
            send(tooLargeReply());
        else if (!pending.empty())
            dispatch(pending);
    }
}

} // namespace platform
