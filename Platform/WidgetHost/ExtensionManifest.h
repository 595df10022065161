#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// How the widget host finds a widget extension: a small JSON file in a
// "tarvelo/widget-extensions" folder of the data folders (docs/widget-host.md).
//
//     {"tarvelo-widget-extension": 1,
//      "identifier": "today.tarvelo.Tarvelo.TarveloWidget",
//      "exec": "../../../libexec/tarvelo/TarveloWidget",
//      "hostApplication": "today.tarvelo.Tarvelo"}
//
// "exec" is absolute or relative to the manifest's folder; it is run
// directly, never through a shell, with no arguments.
struct ExtensionManifest {
    std::string identifier;
    std::filesystem::path executable;
    std::string hostApplication;
    std::filesystem::path manifestPath;

    // Reads one manifest; absent with the reason in `problem` when the file
    // is missing, unreadable, malformed or names no runnable program.
    static std::optional<ExtensionManifest> read(const std::filesystem::path& path, std::string& problem);

    // The folders searched, most important first: the data folder beside the
    // host's program (which is the build tree's when run from there), then
    // $XDG_DATA_HOME, then each of $XDG_DATA_DIRS. `besideHost` is that data
    // folder.
    static std::vector<std::filesystem::path> searchFolders(const std::filesystem::path& besideHost);

    // Every readable manifest in the search folders; of two with the same
    // identifier the first found wins. Each unusable file is reported once
    // through `log`. The host searches beside itself; another program asks
    // what a host would find by naming the data folder beside the host's
    // program.
    static std::vector<ExtensionManifest> discover(const std::function<void(const std::string&)>& log,
                                                   const std::filesystem::path& besideHost);
    static std::vector<ExtensionManifest> discover(const std::function<void(const std::string&)>& log);
};

} // namespace platform
