#include "Platform/Workspace/DesktopEntryBundle.h"

#include <gio/gdesktopappinfo.h>

namespace platform {

namespace {

std::optional<InfoDictionaryValue> localeString(GDesktopAppInfo* info, const char* key) {
    gchar* value = g_desktop_app_info_get_locale_string(info, key);
    if (!value)
        return std::nullopt;
    std::string text(value);
    g_free(value);
    return text;
}

} // namespace

DesktopEntryBundle::DesktopEntryBundle(DesktopEntry entry, std::optional<std::string> identifier)
    : entry_(std::move(entry))
    , identifier_(std::move(identifier)) {}

std::optional<std::string> DesktopEntryBundle::bundleIdentifier() const {
    return identifier_;
}

std::optional<InfoDictionaryValue>
DesktopEntryBundle::objectForInfoDictionaryKey(const std::string& key) const {
    if (key == "CFBundleDisplayName")
        return localeString(entry_.info(), "X-GNOME-FullName");
    if (key == "CFBundleName")
        return localeString(entry_.info(), "Name");
    if (key == "CFBundleIdentifier" && identifier_)
        return *identifier_;
    return std::nullopt;
}

} // namespace platform
