#include "Platform/View/Font.h"

#include <array>
#include <utility>

namespace platform {

namespace {

constexpr std::array<std::pair<FontWeight, std::string_view>, 9> weightNames{{
    {FontWeight::ultraLight, "ultraLight"},
    {FontWeight::thin, "thin"},
    {FontWeight::light, "light"},
    {FontWeight::regular, "regular"},
    {FontWeight::medium, "medium"},
    {FontWeight::semibold, "semibold"},
    {FontWeight::bold, "bold"},
    {FontWeight::heavy, "heavy"},
    {FontWeight::black, "black"},
}};

// "default" is the name the declarative toolkit gives the standard design.
constexpr std::array<std::pair<FontDesign, std::string_view>, 4> designNames{{
    {FontDesign::standard, "default"},
    {FontDesign::rounded, "rounded"},
    {FontDesign::serif, "serif"},
    {FontDesign::monospaced, "monospaced"},
}};

} // namespace

std::string_view name(FontWeight weight) {
    for (const auto& [value, text] : weightNames)
        if (value == weight)
            return text;
    return "regular";
}

std::string_view name(FontDesign design) {
    for (const auto& [value, text] : designNames)
        if (value == design)
            return text;
    return "default";
}

std::optional<FontWeight> fontWeightNamed(std::string_view text) {
    for (const auto& [value, candidate] : weightNames)
        if (candidate == text)
            return value;
    return std::nullopt;
}

std::optional<FontDesign> fontDesignNamed(std::string_view text) {
    for (const auto& [value, candidate] : designNames)
        if (candidate == text)
            return value;
    return std::nullopt;
}

} // namespace platform
