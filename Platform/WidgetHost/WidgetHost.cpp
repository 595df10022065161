#include "Platform/WidgetHost/WidgetHost.h"

#include "Platform/View/DisplayListJSON.h"
#include "Platform/WidgetHost/DayClock.h"
#include "Platform/WidgetHost/TimelineJSON.h"
#include "Platform/Workspace/Workspace.h"

#include <cmath>
#include <ctime>

namespace platform {

namespace {

nlohmann::json sizeParameters(const std::string& kind, WidgetFamily family) {
    const Size size = WidgetHost::size(family);
    return {{"kind", kind},
            {"family", std::string(name(family))},
            {"width", size.width},
            {"height", size.height}};
}

bool contains(const Rect& frame, Point point) {
    return point.x >= frame.origin.x && point.y >= frame.origin.y &&
           point.x < frame.origin.x + frame.size.width && point.y < frame.origin.y + frame.size.height;
}

} // namespace

WidgetHost::WidgetHost(Options options)
    : options_(std::move(options)) {
    if (!options_.openURL)
        options_.openURL = [](const URL& url) { return Workspace::shared().openURL(url); };
}

WidgetHost::~WidgetHost() {
    stopExtensions();
}

Size WidgetHost::size(WidgetFamily family) {
    switch (family) {
    case WidgetFamily::systemSmall:
        return {170.0, 170.0};
    case WidgetFamily::systemMedium:
        return {364.0, 170.0};
    }
    return {170.0, 170.0};
}

void WidgetHost::loadExtensions() {
    std::lock_guard guard(lock_);
    if (loaded_)
        return;
    loaded_ = true;
    const auto manifests =
        options_.manifests ? *options_.manifests : ExtensionManifest::discover(options_.log);
    for (const auto& manifest : manifests) {
        Extension extension;
        extension.manifest = manifest;
        extension.process = std::make_unique<ExtensionProcess>(manifest.executable);
        extensions_.push_back(std::move(extension));
    }
}

void WidgetHost::describeExtensions() {
    loadExtensions();
    // The list is complete once loaded; only its entries' states change.
    for (auto& extension : extensions_)
        describe(extension);
}

void WidgetHost::describe(Extension& extension) {
    {
        std::lock_guard guard(lock_);
        const Instant now = options_.clock();
        // A wait longer than the longest back-off means the clock was set back.
        const bool waiting = now < extension.askAgain && extension.askAgain - 60.0 < now;
        if (extension.widgets || extension.describing || waiting)
            return;
        extension.describing = true;
    }
    const auto reply = extension.process->request("describe", nlohmann::json::object(), options_.timeout);
    const auto& result = reply.result;
    std::optional<std::vector<WidgetDescription>> widgets;
    if (reply.ok() && result->is_object() && result->value("widgets", nlohmann::json()).is_array()) {
        widgets.emplace();
        for (const auto& widget : (*result)["widgets"]) {
            if (!widget.is_object() || !widget.value("kind", nlohmann::json()).is_string())
                continue;
            WidgetDescription description;
            description.kind = widget["kind"].get<std::string>();
            const auto text = [&](const char* key) {
                const auto value = widget.value(key, nlohmann::json());
                return value.is_string() ? value.get<std::string>() : std::string();
            };
            description.displayName = text("displayName");
            description.description = text("description");
            description.extensionIdentifier = extension.manifest.identifier;
            for (const auto& family : widget.value("families", nlohmann::json::array()))
                if (family.is_string())
                    if (auto known = widgetFamilyNamed(family.get<std::string>()))
                        description.families.push_back(*known);
            widgets->push_back(std::move(description));
        }
    }
    {
        std::lock_guard guard(lock_);
        extension.describing = false;
        if (widgets) {
            extension.widgets = std::move(widgets);
            extension.backoff.succeeded();
            return;
        }
        const auto wait = extension.backoff.failed();
        extension.askAgain = options_.clock() + static_cast<double>(wait.count()) / 1000.0;
    }
    // An extension that keeps failing is not left running meanwhile.
    extension.process->stop();
    options_.log("widget extension " + extension.manifest.identifier + " did not describe itself: " +
                 (reply.ok() ? std::string("its answer was no description") : reply.errorMessage) +
                 "; it is asked again later, less and less often");
}

std::vector<WidgetDescription> WidgetHost::gallery() {
    describeExtensions();
    std::lock_guard guard(lock_);
    std::vector<WidgetDescription> all;
    for (const auto& extension : extensions_)
        if (extension.widgets)
            all.insert(all.end(), extension.widgets->begin(), extension.widgets->end());
    return all;
}

std::string WidgetHost::extensionOffering(const std::string& kind) {
    std::lock_guard guard(lock_);
    for (const auto& extension : extensions_)
        if (extension.widgets)
            for (const auto& widget : *extension.widgets)
                if (widget.kind == kind)
                    return extension.manifest.identifier;
    return "";
}

WidgetHost::Extension* WidgetHost::describedExtensionFor(const std::string& kind, WidgetFamily family,
                                                         std::string& problem) {
    std::lock_guard guard(lock_);
    for (auto& extension : extensions_) {
        if (!extension.widgets)
            continue;
        for (const auto& widget : *extension.widgets) {
            if (widget.kind != kind)
                continue;
            if (std::find(widget.families.begin(), widget.families.end(), family) == widget.families.end()) {
                problem = "widget " + kind + " does not come in the " + std::string(name(family)) + " size";
                return nullptr;
            }
            return &extension;
        }
    }
    problem = "no widget of kind " + kind;
    return nullptr;
}

WidgetHost::Extension* WidgetHost::extensionFor(const std::string& kind, WidgetFamily family,
                                                std::string& problem) {
    loadExtensions();
    // A kind already known never waits for the others.
    if (Extension* known = describedExtensionFor(kind, family, problem))
        return known;
    // Asked one by one, and no further than the one that offers it.
    for (auto& extension : extensions_) {
        describe(extension);
        if (Extension* found = describedExtensionFor(kind, family, problem))
            return found;
    }
    return nullptr;
}

namespace {

std::optional<DisplayList> displayListOf(const nlohmann::json& result, std::string& problem) {
    auto reading = displayListFromJSON(memberOf(result, "displayList"));
    if (!reading.displayList)
        problem = "the extension sent an unusable picture: " + reading.error;
    return std::move(reading.displayList);
}

long dayOf(Instant now) {
    return DayClock::dayNumber(static_cast<std::time_t>(std::floor(now.timeIntervalSince1970())));
}

} // namespace

std::optional<WidgetHost::Picture> WidgetHost::render(Extension& extension, const std::string& kind,
                                                      WidgetFamily family, const nlohmann::json& entry,
                                                      std::string& problem) {
    auto parameters = sizeParameters(kind, family);
    parameters["entry"] = memberOf(entry, "id");
    const auto reply = extension.process->request("render", parameters, options_.timeout);
    if (!reply.ok()) {
        problem = "render failed: " + reply.errorMessage;
        return std::nullopt;
    }
    auto displayList = displayListOf(*reply.result, problem);
    if (!displayList)
        return std::nullopt;
    Picture picture;
    picture.displayList = std::move(*displayList);
    picture.entryDate = entryDate(entry);
    return picture;
}

std::optional<WidgetHost::Picture> WidgetHost::picture(const std::string& kind, WidgetFamily family,
                                                       bool preview, std::string& problem) {
    Extension* extension = extensionFor(kind, family, problem);
    if (!extension)
        return std::nullopt;
    auto parameters = sizeParameters(kind, family);
    std::optional<nlohmann::json> entry;
    if (preview) {
        parameters["isPreview"] = true;
        const auto reply = extension->process->request("snapshot", parameters, options_.timeout);
        if (reply.ok())
            entry = memberOf(*reply.result, "entry");
    } else {
        entry = timelineEntry(*extension, kind, family);
        std::optional<PreparedPicture> prepared;
        {
            std::lock_guard guard(lock_);
            if (auto found = prepared_.find({kind, family}); found != prepared_.end()) {
                prepared = std::move(found->second);
                prepared_.erase(found);
            }
        }
        // Drawn by the step's reply from the very entry chosen now.
        if (prepared && entry && memberOf(*entry, "id") == prepared->entryIdentifier)
            return std::move(prepared->picture);
    }
    bool isPlaceholder = false;
    if (!entry || !entry->is_object()) {
        const auto reply = extension->process->request("placeholder", parameters, options_.timeout);
        if (!reply.ok()) {
            problem = "widget " + kind + " gave no entry: " + reply.errorMessage;
            return std::nullopt;
        }
        entry = memberOf(*reply.result, "entry");
        isPlaceholder = true;
    }
    auto picture = render(*extension, kind, family, *entry, problem);
    const auto forget = [&] {
        std::lock_guard guard(lock_);
        return timelines_.erase({kind, family}) > 0;
    };
    if (!picture && !preview && !isPlaceholder && forget()) {
        // The extension may have been restarted between the timeline and the
        // render, and its entries went with it: ask once more, afresh.
        if (auto fresh = timelineEntry(*extension, kind, family))
            picture = render(*extension, kind, family, *fresh, problem);
    }
    if (picture)
        picture->isPlaceholder = isPlaceholder;
    return picture;
}

std::optional<nlohmann::json> WidgetHost::timelineEntry(Extension& extension, const std::string& kind,
                                                        WidgetFamily family) {
    const Instant now = options_.clock();
    const long today = dayOf(now);
    std::optional<KnownTimeline> known;
    {
        std::lock_guard guard(lock_);
        if (const auto found = timelines_.find({kind, family}); found != timelines_.end())
            known = found->second;
    }
    if (known && known->extensionStart == extension.process->starts() && extension.process->isRunning() &&
        known->day == today && !timelineIsDue(known->policy, known->entries, now))
        return currentTimelineEntry(known->entries, now);

    const auto reply = extension.process->request("timeline", sizeParameters(kind, family), options_.timeout);
    if (!reply.ok()) {
        options_.log("widget " + kind + ": no timeline (" + reply.errorMessage +
                     "), showing its placeholder");
        std::lock_guard guard(lock_);
        timelines_.erase({kind, family});
        return std::nullopt;
    }
    KnownTimeline timeline;
    timeline.entries = memberOf(*reply.result, "entries");
    // An unknown policy is treated as "never": the widget still updates after
    // every intent and restart.
    timeline.policy =
        reloadPolicyFromJSON(memberOf(*reply.result, "policy")).value_or(TimelineReloadPolicy::never());
    timeline.extensionStart = extension.process->starts();
    timeline.day = today;
    auto entry = currentTimelineEntry(timeline.entries, now);
    std::lock_guard guard(lock_);
    timelines_[{kind, family}] = std::move(timeline);
    return entry;
}

void WidgetHost::invalidate(const std::string& kind) {
    std::lock_guard guard(lock_);
    std::erase_if(timelines_, [&](const auto& known) { return known.first.first == kind; });
    std::erase_if(prepared_, [&](const auto& known) { return known.first.first == kind; });
}

void WidgetHost::invalidateAll() {
    std::lock_guard guard(lock_);
    timelines_.clear();
    prepared_.clear();
}

void WidgetHost::keepStepResult(Extension& extension, const std::string& kind, const nlohmann::json& result) {
    const auto& widgets = memberOf(result, "widgets");
    if (!widgets.is_array())
        return;
    const Instant now = options_.clock();
    for (const auto& widget : widgets) {
        const auto& familyName = memberOf(widget, "family");
        const auto family =
            familyName.is_string() ? widgetFamilyNamed(familyName.get<std::string>()) : std::nullopt;
        const auto& entries = memberOf(widget, "entries");
        const auto& entry = memberOf(widget, "entry");
        const Size expected = family ? size(*family) : Size{};
        std::string problem;
        if (!family || memberOf(widget, "kind") != kind || memberOf(widget, "width") != expected.width ||
            memberOf(widget, "height") != expected.height || !entries.is_array() || entry.is_null())
            continue;
        auto displayList = displayListOf(widget, problem);
        if (!displayList) {
            options_.log("widget " + kind + ": " + problem);
            continue;
        }
        KnownTimeline timeline;
        timeline.entries = entries;
        timeline.policy =
            reloadPolicyFromJSON(memberOf(widget, "policy")).value_or(TimelineReloadPolicy::never());
        timeline.extensionStart = extension.process->starts();
        timeline.day = dayOf(now);
        PreparedPicture prepared{entry, Picture{std::move(*displayList), Instant{}, false}};
        for (const auto& candidate : entries)
            if (memberOf(candidate, "id") == entry)
                prepared.picture.entryDate = entryDate(candidate);
        std::lock_guard guard(lock_);
        timelines_[{kind, *family}] = std::move(timeline);
        prepared_[{kind, *family}] = std::move(prepared);
    }
}

const HitRegion* WidgetHost::hitTest(const DisplayList& list, Point point) {
    const HitRegion* found = nullptr;
    for (const auto& item : list.items)
        if (const auto* region = std::get_if<HitRegion>(&item); region && contains(region->frame, point))
            found = region; // later regions lie on top
    return found;
}

WidgetHost::ClickResult WidgetHost::click(const std::string& kind, const Picture& picture, Point point,
                                          std::string& problem) {
    const HitRegion* region = hitTest(picture.displayList, point);
    return region ? click(kind, *region, problem) : ClickResult::nothing;
}

WidgetHost::ClickResult WidgetHost::click(const std::string& kind, const HitRegion& region,
                                          std::string& problem) {
    if (const auto* url = std::get_if<URL>(&region.action)) {
        if (!options_.openURL(*url)) {
            problem = "nothing opened " + url->absoluteString();
            return ClickResult::failed;
        }
        return ClickResult::openedLink;
    }
    const auto& intent = std::get<IntentReference>(region.action);
    Extension* extension = nullptr;
    {
        std::lock_guard guard(lock_);
        for (auto& candidate : extensions_)
            if (candidate.widgets)
                for (const auto& widget : *candidate.widgets)
                    if (widget.kind == kind)
                        extension = &candidate;
    }
    if (!extension) {
        problem = "no widget of kind " + kind;
        return ClickResult::failed;
    }
    nlohmann::json parameters = {{"intent", {{"type", intent.type}, {"parameters", intent.parameters}}}};
    {
        // The sizes shown are those with a timeline: their new timelines and
        // pictures come back with the step, in the one reply.
        std::lock_guard guard(lock_);
        for (const auto& known : timelines_)
            if (known.first.first == kind)
                parameters["render"].push_back(sizeParameters(kind, known.first.second));
    }
    const auto reply = extension->process->request("perform", parameters, options_.timeout);
    // Whatever the outcome, the widget's state may have changed.
    invalidate(kind);
    if (!reply.ok()) {
        problem = "the intent failed: " + reply.errorMessage;
        return ClickResult::failed;
    }
    keepStepResult(*extension, kind, *reply.result);
    return ClickResult::ranIntent;
}

std::vector<pid_t> WidgetHost::extensionProcesses() const {
    std::lock_guard guard(lock_);
    std::vector<pid_t> running;
    for (const auto& extension : extensions_)
        if (extension.process->processIdentifier() > 0)
            running.push_back(extension.process->processIdentifier());
    return running;
}

void WidgetHost::stopExtensions() {
    for (auto& extension : extensions_)
        extension.process->stop();
}

} // namespace platform
