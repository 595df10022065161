#include "Platform/Painter/TextEngine.h"

#include <pango/pangocairo.h>

namespace platform {

namespace {

PangoWeight pangoWeight(FontWeight weight) {
    switch (weight) {
    case FontWeight::ultraLight:
        return PANGO_WEIGHT_ULTRALIGHT;
    case FontWeight::thin:
        return PANGO_WEIGHT_THIN;
    case FontWeight::light:
        return PANGO_WEIGHT_LIGHT;
    case FontWeight::regular:
        return PANGO_WEIGHT_NORMAL;
    case FontWeight::medium:
        return PANGO_WEIGHT_MEDIUM;
    case FontWeight::semibold:
        return PANGO_WEIGHT_SEMIBOLD;
    case FontWeight::bold:
        return PANGO_WEIGHT_BOLD;
    case FontWeight::heavy:
        return PANGO_WEIGHT_ULTRABOLD;
    case FontWeight::black:
        return PANGO_WEIGHT_HEAVY;
    }
    return PANGO_WEIGHT_NORMAL;
}

} // namespace

TextEngine::TextEngine(std::string family)
    : family_(std::move(family)) {
    // A private font map: the default one is shared by every thread of the
    // process, and its settings are not ours to fix.
    fontMap_ = pango_cairo_font_map_new();
    context_ = pango_font_map_create_context(fontMap_);

    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_subpixel_order(options, CAIRO_SUBPIXEL_ORDER_DEFAULT);
    pango_cairo_context_set_font_options(context_, options);
    cairo_font_options_destroy(options);
    // Whole-pixel glyph positions would make widths depend on the scale.
    pango_context_set_round_glyph_positions(context_, FALSE);
    pango_cairo_context_set_resolution(context_, 96.0);
}

TextEngine::~TextEngine() {
    for (auto& [key, description] : descriptions_)
        pango_font_description_free(description);
    g_object_unref(context_);
    g_object_unref(fontMap_);
}

const PangoFontDescription* TextEngine::description(const Font& font) const {
    const auto key = std::make_tuple(font.size, static_cast<int>(font.weight), static_cast<int>(font.design));
    const auto found = descriptions_.find(key);
    if (found != descriptions_.end())
        return found->second;
    // Shrunk texts bring sizes of their own; keep the table from growing for ever.
    constexpr std::size_t largestCount = 256;
    if (descriptions_.size() >= largestCount) {
        for (auto& [unused, kept] : descriptions_)
            pango_font_description_free(kept);
        descriptions_.clear();
    }
    PangoFontDescription* description = pango_font_description_new();
    switch (font.design) {
    case FontDesign::standard:
    case FontDesign::rounded:
        pango_font_description_set_family(description, family_.c_str());
        break;
    case FontDesign::serif:
        pango_font_description_set_family(description, "serif");
        break;
    case FontDesign::monospaced:
        pango_font_description_set_family(description, "monospace");
        break;
    }
    pango_font_description_set_weight(description, pangoWeight(font.weight));
    // Absolute: user-space units, which are points; a plain size would be
    // typographic points at 96 dpi, a third larger.
    pango_font_description_set_absolute_size(description, font.size * PANGO_SCALE);
    descriptions_.emplace(key, description);
    return description;
}

} // namespace platform
