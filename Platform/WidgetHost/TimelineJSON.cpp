#include "Platform/WidgetHost/TimelineJSON.h"

namespace platform {

namespace {

std::optional<double> dateOf(const nlohmann::json& entry) {
    const auto& date = memberOf(entry, "date");
    if (!date.is_number())
        return std::nullopt;
    return date.get<double>();
}

} // namespace

const nlohmann::json& memberOf(const nlohmann::json& object, const char* key) {
    static const nlohmann::json absent;
    if (!object.is_object())
        return absent;
    const auto found = object.find(key);
    return found == object.end() ? absent : *found;
}

std::optional<nlohmann::json> currentTimelineEntry(const nlohmann::json& entries, Instant now) {
    if (!entries.is_array() || entries.empty())
        return std::nullopt;
    const nlohmann::json* chosen = &entries.front();
    for (const auto& entry : entries)
        if (const auto date = dateOf(entry); date && *date <= now.timeIntervalSinceReferenceDate())
            chosen = &entry;
    return *chosen;
}

std::optional<TimelineReloadPolicy> reloadPolicyFromJSON(const nlohmann::json& policy) {
    const auto& type = memberOf(policy, "type");
    if (type == "never")
        return TimelineReloadPolicy::never();
    if (type == "atEnd")
        return TimelineReloadPolicy::atEnd();
    if (const auto date = dateOf(policy); type == "after" && date)
        return TimelineReloadPolicy::after(Instant::sinceReferenceDate(*date));
    return std::nullopt;
}

bool timelineIsDue(const TimelineReloadPolicy& policy, const nlohmann::json& entries, Instant now) {
    switch (policy.kind()) {
    case TimelineReloadPolicy::Kind::never:
        return false;
    case TimelineReloadPolicy::Kind::after:
        return now >= policy.date();
    case TimelineReloadPolicy::Kind::atEnd: {
        if (!entries.is_array() || entries.empty())
            return true;
        const auto last = dateOf(entries.back());
        return !last || now.timeIntervalSinceReferenceDate() >= *last;
    }
    }
    return true;
}

Instant entryDate(const nlohmann::json& entry) {
    return Instant::sinceReferenceDate(dateOf(entry).value_or(0.0));
}

} // namespace platform
