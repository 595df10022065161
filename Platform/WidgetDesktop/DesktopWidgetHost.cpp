#include "Platform/WidgetDesktop/DesktopWidgetHost.h"

#include "Platform/WidgetDesktop/X11Desktop.h"
#include "Platform/Windowing/SoftwareDrawing.h"

#include <cstdio>

namespace platform {

DesktopWidgetHost::DesktopWidgetHost(Glib::RefPtr<Gtk::Application> application)
    : application_(std::move(application)) {
    application_->signal_startup().connect(sigc::mem_fun(*this, &DesktopWidgetHost::startup));
    application_->signal_command_line().connect(sigc::mem_fun(*this, &DesktopWidgetHost::commandLine), false);
}

int DesktopWidgetHost::run(const char* programName, bool openGallery, bool atLogin) {
    // For a few small windows GTK's Cairo renderer starts sooner and needs
    // about half the memory of the GL one; the user's choice still wins.
    SoftwareDrawing::prefer();
    // Before GTK opens its display. This sets no environment variable, so
    // the programs the host launches choose their own backend.
    const auto backend = WidgetBackend::chooseForThisSession();
    if (!backend.allowedBackends.empty())
        gdk_set_allowed_backends(backend.allowedBackends.c_str());
    auto application =
        Gtk::Application::create(applicationIdentifier, Gio::Application::Flags::HANDLES_COMMAND_LINE);
    application->add_main_option_entry(Gio::Application::OptionType::BOOL, "gallery", '\0',
                                       "Open the widget gallery (Edit Widgets)");
    application->add_main_option_entry(Gio::Application::OptionType::BOOL, "login", '\0',
                                       "Started with the session: open nothing when no widget is placed");
    DesktopWidgetHost host(application);
    host.backend_ = backend;
    std::vector<std::string> arguments{programName};
    if (openGallery)
        arguments.emplace_back("--gallery");
    if (atLogin)
        arguments.emplace_back("--login");
    std::vector<char*> pointers;
    pointers.reserve(arguments.size() + 1);
    for (auto& argument : arguments)
        pointers.push_back(argument.data());
    pointers.push_back(nullptr);
    return application->run(static_cast<int>(arguments.size()), pointers.data());
}

void DesktopWidgetHost::log(const std::string& line) {
    // A fault that repeats (an extension that keeps crashing) is told once.
    std::lock_guard guard(logLock_);
    if (logged_.insert(line).second)
        std::fprintf(stderr, "tarvelo-widgets: %s\n", line.c_str());
}

void DesktopWidgetHost::startup() {
    WidgetHost::Options options;
    options.log = [this](const std::string& line) { log(line); };
    // The first requests go out before any window exists, so the extension
    // starts while GTK sets up. Each extension gets a worker thread of its
    // own once it has described itself: one that hangs or crash-loops never
    // holds another's widgets.
    worker_ = std::make_unique<HostWorker>(options);
    if (const auto problem = placements_.load(); !problem.empty())
        log(problem);
    for (const auto& placement : placements_.placements())
        refresh(placement.identifier);

    auto limitation = backend_.limitation;
    if (!backend_.allowedBackends.empty() && !X11Desktop::isX11Display())
        limitation = WidgetBackend::Limitation::noXWayland; // X11 was wanted, but did not open
    notice_ = WidgetBackend::notice(limitation);
    if (!notice_.empty())
        log(notice_);

    painter_ = std::make_unique<Painter>();
    appearance_ = std::make_unique<AppearanceMonitor>();
    appearance_->signalChanged().connect(sigc::mem_fun(*this, &DesktopWidgetHost::appearanceChanged));
    sleep_ = std::make_unique<SleepMonitor>();
    sleep_->signalResumed().connect([this] { timeMoved(); });
    application_->add_action("gallery", [this] { showGallery(); });
    auto placeAction = Gio::SimpleAction::create("place", Glib::VariantType("(ssbii)"));
    placeAction->signal_activate().connect(sigc::mem_fun(*this, &DesktopWidgetHost::placeAsked));
    application_->add_action(placeAction);

    timeMoved();
    // Timers of the main loop follow the monotonic clock; a minute's check
    // also catches a clock that was set, a changed time zone, and a sleep
    // that logind did not announce.
    dayCheck_ = Glib::signal_timeout().connect_seconds(
        [this] {
            checkTime();
            return true;
        },
        60);
    for (const auto& placement : placements_.placements())
        place(placement);
    watchMonitors();
}

void DesktopWidgetHost::watchMonitors() {
    auto display = Gdk::Display::get_default();
    if (!display)
        return;
    const auto monitors = display->get_monitors();
    monitorWatches_.push_back(
        monitors->signal_items_changed().connect([this](guint, guint, guint) { monitorsChanged(); }));
    for (guint index = 0; index < monitors->get_n_items(); ++index)
        if (auto monitor = std::dynamic_pointer_cast<Gdk::Monitor>(monitors->get_object(index)))
            monitorWatches_.push_back(
                monitor->property_geometry().signal_changed().connect([this] { monitorsChanged(); }));
}

void DesktopWidgetHost::monitorsChanged() {
    // A monitor came, went or changed its size: once the changes of this
    // turn are all in, bring every widget onto what is there now (or back to
    // its own place, when that is on a monitor again).
    if (monitorCheck_.connected())
        return;
    monitorCheck_ = Glib::signal_idle().connect([this] {
        monitorCheck_ = sigc::connection(); // this source ends by returning false
        for (auto& watch : monitorWatches_)
            watch.disconnect();
        monitorWatches_.clear();
        watchMonitors();
        for (auto& [identifier, shown] : windows_)
            shown->keepOnScreen();
        return false;
    });
}

int DesktopWidgetHost::commandLine(const Glib::RefPtr<Gio::ApplicationCommandLine>& commandLine) {
    const bool firstStart = !started_;
    started_ = true;
    const auto options = commandLine->get_options_dict();
    const bool galleryAsked = options->contains("gallery");
    // Logging in with nothing placed is no reason to put a window up.
    if (firstStart && options->contains("login") && !galleryAsked)
        return 0;
    // A second start (from the "Edit Widgets" entry, say) means the user
    // wants to add or find a widget.
    if (galleryAsked || !firstStart || placements_.placements().empty())
        showGallery();
    return 0;
}

WidgetWindow* DesktopWidgetHost::window(const std::string& identifier) {
    const auto found = windows_.find(identifier);
    return found == windows_.end() ? nullptr : found->second.get();
}

void DesktopWidgetHost::place(const WidgetPlacement& placement) {
    auto window = std::make_unique<WidgetWindow>(placement, *painter_, appearance_->appearance());
    const std::string identifier = placement.identifier;
    window->signalClicked().connect([this, identifier](Point point) { clicked(identifier, point); });
    window->signalRemove().connect([this, identifier] { remove(identifier); });
    window->signalMoved().connect([this, identifier](int x, int y) { moved(identifier, x, y); });
    application_->add_window(*window);
    windows_[identifier] = std::move(window);
    // The window comes up with its first picture, so the desktop never sees
    // it blank; an extension slow to answer gets it shown anyway, soon.
    Glib::signal_timeout().connect_once(
        [this, identifier] {
            if (WidgetWindow* shown = this->window(identifier); shown && !shown->get_visible())
                shown->present();
        },
        1500);
}

void DesktopWidgetHost::refresh(const std::string& identifier) {
    const WidgetPlacement* found = placements_.find(identifier);
    if (!found)
        return;
    retries_[identifier].disconnect();
    worker_->submit(
        [this, identifier, kind = found->kind, family = found->family](WidgetHost& host) {
            std::string problem;
            auto picture = host.picture(kind, family, false, problem);
            return HostWorker::Completion(
                [this, identifier, picture = std::move(picture), problem]() mutable {
                    pictureArrived(identifier, std::move(picture), problem);
                });
        },
        worker_->laneFor(found->kind));
}

void DesktopWidgetHost::refreshAll() {
    for (const auto& placement : placements_.placements())
        refresh(placement.identifier);
    if (gallery_ && gallery_->get_visible())
        refreshGallery();
}

void DesktopWidgetHost::pictureArrived(const std::string& identifier,
                                       std::optional<WidgetHost::Picture> picture,
                                       const std::string& problem) {
    WidgetWindow* shown = window(identifier);
    if (!shown || !placements_.find(identifier)) // removed while the picture was on its way
        return;
    const std::string kind = shown->placement().kind;
    // A placeholder stands in only until the first real picture; after
    // that, a failing extension leaves the last real picture up.
    const bool hadReal = shown->picture() && !shown->picture()->isPlaceholder;
    const bool real = picture && !picture->isPlaceholder;
    if (picture && !(picture->isPlaceholder && hadReal))
        shown->show(std::move(*picture));
    if (real) {
        backoffs_[kind].succeeded();
        return;
    }
    if (!problem.empty())
        log("widget " + kind + ": " + problem);
    retryLater(identifier);
}

void DesktopWidgetHost::retryLater(const std::string& identifier) {
    WidgetWindow* shown = window(identifier);
    if (!shown || retries_[identifier].connected())
        return;
    const auto delay = backoffs_[shown->placement().kind].failed();
    retries_[identifier] = Glib::signal_timeout().connect(
        [this, identifier] {
            retries_[identifier] = sigc::connection(); // this source ends by returning false
            refresh(identifier);
            return false;
        },
        static_cast<unsigned>(delay.count()));
}

void DesktopWidgetHost::clicked(const std::string& identifier, Point point) {
    WidgetWindow* shown = window(identifier);
    if (!shown || !shown->picture())
        return;
    // Only a click on a button or link goes to the worker, and only what
    // it needs: the region, not the whole picture.
    const HitRegion* region = WidgetHost::hitTest(shown->picture()->displayList, point);
    if (!region)
        return;
    const auto placement = shown->placement();
    // A step usually takes a few milliseconds: waiting that long here puts
    // the new month in the very frame the click causes, not one frame later.
    // Never longer than about a frame, so a slow extension still cannot
    // hold the windows.
    constexpr auto clickPatience = std::chrono::milliseconds(12);
    worker_->submitAndWait(
        [this, identifier, placement, hit = *region](WidgetHost& host) {
            std::string problem;
            const auto result = host.click(placement.kind, hit, problem);
            std::optional<WidgetHost::Picture> fresh;
            if (result == WidgetHost::ClickResult::ranIntent)
                fresh = host.picture(placement.kind, placement.family, false, problem);
            return HostWorker::Completion(
                [this, identifier, placement, result, fresh = std::move(fresh), problem]() mutable {
                    if (result == WidgetHost::ClickResult::failed) {
                        log("widget " + placement.kind + ": " + problem);
                        return;
                    }
                    if (result != WidgetHost::ClickResult::ranIntent)
                        return;
                    pictureArrived(identifier, std::move(fresh), problem);
                    // The intent changed what every widget of its kind shows.
                    for (const auto& other : placements_.placements())
                        if (other.kind == placement.kind && other.identifier != identifier)
                            refresh(other.identifier);
                });
        },
        clickPatience, worker_->laneFor(placement.kind));
}

void DesktopWidgetHost::remove(const std::string& identifier) {
    placements_.remove(identifier);
    retries_[identifier].disconnect();
    retries_.erase(identifier);
    save();
    if (WidgetWindow* shown = window(identifier))
        shown->set_visible(false);
    // The window is still inside its own menu's handler; let it go afterwards.
    Glib::signal_idle().connect_once([this, identifier] { windows_.erase(identifier); });
}

void DesktopWidgetHost::moved(const std::string& identifier, int x, int y) {
    placements_.move(identifier, x, y);
    // A drag reports many positions; write once it has settled.
    pendingSave_.disconnect();
    pendingSave_ = Glib::signal_timeout().connect(
        [this] {
            pendingSave_ = sigc::connection(); // this source ends by returning false
            save();
            return false;
        },
        400);
}

void DesktopWidgetHost::placeAsked(const Glib::VariantBase& parameter) {
    GVariant* value = const_cast<GVariant*>(parameter.gobj());
    if (!value || !g_variant_is_of_type(value, G_VARIANT_TYPE("(ssbii)")))
        return;
    const char* kind = nullptr;
    const char* familyName = nullptr;
    gboolean hasPosition = FALSE;
    gint32 x = 0, y = 0;
    g_variant_get(value, "(&s&sbii)", &kind, &familyName, &hasPosition, &x, &y);
    const auto family = widgetFamilyNamed(familyName);
    if (!family || !*kind)
        return;
    // As the command promises: one of each kind and size. The command
    // asks again after writing the file itself, should this host have
    // started meanwhile, and finds it here then.
    if (placements_.contains(kind, *family))
        return;
    std::optional<std::pair<int, int>> at;
    if (hasPosition)
        at = std::pair{std::clamp(x, 0, PlacementStore::largestCoordinate),
                       std::clamp(y, 0, PlacementStore::largestCoordinate)};
    add(kind, *family, at);
}

void DesktopWidgetHost::add(const std::string& kind, WidgetFamily family,
                            std::optional<std::pair<int, int>> at) {
    const WidgetPlacement placement =
        placements_.add(kind, family, at.value_or(placements_.cascadePosition()));
    save();
    place(placement);
    refresh(placement.identifier);
}

void DesktopWidgetHost::save() {
    pendingSave_.disconnect();
    if (const auto problem = placements_.save(); !problem.empty())
        log(problem);
}

void DesktopWidgetHost::showGallery() {
    if (!gallery_) {
        gallery_ = std::make_unique<GalleryWindow>(*painter_, appearance_->appearance());
        gallery_->signalAdd().connect(
            [this](const std::string& kind, WidgetFamily family) { add(kind, family); });
        gallery_->setNotice(notice_);
    }
    if (!gallery_->get_visible())
        application_->add_window(*gallery_);
    gallery_->present();
    refreshGallery();
}

void DesktopWidgetHost::refreshGallery() {
    worker_->submit([this](WidgetHost& host) {
        auto widgets = host.gallery();
        return HostWorker::Completion([this, widgets] {
            if (!gallery_)
                return;
            gallery_->setWidgets(widgets);
            for (const auto& widget : widgets)
                for (const auto family : widget.families)
                    worker_->submit(
                        [this, kind = widget.kind, family](WidgetHost& inner) {
                            std::string problem;
                            auto picture = inner.picture(kind, family, true, problem);
                            return HostWorker::Completion([this, kind, family, picture, problem] {
                                if (picture && gallery_)
                                    gallery_->showPreview(kind, family, *picture);
                                else if (!picture)
                                    log("widget " + kind + ": no preview: " + problem);
                            });
                        },
                        worker_->laneFor(widget.kind));
        });
    });
}

void DesktopWidgetHost::scheduleDayTurn() {
    dayTimer_.disconnect();
    const auto delay = dayWatch_.untilDayTurn();
    dayTimer_ = Glib::signal_timeout().connect(
        [this] {
            dayTimer_ = sigc::connection(); // this source ends by returning false
            timeMoved();
            return false;
        },
        static_cast<unsigned>(delay.count()));
}

void DesktopWidgetHost::checkTime() {
    if (dayWatch_.moved())
        timeMoved();
}

void DesktopWidgetHost::timeMoved() {
    const bool renew = dayWatch_.restart();
    scheduleDayTurn();
    if (!renew)
        return;
    // The timelines are months named when they were made: ask every
    // extension for new ones, not just for a new picture of the old entry.
    worker_->invalidateAll();
    refreshAll();
}

void DesktopWidgetHost::appearanceChanged() {
    // Display lists carry semantic colours: repainting is enough.
    const auto appearance = appearance_->appearance();
    for (auto& [identifier, shown] : windows_)
        shown->setAppearance(appearance);
    if (gallery_)
        gallery_->setAppearance(appearance);
}

} // namespace platform
