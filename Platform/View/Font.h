#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform {

enum class FontWeight { ultraLight, thin, light, regular, medium, semibold, bold, heavy, black };
enum class FontDesign { standard, rounded, serif, monospaced };

// The system font at an absolute size in points, with a weight and a design.
struct Font {
    double size = 13.0; // points
    FontWeight weight = FontWeight::regular;
    FontDesign design = FontDesign::standard;

    static Font system(double size, FontWeight weight = FontWeight::regular,
                       FontDesign design = FontDesign::standard) {
        return {size, weight, design};
    }
    bool operator==(const Font&) const = default;
};

// The names used in the display list's JSON ("semibold", "default" ...).
std::string_view name(FontWeight weight);
std::string_view name(FontDesign design);
std::optional<FontWeight> fontWeightNamed(std::string_view text);
std::optional<FontDesign> fontDesignNamed(std::string_view text);

} // namespace platform
