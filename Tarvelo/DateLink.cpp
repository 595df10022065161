#include "Tarvelo/DateLink.h"

#include "Platform/URL/URLComponents.h"
#include "TarveloFeature/CalendarChoice/CalendarAppCatalog.h"

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <gio/gio.h>
#include <locale.h>
#include <memory>
#include <string>

namespace tarvelo {

namespace {

constexpr const char* calendarURLText = "ical://";

// Valid links whose calendar launch has not been answered yet; each ends in
// exactly one quit. Main thread only.
int linksInFlight = 0;

// Quits once no link is left half-handled. Other `tarvelo` starts hand their
// links to this instance over the session bus until it quits; a link that
// reached it while it was quitting used to be dropped, the sender having
// exited with success. So this instance first gives up its name on the bus
// (a start from then on becomes an instance of its own), then handles the
// links already sent to it, and quits only when their launches are answered.
void quitApplication() {
    if (linksInFlight > 0)
        --linksInFlight;
    GApplication* application = g_application_get_default();
    if (!application)
        return;
    GDBusConnection* bus = g_application_get_dbus_connection(application);
    if (const char* name = g_application_get_application_id(application); bus && name) {
        static bool released = false;
        if (!released) {
            released = true;
            if (GVariant* reply = g_dbus_connection_call_sync(
                    bus, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                    "ReleaseName", g_variant_new("(s)", name), G_VARIANT_TYPE("(u)"), G_DBUS_CALL_FLAGS_NONE,
                    1000, nullptr, nullptr))
                g_variant_unref(reply);
        }
        // Messages that reached the bus before the release are ahead of its
        // answer on the connection: run what they queued.
        while (g_main_context_iteration(nullptr, FALSE)) {
        }
        if (linksInFlight > 0)
            return;
    }
    g_application_quit(application);
}

std::optional<std::string> dateValue(const platform::URL& url) {
    // Pass 1: the link itself, as written: exactly "tarvelo", exactly "date".
    if (url.scheme() != "tarvelo")
        return std::nullopt;
    const auto host = url.host();
    if (!host || *host != "date")
        return std::nullopt;
    // Pass 2: the query; only the first "t" counts, and it needs an "=".
    const auto components = platform::URLComponents::url(url);
    if (!components)
        return std::nullopt;
    const auto items = components->queryItems();
    if (!items)
        return std::nullopt;
    for (const auto& item : *items)
        if (item.name == "t")
            return item.value;
    return std::nullopt;
}

// One line on standard error (the journal, when the desktop started us):
// the click did nothing, and this says why.
void report(const std::string& problem) {
    std::fprintf(stderr, "tarvelo: %s\n", problem.c_str());
}

void openCalendar(const DateLinkServices& services) {
    const auto calendarURL = platform::URL::string(calendarURLText);
    if (!calendarURL)
        return;
    ++linksInFlight;
    // The chosen application, else the desktop's calendar application.
    auto applicationURL = services.preference.resolvedApplicationURL();
    if (!applicationURL)
        if (const auto systemDefault = CalendarAppCatalog::systemDefault(services.workspace))
            applicationURL = systemDefault->url;
    if (!applicationURL) {
        report("no calendar application is installed (none opens ical: links or text/calendar files), "
               "so the date was not opened");
        scheduleQuit(services.quit);
        return;
    }
    // "ical://" goes only to an application that declares "ical:"; the
    // workspace refuses it to any other, which is then started plainly.
    // The completions keep what they need (the application, the
    // configuration, the services) until they have run.
    auto configuration = std::make_shared<const platform::OpenConfiguration>();
    platform::Workspace& workspace = services.workspace;
    std::function<void()> quit = services.quit;
    workspace.openURLs(
        {*calendarURL}, *applicationURL, configuration,
        [&workspace, quit, applicationURL = *applicationURL, configuration](const auto& error) {
            if (!error) {
                scheduleQuit(quit);
                return;
            }
            // It would not take the URL: start it plainly, and quit whatever
            // comes of that.
            workspace.openApplicationAtURL(applicationURL, configuration, [quit](const auto& failure) {
                if (failure)
                    report("the calendar application could not be started: " + *failure);
                scheduleQuit(quit);
            });
        });
}

} // namespace

bool isDateLinkNumber(std::string_view value) {
    if (value.empty())
        return false;
    switch (value.front()) {
    case '\0':
    case ' ':
    case '\t':
    case '\n':
    case '\v':
    case '\f':
    case '\r':
        return false;
    default:
        break;
    }
    // A copy ends in a NUL of its own, so a NUL inside the value (sent as
    // "%00") stops the conversion short and fails the whole-value check.
    const std::string text(value);
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    char* end = nullptr;
    if (cLocale)
        strtod_l(text.c_str(), &end, cLocale);
    else
        g_ascii_strtod(text.c_str(), &end);
    return end == text.c_str() + text.size();
}

void handleDateLink(const platform::URL& url) {
    handleDateLink(url, DateLinkServices{platform::Workspace::shared(), CalendarAppPreference::shared(),
                                         quitApplication});
}

void handleDateLink(const platform::URL& url, const DateLinkServices& services) {
    const auto value = dateValue(url);
    if (!value || !isDateLinkNumber(*value))
        return;
    // The date itself is not passed on: calendar applications open on today.
    openCalendar(services);
}

void scheduleQuit() {
    scheduleQuit(quitApplication);
}

void scheduleQuit(std::function<void()> quit) {
    GSource* source = g_idle_source_new();
    g_source_set_priority(source, G_PRIORITY_DEFAULT);
    g_source_set_callback(
        source,
        [](gpointer data) -> gboolean {
            if (const auto& task = *static_cast<std::function<void()>*>(data))
                task();
            return G_SOURCE_REMOVE;
        },
        new std::function<void()>(std::move(quit)),
        [](gpointer data) { delete static_cast<std::function<void()>*>(data); });
    g_source_attach(source, g_main_context_default());
    g_source_unref(source);
}

} // namespace tarvelo
