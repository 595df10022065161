#pragma once

#include "Platform/Painter/Painter.h"
#include "Platform/WidgetDesktop/AppearanceMonitor.h"
#include "Platform/WidgetDesktop/GalleryWindow.h"
#include "Platform/WidgetDesktop/HostWorker.h"
#include "Platform/WidgetDesktop/SleepMonitor.h"
#include "Platform/WidgetDesktop/WidgetWindow.h"
#include "Platform/WidgetHost/DayClock.h"
#include "Platform/WidgetHost/PlacementList.h"
#include "Platform/WidgetHost/RestartBackoff.h"
#include "Platform/WidgetHost/WidgetBackend.h"

#include <gtkmm.h>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace platform {

// The widget host with a display: the placed widgets as desktop windows,
// the "Edit Widgets" gallery, and keeping both fresh. One instance per
// session (application ID "today.tarvelo.Widgets"); starting another only
// opens the gallery in the running one.
class DesktopWidgetHost {
public:
    // Runs the host until its last window goes. `openGallery`: show the
    // gallery even when widgets are placed. `atLogin`: started with the
    // session; with nothing placed, show nothing rather than the gallery.
    static int run(const char* programName, bool openGallery, bool atLogin = false);

    static constexpr const char* applicationIdentifier = "today.tarvelo.Widgets";

private:
    explicit DesktopWidgetHost(Glib::RefPtr<Gtk::Application> application);

    void startup();
    int commandLine(const Glib::RefPtr<Gio::ApplicationCommandLine>& commandLine);

    void place(const WidgetPlacement& placement);
    WidgetWindow* window(const std::string& identifier);
    void refresh(const std::string& identifier);
    void refreshAll();
    void pictureArrived(const std::string& identifier, std::optional<WidgetHost::Picture> picture,
                        const std::string& problem);
    void retryLater(const std::string& identifier);
    void clicked(const std::string& identifier, Point point);
    void remove(const std::string& identifier);
    void moved(const std::string& identifier, int x, int y);
    void add(const std::string& kind, WidgetFamily family, std::optional<std::pair<int, int>> at = {});
    // The "place" action: `tarvelo-widgets place` while this host runs.
    void placeAsked(const Glib::VariantBase& parameter);
    void save();

    void showGallery();
    void refreshGallery();

    void scheduleDayTurn();
    void checkTime();
    void timeMoved();
    void appearanceChanged();
    void watchMonitors();
    void monitorsChanged();
    void log(const std::string& line);

    Glib::RefPtr<Gtk::Application> application_;
    WidgetBackend::Choice backend_;
    // Why widgets are ordinary windows here, if they are (for the gallery).
    std::string notice_;
    bool started_ = false;
    std::unique_ptr<Painter> painter_;
    PlacementList placements_;
    std::map<std::string, std::unique_ptr<WidgetWindow>> windows_;
    std::unique_ptr<GalleryWindow> gallery_;
    std::unique_ptr<AppearanceMonitor> appearance_;
    std::unique_ptr<SleepMonitor> sleep_;
    std::map<std::string, RestartBackoff> backoffs_;  // per widget kind
    std::map<std::string, sigc::connection> retries_; // per placement
    sigc::connection dayTimer_;
    sigc::connection dayCheck_;
    sigc::connection pendingSave_;
    std::vector<sigc::connection> monitorWatches_;
    sigc::connection monitorCheck_;
    // The time at the last new timelines.
    DayWatch dayWatch_;
    std::mutex logLock_;
    std::set<std::string> logged_;
    // Last, so that it goes first: its thread may still deliver into the rest.
    std::unique_ptr<HostWorker> worker_;
};

} // namespace platform
