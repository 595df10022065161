#pragma once

#include "Platform/Calendar/Instant.h"
#include "Platform/View/DisplayList.h"
#include "Platform/View/Geometry.h"
#include "Platform/WidgetHost/ExtensionManifest.h"
#include "Platform/WidgetHost/ExtensionProcess.h"
#include "Platform/WidgetHost/RestartBackoff.h"
#include "Platform/Widgets/Timeline.h"
#include "Platform/Widgets/WidgetFamily.h"

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// A widget one of the installed extensions offers.
struct WidgetDescription {
    std::string kind;
    std::string displayName;
    std::string description;
    std::vector<WidgetFamily> families;
    std::string extensionIdentifier;
};

// The widget host's logic, without any window: finds extensions, starts them
// on demand, asks for timelines and pictures, and does what clicks do. The
// desktop windows and the command line sit on top of it.
//
// Safe to use from several threads at once, one per extension (the desktop
// gives each extension its own worker): nothing one thread asks of one
// extension waits for another extension. An extension that does not
// describe itself (crashes at start, hangs, answers nonsense) is asked again
// only after a back-off (RestartBackoff, on the options' clock); meanwhile
// its widgets are unknown and nothing waits for it.
class WidgetHost {
public:
    struct Options {
        // Longest wait for any one answer of an extension.
        std::chrono::milliseconds timeout{4000};
        // Where problems are reported (one line each).
        std::function<void(const std::string&)> log = [](const std::string&) {};
        // Opens a link a widget hands over; by default through the desktop.
        std::function<bool(const URL&)> openURL;
        // Extensions to use instead of the discovered ones (tests).
        std::optional<std::vector<ExtensionManifest>> manifests;
        // The time, for choosing entries and noticing a new day (tests pass their own).
        std::function<Instant()> clock = Instant::now;
    };

    // What a widget shows: the display list, and which entry it came from.
    struct Picture {
        DisplayList displayList;
        Instant entryDate;
        bool isPlaceholder = false;
    };

    // What a click did.
    enum class ClickResult { nothing, ranIntent, openedLink, failed };

    explicit WidgetHost(Options options);
    ~WidgetHost();

    // The point size the host gives each family.
    static Size size(WidgetFamily family);

    // Every widget of every usable extension, in discovery order.
    std::vector<WidgetDescription> gallery();

    // The identifier of the extension known to offer `kind`, or "" while
    // none is (no extension has described it yet). Asks no extension.
    std::string extensionOffering(const std::string& kind);

    // What the widget shows now (`preview`: the gallery's snapshot instead of
    // the timeline). The timeline is asked for only when its reload policy
    // says so, after an intent ran (unless the intent's reply brought it),
    // when the extension was restarted, or when the local date is no longer
    // the one it was asked for on (an entry names its month when it is made,
    // so a month's end needs a new one); the current entry is rendered anew
    // at every call, so what the content reads of the clock is the moment of
    // rendering, except the first call after a step, which shows the picture
    // the step's reply brought (drawn that moment). Absent, with the reason, when
    // the kind is unknown, the family unsupported, or the extension failed.
    std::optional<Picture> picture(const std::string& kind, WidgetFamily family, bool preview,
                                   std::string& problem);

    // Does what a click at `point` (in points) on `picture` does: runs the
    // button's intent, or opens the link. The intent's reply brings the new
    // timeline and picture of each size of the widget shown (those with a
    // timeline), so the next `picture` of each asks the extension nothing;
    // an extension that answers without them is asked the usual way.
    ClickResult click(const std::string& kind, const Picture& picture, Point point, std::string& problem);
    // The same for the click region the point fell on (found with `hitTest`).
    ClickResult click(const std::string& kind, const HitRegion& region, std::string& problem);

    // The topmost click region at `point`, if any.
    static const HitRegion* hitTest(const DisplayList& list, Point point);

    // Forgets the kind's timelines, so the next picture asks for new ones.
    void invalidate(const std::string& kind);
    // Forgets every timeline: after a resume, or when the clock or the time
    // zone changed, whatever the entries say of their own freshness.
    void invalidateAll();

    // The running extension processes (for diagnostics and measurements).
    std::vector<pid_t> extensionProcesses() const;

    // Ends every extension process (they are started again when needed).
    void stopExtensions();

private:
    struct Extension {
        ExtensionManifest manifest;
        std::unique_ptr<ExtensionProcess> process;
        std::optional<std::vector<WidgetDescription>> widgets;
        bool describing = false; // a thread is asking it now
        RestartBackoff backoff;  // for "describe"
        Instant askAgain;        // not before this, after a failed "describe"
    };

    // The last timeline of one placed widget.
    struct KnownTimeline {
        nlohmann::json entries;
        TimelineReloadPolicy policy = TimelineReloadPolicy::never();
        int extensionStart = 0; // entries belong to this run of the extension
        long day = 0;           // the local date it was asked for on (DayClock::dayNumber)
    };

    // A picture a step's reply carried, for the entry it was drawn from;
    // shown once, by the next picture of its widget.
    struct PreparedPicture {
        nlohmann::json entryIdentifier;
        Picture picture;
    };

    void loadExtensions();
    // Asks each extension not yet described, and not waiting out its
    // back-off or being asked by another thread, to describe itself.
    void describeExtensions();
    void describe(Extension& extension);
    Extension* describedExtensionFor(const std::string& kind, WidgetFamily family, std::string& problem);
    std::optional<nlohmann::json> timelineEntry(Extension& extension, const std::string& kind,
                                                WidgetFamily family);
    Extension* extensionFor(const std::string& kind, WidgetFamily family, std::string& problem);
    // Keeps the timelines and pictures a step's reply carries (`result` of a
    // `perform` that named the widgets of `kind`), as if asked for them.
    void keepStepResult(Extension& extension, const std::string& kind, const nlohmann::json& result);
    std::optional<Picture> render(Extension& extension, const std::string& kind, WidgetFamily family,
                                  const nlohmann::json& entry, std::string& problem);

    Options options_;
    // Guards the extensions' descriptions and the timelines; never held
    // while an extension is asked anything.
    mutable std::mutex lock_;
    bool loaded_ = false;
    std::vector<Extension> extensions_;
    std::map<std::pair<std::string, WidgetFamily>, KnownTimeline> timelines_;
    std::map<std::pair<std::string, WidgetFamily>, PreparedPicture> prepared_;
};

} // namespace platform
