#pragma once

#include "Platform/WidgetHost/WidgetPlacement.h"

#include <filesystem>
#include <string>
#include <vector>

namespace platform {

// The widget host's own record of the widgets on the desktop.
//
// File format (UTF-8 JSON), by default $XDG_STATE_HOME/tarvelo/widgets.json:
//
//     {"tarvelo-widgets": 1,
//      "widgets": [{"id": "1", "kind": "TarveloWidget", "family": "small", "x": 40, "y": 60}]}
//
// Writes replace the whole file crash-safely (FileReplacement: temporary
// file, flush, rename), readable by the owner only; a symbolic link stays a
// link to the file it leads to. A file that is not ours (not JSON, another
// version, over 1 MiB, nested deeper than deepestJSONNesting) is moved aside
// (FileReplacement::moveAside: widgets.json.unreadable-<UTC time>) rather
// than overwritten, and counts as nothing placed. A file we cannot read, or cannot move aside, is left as it
// is: the store then never writes it, and placements live in memory.
class PlacementStore {
public:
    explicit PlacementStore(std::filesystem::path file);

    // $XDG_STATE_HOME/tarvelo/widgets.json (XdgFolders); empty without a
    // home folder, and a store of an empty path keeps placements in memory.
    static std::filesystem::path defaultPath();

    const std::filesystem::path& path() const { return path_; }

    // The placements on file; empty with `problem` set when the file is
    // unreadable (it is then kept aside). A missing file is no problem.
    std::vector<WidgetPlacement> load(std::string& problem);

    // Replaces the file with `placements`; false with `problem` on failure,
    // in which case the old file is untouched. Always false, with the same
    // problem, once load() has left the file as it is.
    bool save(const std::vector<WidgetPlacement>& placements, std::string& problem);

    // Largest file we read; a placement list is a few hundred bytes.
    static constexpr std::uintmax_t maximumFileSize = 1024 * 1024;
    // Positions beyond this many pixels from the origin are not believed.
    static constexpr int largestCoordinate = 100000;

private:
    void keepAside(std::string& problem, const std::string& reason);
    void leaveAsItIs(std::string& problem, const std::string& reason);

    std::filesystem::path path_;
    // Why the file is left as it is; empty while it may be written.
    std::string leftAsItIs_;
};

} // namespace platform
