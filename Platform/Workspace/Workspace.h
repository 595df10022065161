#pragma once

#include "Platform/URL/URL.h"
#include "Platform/Workspace/Bundle.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// How to open: every option at its default. There are none to set yet; the
// type exists so that a retry can hand the very same configuration on.
struct OpenConfiguration {};

// Called exactly once per open request, with nothing on success or a
// description of what went wrong.
using OpenCompletion = std::function<void(const std::optional<std::string>& error)>;

// Finds, describes and launches installed applications. Applications are
// named by file URLs (of their desktop entries here) and by bundle
// identifiers (desktop-file IDs). A lookup that fails yields nothing; an open
// request reports success or an error exactly once, on the main context of
// the thread that made it.
//
// Calls are made on the main thread.
class Workspace {
public:
    virtual ~Workspace() = default;

    // The desktop's own workspace. It holds no state, so handing out one
    // instance is the same as making a fresh one per request.
    static Workspace& shared();

    // Keeps the environment variable `name` from the programs this process
    // launches: for settings a program made for itself alone (its own
    // renderer, say), which the user's applications must not inherit.
    static void keepFromLaunchedPrograms(const std::string& name);

    // The application installed under `bundleIdentifier`.
    virtual std::optional<URL> urlForApplicationWithBundleIdentifier(const std::string& bundleIdentifier) = 0;
    // Every application that can open `url` (by its scheme), the default first.
    virtual std::vector<URL> urlsForApplicationsToOpenURL(const URL& url) = 0;
    // The application that opens `url` by default.
    virtual std::optional<URL> urlForApplicationToOpenURL(const URL& url) = 0;
    // Every application that declares it opens files of `contentType` (a
    // MIME type such as "text/calendar"), the default first. Applications
    // that only open a parent type (any text editor, for "text/plain") are
    // not among them.
    virtual std::vector<URL> urlsForApplicationsToOpenContentType(const std::string& contentType) = 0;
    // The application that opens files of `contentType` by default, chosen
    // among those that declare it.
    virtual std::optional<URL> urlForApplicationToOpenContentType(const std::string& contentType) = 0;
    // An icon for the application whose entry lies at `path`, as a serialised
    // icon (an icon name or a file path); a generic application icon when it
    // names none.
    virtual std::string iconForFile(const std::filesystem::path& path) = 0;

    // Launches the application at `applicationURL` on `urls`. An
    // application is handed only URLs it declares it opens (the scheme of
    // each, or files); anything else completes with an error and starts
    // nothing.
    virtual void openURLs(const std::vector<URL>& urls, const URL& applicationURL,
                          std::shared_ptr<const OpenConfiguration> configuration,
                          OpenCompletion completionHandler) = 0;
    // Launches the application at `applicationURL` without any URL.
    virtual void openApplicationAtURL(const URL& applicationURL,
                                      std::shared_ptr<const OpenConfiguration> configuration,
                                      OpenCompletion completionHandler) = 0;
    // Hands `url` to the desktop's default application for it; false when
    // there is none or it could not be started.
    virtual bool openURL(const URL& url) = 0;

    // The application described by the entry at `url`; null when `url` does
    // not name a readable application entry.
    virtual std::unique_ptr<Bundle> bundleWithURL(const URL& url) = 0;
};

} // namespace platform
