#include "Platform/WidgetHost/PlacementList.h"

#include <algorithm>
#include <cstdlib>

namespace platform {

PlacementList::PlacementList(std::filesystem::path file)
    : store_(std::move(file)) {}

std::string PlacementList::load() {
    std::string problem;
    placements_ = store_.load(problem);
    return problem;
}

std::string PlacementList::save() {
    std::string problem;
    store_.save(placements_, problem);
    return problem;
}

const WidgetPlacement* PlacementList::find(const std::string& identifier) const {
    const auto found = std::find_if(placements_.begin(), placements_.end(), [&](const auto& placement) {
        return placement.identifier == identifier;
    });
    return found == placements_.end() ? nullptr : &*found;
}

bool PlacementList::contains(const std::string& kind, WidgetFamily family) const {
    return std::any_of(placements_.begin(), placements_.end(), [&](const auto& placement) {
        return placement.kind == kind && placement.family == family;
    });
}

const WidgetPlacement& PlacementList::add(const std::string& kind, WidgetFamily family,
                                          std::optional<std::pair<int, int>> at) {
    long largest = 0;
    for (const auto& placement : placements_)
        largest = std::max(largest, std::strtol(placement.identifier.c_str(), nullptr, 10));
    WidgetPlacement placement{std::to_string(largest + 1), kind, family, {}, {}};
    if (at) {
        placement.x = at->first;
        placement.y = at->second;
    }
    return placements_.emplace_back(std::move(placement));
}

bool PlacementList::remove(const std::string& identifier) {
    return std::erase_if(placements_,
                         [&](const auto& placement) { return placement.identifier == identifier; }) > 0;
}

void PlacementList::move(const std::string& identifier, int x, int y) {
    for (auto& placement : placements_)
        if (placement.identifier == identifier) {
            placement.x = x;
            placement.y = y;
        }
}

std::pair<int, int> PlacementList::cascadePosition() const {
    const int step = static_cast<int>(placements_.size() % 10) * 24;
    return {48 + step, 48 + step};
}

} // namespace platform
