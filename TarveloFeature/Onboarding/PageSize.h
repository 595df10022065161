#pragma once

#include <optional>

namespace tarvelo {

// The onboarding page's size in points. It is the size of the window: the
// window is exactly as large as the page.
namespace PageSize {

inline constexpr double width = 640.0;
inline constexpr double minimumHeight = 520.0;
inline constexpr double maximumHeight = 960.0;
// Room left free above and below the window on the main screen.
inline constexpr double screenMargin = 40.0;

// The page's height for a main screen whose usable area (without panels
// and docks) is `visibleFrameHeight` high; absent when there is no screen.
// A screen too short for 520 still gets 520: the page would be unusable
// any smaller, and the window may reach past the usable area.
double height(std::optional<double> visibleFrameHeight);

} // namespace PageSize

} // namespace tarvelo
