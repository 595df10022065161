#pragma once

#include <limits>
#include <optional>

namespace platform {

// Sizes and positions are in points, the device-independent unit the painter
// scales by the output's scale factor.

struct Point {
    double x = 0.0; // from the left edge
    double y = 0.0; // from the top edge
    bool operator==(const Point&) const = default;
};

struct Size {
    double width = 0.0;  // along x
    double height = 0.0; // along y
    bool operator==(const Size&) const = default;
};

struct Rect {
    Point origin; // top-left corner
    Size size;    // never negative

    double minX() const { return origin.x; }
    double minY() const { return origin.y; }
    double maxX() const { return origin.x + size.width; }
    double maxY() const { return origin.y + size.height; }
    double midX() const { return origin.x + size.width / 2; }
    double midY() const { return origin.y + size.height / 2; }
    bool contains(Point point) const {
        return point.x >= minX() && point.x < maxX() && point.y >= minY() && point.y < maxY();
    }
    bool operator==(const Rect&) const = default;
};

// What a parent offers a child, per axis: a length, infinity ("as much as you
// like", which asks for the child's largest size), or absent ("your ideal
// size"). The child answers with the size it wants; the parent then places it.
struct ProposedSize {
    std::optional<double> width;  // absent: ideal width
    std::optional<double> height; // absent: ideal height

    static ProposedSize unspecified() { return {}; }
    static ProposedSize infinity() {
        return {std::numeric_limits<double>::infinity(), std::numeric_limits<double>::infinity()};
    }
    static ProposedSize zero() { return {0.0, 0.0}; }
    static ProposedSize of(Size size) { return {size.width, size.height}; }
    bool operator==(const ProposedSize&) const = default;
};

enum class Axis { horizontal, vertical };

} // namespace platform
