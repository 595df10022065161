#pragma once

#include <optional>
#include <string_view>

namespace platform {

// Which way the user's language reads. Leading and trailing follow it: in
// right to left, leading is the right edge, horizontal stacks run leftwards
// and directional symbols point the other way.
enum class LayoutDirection { leftToRight, rightToLeft };

inline std::string_view name(LayoutDirection direction) {
    return direction == LayoutDirection::rightToLeft ? "rightToLeft" : "leftToRight";
}

inline std::optional<LayoutDirection> layoutDirectionNamed(std::string_view text) {
    if (text == "leftToRight")
        return LayoutDirection::leftToRight;
    if (text == "rightToLeft")
        return LayoutDirection::rightToLeft;
    return std::nullopt;
}

// The symbol that shows `systemName` in right to left: a symbol that points
// along the line ("chevron.left") points the other way; others stay as they are.
inline std::string_view mirroredSymbolName(std::string_view systemName) {
    if (systemName == "chevron.left")
        return "chevron.right";
    if (systemName == "chevron.right")
        return "chevron.left";
    return systemName;
}

} // namespace platform
