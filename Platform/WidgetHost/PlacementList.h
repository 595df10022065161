#pragma once

#include "Platform/WidgetHost/PlacementStore.h"
#include "Platform/WidgetHost/WidgetPlacement.h"

#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace platform {

// The widgets the user placed, as the host and the `place` command keep
// them: the one place that hands out identifiers, and the file
// (PlacementStore) that keeps the list across runs.
class PlacementList {
public:
    explicit PlacementList(std::filesystem::path file = PlacementStore::defaultPath());

    // Reads the file; what went wrong, to be logged, or "".
    std::string load();
    // Writes the file; what went wrong, to be logged, or "".
    std::string save();

    const std::vector<WidgetPlacement>& placements() const { return placements_; }
    const WidgetPlacement* find(const std::string& identifier) const;
    bool contains(const std::string& kind, WidgetFamily family) const;

    // Adds a widget under the next identifier (one past the largest number
    // in use), at `at` or where the desktop chooses.
    const WidgetPlacement& add(const std::string& kind, WidgetFamily family,
                               std::optional<std::pair<int, int>> at);
    bool remove(const std::string& identifier);
    void move(const std::string& identifier, int x, int y);

    // Where the next added widget goes when the desktop lets us choose: near
    // the top-left corner, each further one a step down and to the right so
    // that none hides another.
    std::pair<int, int> cascadePosition() const;

private:
    PlacementStore store_;
    std::vector<WidgetPlacement> placements_;
};

} // namespace platform
