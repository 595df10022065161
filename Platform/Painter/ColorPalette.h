#pragma once

#include "Platform/Painter/Appearance.h"
#include "Platform/View/ShapeStyle.h"

namespace platform {

// A colour as the painter hands it to Cairo: components from 0 to 1, not premultiplied.
struct RGBAColor {
    double red = 0.0;
    double green = 0.0;
    double blue = 0.0;
    double alpha = 1.0;
    bool operator==(const RGBAColor&) const = default;
};

// The one place where semantic colours become values (see docs/painting.md).
RGBAColor resolvedColor(SemanticColor color, Appearance appearance);

// A style's colour with the style's opacity folded into its alpha.
RGBAColor resolvedColor(const ShapeStyle& style, Appearance appearance);

} // namespace platform
