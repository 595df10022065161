#pragma once

#include <utility>
#include <vector>

namespace platform {

// A rectangle of the desktop, in desktop pixels.
struct ScreenRect {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const ScreenRect&) const = default;
};

// Where a widget window stands so that the user can see it: `widget` as
// stored, unchanged when at least half of it lies on one of `workAreas`
// (the monitors' areas without panels); otherwise moved, by as little as
// it takes, inside the work area nearest to its centre (its top-left
// corner first, should the widget be larger than the area). With no work
// area known the stored origin stands.
std::pair<int, int> fitOnScreen(const ScreenRect& widget, const std::vector<ScreenRect>& workAreas);

} // namespace platform
