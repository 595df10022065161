#pragma once

#include "Platform/View/Geometry.h"
#include "Platform/View/TextMeasurer.h"

#include <optional>

namespace platform {

// How far tightening may pull characters together: this share of the font
// size per gap between characters. Enough to save a few points on a month
// title, too little to make letters touch.
inline constexpr double maximumTighteningPerEm = 0.04;

// How a text may give way when it is wider than the space offered.
struct TextFitting {
    double minimumScaleFactor = 1.0; // shrink down to this share of the font size
    bool allowsTightening = false;   // pull characters together first
};

// The outcome of fitting one line of text into a width.
struct FittedText {
    Size size;              // the size the text takes
    double scale = 1.0;     // share of the font size it is set in
    double tracking = 0.0;  // extra space between characters, in points (negative: tightened)
    bool truncated = false; // even at the smallest size it is too wide: cut with an ellipsis
};

// Fits a line measured at `fontSize` into `proposedWidth` (absent or
// infinite: its natural width). In order: as it is; tightened; shrunk
// (tightened as well, where allowed) down to the minimum scale factor;
// truncated at that size.
FittedText fitText(const TextMetrics& metrics, double fontSize, std::optional<double> proposedWidth,
                   const TextFitting& fitting);

} // namespace platform
