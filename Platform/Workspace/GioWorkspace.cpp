#include "Platform/Workspace/GioWorkspace.h"

#include "Platform/Workspace/DesktopEntry.h"
#include "Platform/Workspace/DesktopEntryBundle.h"
#include "Platform/Workspace/LaunchContext.h"

#include <algorithm>
#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>
#include <mutex>

namespace platform {

namespace {

// Variables kept from launched programs; launches may come from any thread.
std::mutex keptLock;
std::vector<std::string>& keptVariables() {
    static std::vector<std::string> names;
    return names;
}

constexpr const char* genericApplicationIcon = "application-x-executable";

// Whatever GIO's lists hold, as owned references released together.
struct AppInfoList {
    explicit AppInfoList(GList* owned)
        : list(owned) {}
    GList* list;
    ~AppInfoList() { g_list_free_full(list, g_object_unref); }
    AppInfoList(const AppInfoList&) = delete;
    AppInfoList& operator=(const AppInfoList&) = delete;
};

std::string schemeHandlerType(const URL& url) {
    std::string scheme(url.scheme());
    for (char& c : scheme)
        c = g_ascii_tolower(c);
    return "x-scheme-handler/" + scheme;
}

std::optional<URL> fileURLOf(GAppInfo* info) {
    if (!info || !G_IS_DESKTOP_APP_INFO(info))
        return std::nullopt;
    const char* filename = g_desktop_app_info_get_filename(G_DESKTOP_APP_INFO(info));
    if (!filename)
        return std::nullopt;
    return URL::fileURL(filename);
}

// The applications that declare `contentType` themselves and that the
// desktop shows in its menus, in GIO's order (the last one used first).
// Hidden helpers go (KOrganizer's "korganizer --view" declares
// text/calendar too).
std::vector<URL> recommendedFor(const std::string& contentType) {
    std::vector<URL> result;
    AppInfoList recommended{g_app_info_get_recommended_for_type(contentType.c_str())};
    for (GList* item = recommended.list; item; item = item->next) {
        if (!g_app_info_should_show(G_APP_INFO(item->data)))
            continue;
        if (const auto url = fileURLOf(G_APP_INFO(item->data));
            url && std::find(result.begin(), result.end(), *url) == result.end())
            result.push_back(*url);
    }
    return result;
}

// One pending open request: what the completion needs, kept alive until it ran.
struct LaunchRequest {
    OpenCompletion completion;
    std::shared_ptr<const OpenConfiguration> configuration;
    std::optional<std::string> error;
};

// Reports the outcome of a launch (or a failure found before launching) on
// the caller's main context, as an asynchronous launch would, so the caller
// sees one way of completing.
void completeLater(std::unique_ptr<LaunchRequest> request, std::optional<std::string> error) {
    request->error = std::move(error);
    GMainContext* context = g_main_context_ref_thread_default();
    GSource* source = g_idle_source_new();
    g_source_set_callback(
        source,
        [](gpointer data) -> gboolean {
            auto* pending = static_cast<LaunchRequest*>(data);
            pending->completion(pending->error);
            return G_SOURCE_REMOVE;
        },
        request.release(), [](gpointer data) { delete static_cast<LaunchRequest*>(data); });
    g_source_attach(source, context);
    g_source_unref(source);
    g_main_context_unref(context);
}

void launchFinished(GObject* source, GAsyncResult* result, gpointer data) {
    std::unique_ptr<LaunchRequest> request(static_cast<LaunchRequest*>(data));
    GError* error = nullptr;
    if (g_app_info_launch_uris_finish(G_APP_INFO(source), result, &error)) {
        request->completion(std::nullopt);
        return;
    }
    std::string message = error ? error->message : "The application could not be started.";
    g_clear_error(&error);
    request->completion(message);
}

// Launches the entry at `applicationURL`, on `urls` when there are any.
void launch(const std::vector<URL>& urls, const URL& applicationURL,
            std::shared_ptr<const OpenConfiguration> configuration, OpenCompletion completionHandler) {
    auto request = std::make_unique<LaunchRequest>(
        LaunchRequest{std::move(completionHandler), std::move(configuration), std::nullopt});
    const auto entry = applicationURL.isFileURL() ? DesktopEntry::load(applicationURL.path()) : std::nullopt;
    if (!entry)
        return completeLater(std::move(request),
                             "No application entry at " + applicationURL.absoluteString());
    if (!entry->programExists())
        return completeLater(std::move(request), "The program of " + entry->path().string() + " is missing");
    for (const auto& url : urls)
        if (!entry->opens(url))
            return completeLater(std::move(request),
                                 entry->path().string() + " does not open " + url.absoluteString());

    GList* uris = nullptr;
    for (auto url = urls.rbegin(); url != urls.rend(); ++url)
        uris = g_list_prepend(uris, const_cast<char*>(url->absoluteString().c_str()));
    GAppLaunchContext* context = newLaunchContext();
    // GIO copies the URIs before returning, so borrowing the strings is enough.
    if (g_desktop_app_info_get_boolean(entry->info(), "DBusActivatable")) {
        // Started over the bus: the completion waits for the application's answer.
        g_app_info_launch_uris_async(G_APP_INFO(entry->info()), uris, context, nullptr, launchFinished,
                                     request.release());
    } else {
        // A program is spawned at once. The asynchronous call would first
        // wait a turn of the main loop for the session bus, and whatever
        // the caller does next in this turn (building a first window, say)
        // would hold the program back.
        GError* error = nullptr;
        std::optional<std::string> failure;
        if (!g_app_info_launch_uris(G_APP_INFO(entry->info()), uris, context, &error))
            failure = error ? error->message : "The application could not be started.";
        g_clear_error(&error);
        completeLater(std::move(request), std::move(failure));
    }
    g_object_unref(context);
    g_list_free(uris);
}

} // namespace

GAppLaunchContext* newLaunchContext() {
    GAppLaunchContext* context = g_app_launch_context_new();
    std::lock_guard guard(keptLock);
    for (const auto& name : keptVariables())
        g_app_launch_context_unsetenv(context, name.c_str());
    return context;
}

void Workspace::keepFromLaunchedPrograms(const std::string& name) {
    std::lock_guard guard(keptLock);
    if (std::find(keptVariables().begin(), keptVariables().end(), name) == keptVariables().end())
        keptVariables().push_back(name);
}

Workspace& Workspace::shared() {
    static GioWorkspace workspace;
    return workspace;
}

std::optional<URL> GioWorkspace::urlForApplicationWithBundleIdentifier(const std::string& bundleIdentifier) {
    const auto entry = DesktopEntry::withIdentifier(bundleIdentifier);
    if (!entry || entry->path().empty())
        return std::nullopt;
    return URL::fileURL(entry->path());
}

std::vector<URL> GioWorkspace::urlsForApplicationsToOpenURL(const URL& url) {
    const std::string type = schemeHandlerType(url);
    std::vector<URL> result;
    // GIO lists handlers in its own order; the default comes first here, as
    // users expect of such lists.
    if (const auto defaultURL = urlForApplicationToOpenURL(url))
        result.push_back(*defaultURL);
    AppInfoList handlers{g_app_info_get_all_for_type(type.c_str())};
    for (GList* item = handlers.list; item; item = item->next) {
        const auto handlerURL = fileURLOf(G_APP_INFO(item->data));
        if (handlerURL && std::find(result.begin(), result.end(), *handlerURL) == result.end())
            result.push_back(*handlerURL);
    }
    return result;
}

std::optional<URL> GioWorkspace::urlForApplicationToOpenURL(const URL& url) {
    GAppInfo* info = g_app_info_get_default_for_type(schemeHandlerType(url).c_str(), FALSE);
    auto result = fileURLOf(info);
    if (info)
        g_object_unref(info);
    return result;
}

std::vector<URL> GioWorkspace::urlsForApplicationsToOpenContentType(const std::string& contentType) {
    auto result = recommendedFor(contentType);
    if (const auto defaultURL = urlForApplicationToOpenContentType(contentType))
        if (const auto found = std::find(result.begin(), result.end(), *defaultURL); found != result.end())
            std::rotate(result.begin(), found, found + 1);
    return result;
}

std::optional<URL> GioWorkspace::urlForApplicationToOpenContentType(const std::string& contentType) {
    // GIO's default falls back to the applications of parent types, and
    // "text/calendar" is a "text/plain": a text editor would open the
    // calendar. The default counts only when it declares the type itself,
    // else the first that does (what GNOME Shell's clock opens).
    const auto recommended = recommendedFor(contentType);
    GAppInfo* info = g_app_info_get_default_for_type(contentType.c_str(), FALSE);
    auto defaultURL = fileURLOf(info);
    if (info)
        g_object_unref(info);
    if (defaultURL && std::find(recommended.begin(), recommended.end(), *defaultURL) != recommended.end())
        return defaultURL;
    if (recommended.empty())
        return std::nullopt;
    return recommended.front();
}

std::string GioWorkspace::iconForFile(const std::filesystem::path& path) {
    const auto entry = DesktopEntry::load(path);
    GIcon* icon = entry ? g_app_info_get_icon(G_APP_INFO(entry->info())) : nullptr;
    gchar* serialised = icon ? g_icon_to_string(icon) : nullptr;
    if (!serialised)
        return genericApplicationIcon;
    std::string result(serialised);
    g_free(serialised);
    return result;
}

void GioWorkspace::openURLs(const std::vector<URL>& urls, const URL& applicationURL,
                            std::shared_ptr<const OpenConfiguration> configuration,
                            OpenCompletion completionHandler) {
    launch(urls, applicationURL, std::move(configuration), std::move(completionHandler));
}

void GioWorkspace::openApplicationAtURL(const URL& applicationURL,
                                        std::shared_ptr<const OpenConfiguration> configuration,
                                        OpenCompletion completionHandler) {
    launch({}, applicationURL, std::move(configuration), std::move(completionHandler));
}

bool GioWorkspace::openURL(const URL& url) {
    const auto handlerURL = urlForApplicationToOpenURL(url);
    const auto entry = handlerURL ? DesktopEntry::load(handlerURL->path()) : std::nullopt;
    if (!entry || !entry->programExists() || !entry->takesURLs())
        return false;
    GList uri{const_cast<char*>(url.absoluteString().c_str()), nullptr, nullptr};
    GAppLaunchContext* context = newLaunchContext();
    const gboolean launched = g_app_info_launch_uris(G_APP_INFO(entry->info()), &uri, context, nullptr);
    g_object_unref(context);
    return launched;
}

std::unique_ptr<Bundle> GioWorkspace::bundleWithURL(const URL& url) {
    if (!url.isFileURL())
        return nullptr;
    const auto path = url.path();
    auto entry = DesktopEntry::load(path);
    if (!entry)
        return nullptr;
    return std::make_unique<DesktopEntryBundle>(std::move(*entry), DesktopEntry::identifierForPath(path));
}

} // namespace platform
