#include "Platform/WidgetHost/WidgetHostProgram.h"

#include "Platform/Resources/ProgramFolders.h"
#include "Platform/WidgetHost/ExtensionManifest.h"
#include "Platform/Workspace/LaunchContext.h"

#include <algorithm>
#include <gio/gio.h>
#include <unistd.h>

namespace platform::WidgetHostProgram {

namespace {

constexpr const char* programName = "tarvelo-widgets";
// Where the running host (a GApplication) answers on the session bus.
constexpr const char* busName = "today.tarvelo.Widgets";
constexpr const char* objectPath = "/today/tarvelo/Widgets";

bool startGallery(const std::filesystem::path& program) {
    gchar* quoted = g_shell_quote(program.c_str());
    const std::string commandLine = std::string(quoted) + " --gallery";
    g_free(quoted);
    GAppInfo* info = g_app_info_create_from_commandline(commandLine.c_str(), "Edit Widgets",
                                                        G_APP_INFO_CREATE_NONE, nullptr);
    if (!info)
        return false;
    // Started like the applications the desktop starts for us: without the
    // settings this process made for itself alone.
    GAppLaunchContext* context = newLaunchContext();
    const bool started = g_app_info_launch(info, nullptr, context, nullptr);
    g_object_unref(context);
    g_object_unref(info);
    return started;
}

bool askRunningHost() {
    GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
    if (!bus)
        return false;
    // The host's "gallery" action; no answer is awaited, none is needed.
    g_dbus_connection_call(bus, busName, objectPath, "org.gtk.Actions", "Activate",
                           g_variant_new_parsed("('gallery', @av [], @a{sv} {})"), nullptr,
                           G_DBUS_CALL_FLAGS_NO_AUTO_START, -1, nullptr, nullptr, nullptr);
    g_object_unref(bus);
    return true;
}

} // namespace

std::optional<std::filesystem::path> besideThisProgram() {
    const auto program = ProgramFolders::executableFolder() / programName;
    std::error_code error;
    if (::access(program.c_str(), X_OK) != 0 || std::filesystem::is_directory(program, error))
        return std::nullopt;
    return program;
}

bool wouldFind(const std::filesystem::path& program, const std::string& identifier) {
    const auto manifests = ExtensionManifest::discover([](const std::string&) {},
                                                       ProgramFolders::dataFolder(program.parent_path()));
    return std::any_of(manifests.begin(), manifests.end(),
                       [&](const ExtensionManifest& manifest) { return manifest.identifier == identifier; });
}

bool openGallery(const std::optional<std::filesystem::path>& program) {
    return program ? startGallery(*program) : askRunningHost();
}

PlaceAnswer askRunningHostToPlace(const std::string& kind, const std::string& family,
                                  const std::optional<std::pair<int, int>>& at) {
    GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
    if (!bus)
        return PlaceAnswer::noHost;
    GVariant* placement = g_variant_new("(ssbii)", kind.c_str(), family.c_str(), at.has_value(),
                                        at ? at->first : 0, at ? at->second : 0);
    GVariantBuilder parameters;
    g_variant_builder_init(&parameters, G_VARIANT_TYPE("av"));
    g_variant_builder_add(&parameters, "v", placement);
    GError* error = nullptr;
    // The host answers once the action has run (and saved the list).
    GVariant* reply =
        g_dbus_connection_call_sync(bus, busName, objectPath, "org.gtk.Actions", "Activate",
                                    g_variant_new("(sava{sv})", "place", &parameters, nullptr), nullptr,
                                    G_DBUS_CALL_FLAGS_NO_AUTO_START, 10000, nullptr, &error);
    g_object_unref(bus);
    if (reply) {
        g_variant_unref(reply);
        return PlaceAnswer::placed;
    }
    const bool noOwner = g_error_matches(error, G_DBUS_ERROR, G_DBUS_ERROR_SERVICE_UNKNOWN) ||
                         g_error_matches(error, G_DBUS_ERROR, G_DBUS_ERROR_NAME_HAS_NO_OWNER);
    g_error_free(error);
    return noOwner ? PlaceAnswer::noHost : PlaceAnswer::failed;
}

} // namespace platform::WidgetHostProgram
