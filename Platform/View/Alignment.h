#pragma once

namespace platform {

// Where a smaller child sits along one axis of the space it is placed in.
enum class AxisAlignment { leading, center, trailing };

enum class HorizontalAlignment { leading, center, trailing };
enum class VerticalAlignment { top, center, bottom };

// A two-axis alignment, as frames and z-stacks use it.
struct Alignment {
    HorizontalAlignment horizontal = HorizontalAlignment::center;
    VerticalAlignment vertical = VerticalAlignment::center;

    static constexpr Alignment center() { return {}; }
    static constexpr Alignment top() { return {HorizontalAlignment::center, VerticalAlignment::top}; }
    static constexpr Alignment bottom() { return {HorizontalAlignment::center, VerticalAlignment::bottom}; }
    static constexpr Alignment leading() { return {HorizontalAlignment::leading, VerticalAlignment::center}; }
    static constexpr Alignment trailing() {
        return {HorizontalAlignment::trailing, VerticalAlignment::center};
    }
    static constexpr Alignment topLeading() { return {HorizontalAlignment::leading, VerticalAlignment::top}; }
    bool operator==(const Alignment&) const = default;
};

inline AxisAlignment axisAlignment(HorizontalAlignment alignment) {
    return static_cast<AxisAlignment>(static_cast<int>(alignment));
}
inline AxisAlignment axisAlignment(VerticalAlignment alignment) {
    return static_cast<AxisAlignment>(static_cast<int>(alignment));
}

// The offset of a child of length `child` inside a space of length `space`.
inline double alignedOffset(AxisAlignment alignment, double space, double child) {
    switch (alignment) {
    case AxisAlignment::leading:
        return 0.0;
    case AxisAlignment::center:
        return (space - child) / 2;
    case AxisAlignment::trailing:
        return space - child;
    }
    return 0.0;
}

} // namespace platform
