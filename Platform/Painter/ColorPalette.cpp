#include "Platform/Painter/ColorPalette.h"

#include <algorithm>

namespace platform {

namespace {

constexpr RGBAColor rgb(int red, int green, int blue) {
    return {red / 255.0, green / 255.0, blue / 255.0, 1.0};
}

} // namespace

RGBAColor resolvedColor(SemanticColor color, Appearance appearance) {
    const bool dark = appearance == Appearance::dark;
    // Text levels are translucent black or white, so they sit well on any
    // fill; the fill behind content is opaque so the widget stays legible
    // over any wallpaper.
    switch (color) {
    case SemanticColor::primary:
        return dark ? RGBAColor{1, 1, 1, 0.85} : RGBAColor{0, 0, 0, 0.85};
    case SemanticColor::secondary:
        return dark ? RGBAColor{1, 1, 1, 0.55} : RGBAColor{0, 0, 0, 0.50};
    case SemanticColor::tertiary:
        return dark ? RGBAColor{1, 1, 1, 0.25} : RGBAColor{0, 0, 0, 0.26};
    case SemanticColor::tertiaryFill:
        return dark ? rgb(0x2c, 0x2c, 0x2e) : rgb(0xf5, 0xf5, 0xf7);
    case SemanticColor::red:
        return dark ? rgb(0xff, 0x45, 0x3a) : rgb(0xff, 0x3b, 0x30);
    case SemanticColor::white:
        return rgb(0xff, 0xff, 0xff);
    case SemanticColor::orange:
        return dark ? rgb(0xff, 0x9f, 0x0a) : rgb(0xff, 0x95, 0x00);
    case SemanticColor::accent:
        return dark ? rgb(0x78, 0xae, 0xed) : rgb(0x35, 0x84, 0xe4);
    }
    return {0, 0, 0, 1};
}

RGBAColor resolvedColor(const ShapeStyle& style, Appearance appearance) {
    RGBAColor color = resolvedColor(style.color, appearance);
    color.alpha *= std::clamp(style.opacity, 0.0, 1.0);
    return color;
}

} // namespace platform
