#pragma once

#include <optional>
#include <string_view>

namespace platform {

// Colours by meaning, not by value: the painter resolves them for the light
// or dark appearance it paints in. primary/secondary/tertiary are the
// hierarchical foreground levels; tertiaryFill is the fill level used behind
// content.
enum class SemanticColor { primary, secondary, tertiary, tertiaryFill, red, white, orange, accent };

std::string_view name(SemanticColor color);
std::optional<SemanticColor> semanticColorNamed(std::string_view text);

// A colour with an opacity, as foreground styles and fills take it.
struct ShapeStyle {
    SemanticColor color = SemanticColor::primary;
    double opacity = 1.0; // 0 to 1

    // This style at `factor` times its opacity (as `Color.secondary.opacity(0.4)`).
    ShapeStyle withOpacity(double factor) const { return {color, opacity * factor}; }
    bool operator==(const ShapeStyle&) const = default;
};

} // namespace platform
