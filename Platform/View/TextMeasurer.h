#pragma once

#include "Platform/View/Font.h"

#include <string_view>

namespace platform {

// What layout needs to know of a text set on one line in a font.
struct TextMetrics {
    double width = 0.0;    // the natural width of the whole text on one line, in points
    double height = 0.0;   // the line's height (ascent plus descent), in points
    double baseline = 0.0; // from the line's top to its baseline, in points
    int graphemes = 0;     // user-perceived characters; tightening shrinks the gaps between them
};

// Measures texts for layout. Layout stays a pure function of the view, the
// size and this interface: the product passes a Pango measurer, tests a fake
// one with round numbers. Widths and heights must scale linearly with the
// font size (no hinted metrics), so layout can shrink text without asking again.
class TextMeasurer {
public:
    virtual ~TextMeasurer() = default;
    virtual TextMetrics measure(std::string_view text, const Font& font) const = 0;
};

} // namespace platform
