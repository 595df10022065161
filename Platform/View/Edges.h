#pragma once

namespace platform {

// A set of edges, for padding that applies to some sides only.
enum class Edges : unsigned {
    top = 1,
    leading = 2,
    bottom = 4,
    trailing = 8,
    horizontal = leading | trailing,
    vertical = top | bottom,
    all = horizontal | vertical,
};

constexpr Edges operator|(Edges first, Edges second) {
    return static_cast<Edges>(static_cast<unsigned>(first) | static_cast<unsigned>(second));
}
constexpr bool contains(Edges set, Edges edge) {
    return (static_cast<unsigned>(set) & static_cast<unsigned>(edge)) == static_cast<unsigned>(edge);
}

// Inset lengths per edge, in points. Leading is the left edge in a
// left-to-right layout and the right edge in a right-to-left one.
struct EdgeInsets {
    double top = 0.0;
    double leading = 0.0;
    double bottom = 0.0;
    double trailing = 0.0;

    static EdgeInsets on(Edges edges, double length) {
        return {contains(edges, Edges::top) ? length : 0.0, contains(edges, Edges::leading) ? length : 0.0,
                contains(edges, Edges::bottom) ? length : 0.0,
                contains(edges, Edges::trailing) ? length : 0.0};
    }
    double horizontal() const { return leading + trailing; }
    double vertical() const { return top + bottom; }
    bool operator==(const EdgeInsets&) const = default;
};

} // namespace platform
