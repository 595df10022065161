#pragma once

#include "Platform/Calendar/Instant.h"
#include "Platform/View/Geometry.h"
#include "Platform/Widgets/WidgetFamily.h"

#include <functional>
#include <utility>
#include <vector>

namespace platform {

// When the widget host asks a provider for its next timeline.
class TimelineReloadPolicy {
public:
    enum class Kind { never, atEnd, after };

    // Only when something invalidates the widget (an intent run, a restart).
    static TimelineReloadPolicy never() { return TimelineReloadPolicy(Kind::never, {}); }
    // Once the last entry's date has passed.
    static TimelineReloadPolicy atEnd() { return TimelineReloadPolicy(Kind::atEnd, {}); }
    // Once `date` has passed.
    static TimelineReloadPolicy after(Instant date) { return TimelineReloadPolicy(Kind::after, date); }

    Kind kind() const { return kind_; }
    // The date of an `after` policy.
    Instant date() const { return date_; }
    bool operator==(const TimelineReloadPolicy&) const = default;

private:
    TimelineReloadPolicy(Kind kind, Instant date)
        : kind_(kind)
        , date_(date) {}
    Kind kind_;
    Instant date_;
};

// Entries to show, each from its date on, and when to ask again.
template <typename Entry> struct Timeline {
    Timeline(std::vector<Entry> entriesToShow, TimelineReloadPolicy reloadPolicy)
        : entries(std::move(entriesToShow))
        , policy(reloadPolicy) {}

    std::vector<Entry> entries;
    TimelineReloadPolicy policy;
};

// What the host tells a provider about the request.
struct TimelineProviderContext {
    // The request is for the widget gallery, not a placed widget.
    bool isPreview = false;
    WidgetFamily family = WidgetFamily::systemSmall;
    // The widget's size in points.
    Size displaySize;
};

// The contract a widget's provider fulfils. Entries are values with a
// `date` member (an Instant): the host shows an entry from its date on.
// Completions must be called exactly once.
template <typename Entry> class TimelineProvider {
public:
    using EntryType = Entry;
    virtual ~TimelineProvider() = default;

    // An entry at once, shown before any real entry exists.
    virtual Entry placeholder(const TimelineProviderContext& context) const = 0;
    // One entry for now; `context.isPreview` is true in the gallery.
    virtual void getSnapshot(const TimelineProviderContext& context,
                             const std::function<void(Entry)>& completion) const = 0;
    // The entries to show and when to ask again.
    virtual void getTimeline(const TimelineProviderContext& context,
                             const std::function<void(Timeline<Entry>)>& completion) const = 0;
};

} // namespace platform
