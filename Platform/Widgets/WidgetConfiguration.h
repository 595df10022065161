#pragma once

#include "Platform/Calendar/Instant.h"
#include "Platform/View/View.h"
#include "Platform/Widgets/Timeline.h"
#include "Platform/Widgets/WidgetFamily.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace platform {

// One widget as the host sees it: its registration values and its provider
// and content function, with the entry type hidden so that one runner can
// serve widgets of any entry type.
class WidgetConfiguration {
public:
    // An entry of the widget's own type, kept opaque, with its date.
    struct EntryRecord {
        std::shared_ptr<const void> entry;
        Instant date;
    };
    struct TimelineRecord {
        std::vector<EntryRecord> entries;
        TimelineReloadPolicy policy = TimelineReloadPolicy::never();
    };

    const std::string& kind() const { return kind_; }
    const std::string& displayName() const { return displayName_; }
    const std::string& descriptionText() const { return description_; }
    const std::vector<WidgetFamily>& families() const { return families_; }
    bool contentMarginsAreDisabled() const { return contentMarginsDisabled_; }

    // The registration modifiers; each returns the changed configuration.
    WidgetConfiguration configurationDisplayName(std::string name) const;
    WidgetConfiguration description(std::string text) const;
    WidgetConfiguration supportedFamilies(std::vector<WidgetFamily> families) const;
    WidgetConfiguration contentMarginsDisabled() const;

    // The provider's operations. A provider that never calls its completion
    // gets the placeholder in its place; a second call is ignored.
    EntryRecord placeholder(const TimelineProviderContext& context) const;
    EntryRecord snapshot(const TimelineProviderContext& context) const;
    TimelineRecord timeline(const TimelineProviderContext& context) const;
    // The content function, run for an entry this configuration produced.
    View content(const EntryRecord& entry) const;

protected:
    // The typed side, implemented by StaticConfiguration.
    struct Model {
        virtual ~Model() = default;
        virtual EntryRecord placeholder(const TimelineProviderContext& context) const = 0;
        virtual std::optional<EntryRecord> snapshot(const TimelineProviderContext& context) const = 0;
        virtual std::optional<TimelineRecord> timeline(const TimelineProviderContext& context) const = 0;
        virtual View content(const void* entry) const = 0;
    };

    WidgetConfiguration(std::string kind, std::shared_ptr<const Model> model);

private:
    std::string kind_;
    std::string displayName_;
    std::string description_;
    std::vector<WidgetFamily> families_{WidgetFamily::systemSmall, WidgetFamily::systemMedium};
    bool contentMarginsDisabled_ = false;
    std::shared_ptr<const Model> model_;
};

// A widget without user-configurable options: a kind, a provider and a
// function that turns each entry into a view.
class StaticConfiguration : public WidgetConfiguration {
public:
    template <typename Provider>
    StaticConfiguration(std::string kind, Provider provider,
                        std::function<View(const typename Provider::EntryType&)> content)
        : WidgetConfiguration(std::move(kind), std::make_shared<TypedModel<Provider>>(std::move(provider),
                                                                                      std::move(content))) {}

private:
    template <typename Provider> struct TypedModel final : Model {
        using Entry = typename Provider::EntryType;

        TypedModel(Provider typedProvider, std::function<View(const Entry&)> typedContent)
            : provider(std::move(typedProvider))
            , makeContent(std::move(typedContent)) {}

        static EntryRecord record(Entry entry) {
            const Instant date = entry.date;
            return EntryRecord{std::make_shared<const Entry>(std::move(entry)), date};
        }

        EntryRecord placeholder(const TimelineProviderContext& context) const override {
            return record(provider.placeholder(context));
        }
        std::optional<EntryRecord> snapshot(const TimelineProviderContext& context) const override {
            std::optional<EntryRecord> result;
            provider.getSnapshot(context, [&](Entry entry) {
                if (!result)
                    result = record(std::move(entry));
            });
            return result;
        }
        std::optional<TimelineRecord> timeline(const TimelineProviderContext& context) const override {
            std::optional<TimelineRecord> result;
            provider.getTimeline(context, [&](Timeline<Entry> timeline) {
                if (result)
                    return;
                result.emplace();
                result->policy = timeline.policy;
                for (auto& entry : timeline.entries)
                    result->entries.push_back(record(std::move(entry)));
            });
            return result;
        }
        View content(const void* entry) const override {
            return makeContent(*static_cast<const Entry*>(entry));
        }

        Provider provider;
        std::function<View(const Entry&)> makeContent;
    };
};

} // namespace platform
