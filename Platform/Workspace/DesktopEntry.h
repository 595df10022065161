#pragma once

#include "Platform/URL/URL.h"

#include <filesystem>
#include <glib-object.h>
#include <memory>
#include <optional>
#include <string>

typedef struct _GDesktopAppInfo GDesktopAppInfo;

namespace platform {

// One desktop entry (a ".desktop" file) loaded through GIO, with the checks
// GIO leaves out.
class DesktopEntry {
public:
    // Absent when `path` is not a readable application entry (or its TryExec
    // program is gone: GIO refuses those).
    static std::optional<DesktopEntry> load(const std::filesystem::path& path);
    // Absent when no entry has that desktop-file ID.
    static std::optional<DesktopEntry> withIdentifier(const std::string& desktopIdentifier);

    // The desktop-file ID of an entry at `path`: its path below the
    // "applications" folder of one of the XDG data folders, with "/" written
    // as "-". Absent for a file outside those folders.
    static std::optional<std::string> identifierForPath(const std::filesystem::path& path);

    // The applications folder users and the file panel know: the system's
    // "share/applications".
    static std::filesystem::path applicationsFolder();

    GDesktopAppInfo* info() const { return info_.get(); }
    std::filesystem::path path() const;

    // Whether the program it starts is there: its TryExec and the first word
    // of its Exec line resolve on PATH. GIO launches through a helper, so a
    // missing program would otherwise be reported as a successful launch.
    bool programExists() const;
    // Whether its command line takes a URL or file (%u, %U, %f or %F);
    // without one, an opened URL would silently be dropped.
    bool takesURLs() const;
    // Whether it may be handed `url`: a file when it takes URLs or files;
    // any other URL only when it takes URLs (%u or %U) and declares the
    // URL's scheme (MimeType "x-scheme-handler/<scheme>"). A program that
    // takes files would read "ical://" as a file name, and calendar programs
    // treat the arguments of schemes they do not declare as files to import.
    bool opens(const URL& url) const;
    // Whether its MimeType line lists `contentType` (ASCII case ignored).
    bool declares(const std::string& contentType) const;

private:
    struct Unref {
        void operator()(GDesktopAppInfo* info) const { g_object_unref(info); }
    };
    explicit DesktopEntry(GDesktopAppInfo* info)
        : info_(info, Unref{}) {}

    std::shared_ptr<GDesktopAppInfo> info_;
};

} // namespace platform
