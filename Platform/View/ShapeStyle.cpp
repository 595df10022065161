#include "Platform/View/ShapeStyle.h"

#include <array>
#include <utility>

namespace platform {

namespace {

constexpr std::array<std::pair<SemanticColor, std::string_view>, 8> colorNames{{
    {SemanticColor::primary, "primary"},
    {SemanticColor::secondary, "secondary"},
    {SemanticColor::tertiary, "tertiary"},
    {SemanticColor::tertiaryFill, "tertiaryFill"},
    {SemanticColor::red, "red"},
    {SemanticColor::white, "white"},
    {SemanticColor::orange, "orange"},
    {SemanticColor::accent, "accent"},
}};

} // namespace

std::string_view name(SemanticColor color) {
    for (const auto& [value, text] : colorNames)
        if (value == color)
            return text;
    return "primary";
}

std::optional<SemanticColor> semanticColorNamed(std::string_view text) {
    for (const auto& [value, candidate] : colorNames)
        if (candidate == text)
            return value;
    return std::nullopt;
}

} // namespace platform
