#include "WidgetHostProgram.h"

#include "ExtensionManifest.h"
#include "LaunchContext.h"
#include "ProgramFolders.h"

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
    GAppInfo* info = g_app_info_create_from_commandline(commandLine.c_str(), "Edit Widgets", G_APP_INFO_CREATE_NONE,
                                                        nullptr);
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

} // namespace platform::WidgetHostProgram
