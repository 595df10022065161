#pragma once

#include "Platform/View/Font.h"
#include "Platform/View/LayoutDirection.h"
#include "Platform/View/ShapeStyle.h"
#include "Platform/View/View.h"

#include <optional>

namespace platform {

// The settings a view inherits from the views around it.
struct LayoutEnvironment {
    Font font = Font::system(13.0);  // the desktop's body text
    ShapeStyle foreground;           // primary
    std::optional<int> lineLimit;    // absent: no limit
    double minimumScaleFactor = 1.0; // texts do not shrink unless asked to
    bool allowsTightening = false;
    ButtonStyle buttonStyle = ButtonStyle::automatic;
    // From the user's locale; the system sets it where it lays out a widget.
    LayoutDirection layoutDirection = LayoutDirection::leftToRight;
    bool operator==(const LayoutEnvironment&) const = default;
};

} // namespace platform
