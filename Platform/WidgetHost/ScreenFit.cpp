#include "Platform/WidgetHost/ScreenFit.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace platform {

namespace {

std::int64_t overlap(const ScreenRect& a, const ScreenRect& b) {
    const std::int64_t width =
        std::min<std::int64_t>(std::int64_t{a.x} + a.width, std::int64_t{b.x} + b.width) - std::max(a.x, b.x);
    const std::int64_t height =
        std::min<std::int64_t>(std::int64_t{a.y} + a.height, std::int64_t{b.y} + b.height) -
        std::max(a.y, b.y);
    return width > 0 && height > 0 ? width * height : 0;
}

// Distance from a point to the nearest point of the rectangle.
double distance(std::int64_t x, std::int64_t y, const ScreenRect& area) {
    const std::int64_t dx = std::max<std::int64_t>({area.x - x, 0, x - (std::int64_t{area.x} + area.width)});
    const std::int64_t dy = std::max<std::int64_t>({area.y - y, 0, y - (std::int64_t{area.y} + area.height)});
    return std::hypot(static_cast<double>(dx), static_cast<double>(dy));
}

// The origin along one axis that puts [origin, origin + length) inside
// [start, start + room), moving it as little as it takes.
int clampInto(int origin, int length, int start, int room) {
    const std::int64_t last = std::int64_t{start} + room - length;
    if (last < start)
        return start;
    return static_cast<int>(std::clamp<std::int64_t>(origin, start, last));
}

} // namespace

std::pair<int, int> fitOnScreen(const ScreenRect& widget, const std::vector<ScreenRect>& workAreas) {
    const std::int64_t size = std::int64_t{std::max(widget.width, 0)} * std::max(widget.height, 0);
    std::int64_t best = 0;
    const ScreenRect* nearest = nullptr;
    double nearestDistance = std::numeric_limits<double>::infinity();
    const std::int64_t centreX = std::int64_t{widget.x} + widget.width / 2;
    const std::int64_t centreY = std::int64_t{widget.y} + widget.height / 2;
    for (const auto& area : workAreas) {
        if (area.width <= 0 || area.height <= 0)
            continue;
        best = std::max(best, overlap(widget, area));
        if (const double away = distance(centreX, centreY, area); away < nearestDistance) {
            nearestDistance = away;
            nearest = &area;
        }
    }
    if (!nearest || 2 * best >= size)
        return {widget.x, widget.y};
    return {clampInto(widget.x, widget.width, nearest->x, nearest->width),
            clampInto(widget.y, widget.height, nearest->y, nearest->height)};
}

} // namespace platform
