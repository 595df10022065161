#include "Platform/Widgets/WidgetConfiguration.h"

namespace platform {

WidgetConfiguration::WidgetConfiguration(std::string kind, std::shared_ptr<const Model> model)
    : kind_(std::move(kind))
    , model_(std::move(model)) {}

WidgetConfiguration WidgetConfiguration::configurationDisplayName(std::string name) const {
    WidgetConfiguration changed = *this;
    changed.displayName_ = std::move(name);
    return changed;
}

WidgetConfiguration WidgetConfiguration::description(std::string text) const {
    WidgetConfiguration changed = *this;
    changed.description_ = std::move(text);
    return changed;
}

WidgetConfiguration WidgetConfiguration::supportedFamilies(std::vector<WidgetFamily> families) const {
    WidgetConfiguration changed = *this;
    changed.families_ = std::move(families);
    return changed;
}

WidgetConfiguration WidgetConfiguration::contentMarginsDisabled() const {
    WidgetConfiguration changed = *this;
    changed.contentMarginsDisabled_ = true;
    return changed;
}

WidgetConfiguration::EntryRecord
WidgetConfiguration::placeholder(const TimelineProviderContext& context) const {
    return model_->placeholder(context);
}

WidgetConfiguration::EntryRecord WidgetConfiguration::snapshot(const TimelineProviderContext& context) const {
    if (auto entry = model_->snapshot(context))
        return *entry;
    return model_->placeholder(context);
}

WidgetConfiguration::TimelineRecord
WidgetConfiguration::timeline(const TimelineProviderContext& context) const {
    auto timeline = model_->timeline(context);
    if (timeline && !timeline->entries.empty())
        return *timeline;
    // A provider that answered nothing, or with no entry at all, still gets
    // something on screen; it is asked again at the next invalidation.
    TimelineRecord fallback;
    fallback.entries.push_back(model_->placeholder(context));
    if (timeline)
        fallback.policy = timeline->policy;
    return fallback;
}

View WidgetConfiguration::content(const EntryRecord& entry) const {
    return model_->content(entry.entry.get());
}

} // namespace platform
