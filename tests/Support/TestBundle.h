#pragma once

#include "Platform/Widgets/WidgetBundle.h"
#include "tests/Support/FakeTextMeasurer.h"

#include <atomic>

namespace tarvelo::testsupport {

// A widget whose entries count: the timeline holds two entries, an hour
// apart, and the content shows the entry's number.
struct CountEntry {
    platform::Instant date;
    int number = 0;
};

class CountProvider final : public platform::TimelineProvider<CountEntry> {
public:
    CountEntry placeholder(const platform::TimelineProviderContext&) const override {
        return {platform::Instant::sinceReferenceDate(0), -1};
    }
    void getSnapshot(const platform::TimelineProviderContext& context,
                     const std::function<void(CountEntry)>& completion) const override {
        completion({platform::Instant::sinceReferenceDate(10), context.isPreview ? 100 : 1});
    }
    void getTimeline(const platform::TimelineProviderContext&,
                     const std::function<void(platform::Timeline<CountEntry>)>& completion) const override {
        completion(platform::Timeline<CountEntry>(
            {{platform::Instant::sinceReferenceDate(20), 2},
             {platform::Instant::sinceReferenceDate(3620), 3}},
            platform::TimelineReloadPolicy::after(platform::Instant::sinceReferenceDate(7200))));
    }
};

// An intent that adds its "by" parameter to a counter.
class CountingIntent final : public platform::AppIntent {
public:
    static constexpr const char* typeName = "CountingIntent";
    static inline std::atomic<int> total{0};

    platform::IntentResult perform() override {
        total += by;
        return platform::IntentResult::result();
    }
    platform::IntentReference reference() const override { return {typeName, {{"by", by}}}; }
    void restoreParameters(const nlohmann::json& parameters) {
        by = parameters.contains("by") && parameters["by"].is_number_integer() ? parameters["by"].get<int>()
                                                                               : 0;
    }
    int by = 0;
};

inline platform::WidgetBundleContents countBundle() {
    return platform::WidgetBundleBuilder()
        .widget(platform::StaticConfiguration(
                    "Count", CountProvider(),
                    std::function<platform::View(const CountEntry&)>(
                        [](const CountEntry& entry) { return platform::Text(std::to_string(entry.number)); }))
                    .configurationDisplayName("Count")
                    .description("Counts.")
                    .supportedFamilies({platform::WidgetFamily::systemSmall}))
        .intent<CountingIntent>()
        .build();
}

} // namespace tarvelo::testsupport
