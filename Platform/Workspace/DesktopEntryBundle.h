#pragma once

#include "Platform/Workspace/Bundle.h"
#include "Platform/Workspace/DesktopEntry.h"

namespace platform {

// A desktop entry seen as an application bundle:
//
//     bundleIdentifier       the desktop-file ID ("org.gnome.Calendar.desktop")
//     CFBundleDisplayName    X-GNOME-FullName, localised ("GNOME Calendar")
//     CFBundleName           Name, localised ("Calendar")
//     CFBundleIdentifier     the desktop-file ID
class DesktopEntryBundle final : public Bundle {
public:
    DesktopEntryBundle(DesktopEntry entry, std::optional<std::string> identifier);

    std::optional<std::string> bundleIdentifier() const override;
    std::optional<InfoDictionaryValue> objectForInfoDictionaryKey(const std::string& key) const override;

private:
    DesktopEntry entry_;
    std::optional<std::string> identifier_;
};

} // namespace platform
