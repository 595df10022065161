#include "Platform/Workspace/DesktopEntry.h"

#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>
#include <vector>

namespace platform {

namespace {

// Frees a GLib string when it goes out of scope.
struct OwnedText {
    explicit OwnedText(gchar* owned)
        : text(owned) {}
    gchar* text;
    ~OwnedText() { g_free(text); }
    OwnedText(const OwnedText&) = delete;
    OwnedText& operator=(const OwnedText&) = delete;
    explicit operator bool() const { return text && *text; }
};

bool programOnPath(const char* program) {
    if (!program || !*program)
        return false;
    OwnedText found{g_find_program_in_path(program)};
    return static_cast<bool>(found);
}

} // namespace

std::optional<DesktopEntry> DesktopEntry::load(const std::filesystem::path& path) {
    if (path.empty() || path.string().find('\0') != std::string::npos)
        return std::nullopt;
    GDesktopAppInfo* info = g_desktop_app_info_new_from_filename(path.c_str());
    if (!info)
        return std::nullopt;
    return DesktopEntry(info);
}

std::optional<DesktopEntry> DesktopEntry::withIdentifier(const std::string& desktopIdentifier) {
    if (desktopIdentifier.empty() || desktopIdentifier.find('\0') != std::string::npos)
        return std::nullopt;
    GDesktopAppInfo* info = g_desktop_app_info_new(desktopIdentifier.c_str());
    if (!info)
        return std::nullopt;
    return DesktopEntry(info);
}

std::optional<std::string> DesktopEntry::identifierForPath(const std::filesystem::path& path) {
    if (path.extension() != ".desktop")
        return std::nullopt;
    const auto file = path.lexically_normal();
    std::vector<std::filesystem::path> folders{g_get_user_data_dir()};
    for (const gchar* const* folder = g_get_system_data_dirs(); *folder; ++folder)
        folders.emplace_back(*folder);
    for (const auto& folder : folders) {
        const auto applications = (folder / "applications").lexically_normal();
        const auto relative = file.lexically_relative(applications);
        if (relative.empty() || *relative.begin() == "..")
            continue;
        std::string identifier = relative.generic_string();
        for (char& c : identifier)
            if (c == '/')
                c = '-';
        return identifier;
    }
    return std::nullopt;
}

std::filesystem::path DesktopEntry::applicationsFolder() {
    for (const gchar* const* folder = g_get_system_data_dirs(); *folder; ++folder)
        if (std::filesystem::path(*folder).lexically_normal() == "/usr/share")
            return "/usr/share/applications";
    const gchar* const* folders = g_get_system_data_dirs();
    return std::filesystem::path(folders[0] ? folders[0] : "/usr/share") / "applications";
}

std::filesystem::path DesktopEntry::path() const {
    const char* filename = g_desktop_app_info_get_filename(info());
    return filename ? std::filesystem::path(filename) : std::filesystem::path();
}

bool DesktopEntry::programExists() const {
    if (g_desktop_app_info_has_key(info(), "TryExec")) {
        OwnedText tryExec{g_desktop_app_info_get_string(info(), "TryExec")};
        if (!programOnPath(tryExec.text))
            return false;
    }
    // An entry started over D-Bus need not name a program; the bus reports
    // a missing service as an error of its own.
    if (g_desktop_app_info_get_boolean(info(), "DBusActivatable") &&
        !g_desktop_app_info_has_key(info(), "Exec"))
        return true;
    return programOnPath(g_app_info_get_executable(G_APP_INFO(info())));
}

bool DesktopEntry::takesURLs() const {
    return g_app_info_supports_uris(G_APP_INFO(info())) || g_app_info_supports_files(G_APP_INFO(info()));
}

bool DesktopEntry::opens(const URL& url) const {
    if (url.isFileURL())
        return takesURLs();
    return g_app_info_supports_uris(G_APP_INFO(info())) &&
           declares("x-scheme-handler/" + std::string(url.scheme()));
}

bool DesktopEntry::declares(const std::string& contentType) const {
    const char** types = g_app_info_get_supported_types(G_APP_INFO(info()));
    for (; types && *types; ++types)
        if (g_ascii_strcasecmp(*types, contentType.c_str()) == 0)
            return true;
    return false;
}

} // namespace platform
