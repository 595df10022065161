#include "Platform/Painter/Painter.h"

#include "Platform/Painter/ColorPalette.h"

#include <algorithm>
#include <cmath>
#include <pango/pangocairo.h>

namespace platform {

namespace {

constexpr double largestScale = 16.0;
constexpr double largestPixelSide = 16384.0;
// The one size texts are laid out at (see paintItem).
constexpr double laidOutSize = 13.0;

void setSource(cairo_t* cairo, const RGBAColor& color) {
    cairo_set_source_rgba(cairo, color.red, color.green, color.blue, color.alpha);
}

void roundedRectanglePath(cairo_t* cairo, const Rect& frame, double radius) {
    radius = std::clamp(radius, 0.0, std::min(frame.size.width, frame.size.height) / 2);
    const double degrees = M_PI / 180.0;
    cairo_new_sub_path(cairo);
    cairo_arc(cairo, frame.maxX() - radius, frame.minY() + radius, radius, -90 * degrees, 0);
    cairo_arc(cairo, frame.maxX() - radius, frame.maxY() - radius, radius, 0, 90 * degrees);
    cairo_arc(cairo, frame.minX() + radius, frame.maxY() - radius, radius, 90 * degrees, 180 * degrees);
    cairo_arc(cairo, frame.minX() + radius, frame.minY() + radius, radius, 180 * degrees, 270 * degrees);
    cairo_close_path(cairo);
}

} // namespace

void SurfaceRelease::operator()(cairo_surface_t* surface) const {
    cairo_surface_destroy(surface);
}

Painter::Painter()
    : Painter(Options{}) {}

Painter::Painter(const Options& options)
    : engine_(options.fontFamily)
    , measurer_(engine_)
    , symbols_(options.iconThemes) {
    const std::lock_guard guard(engine_.lock());
    layout_ = pango_layout_new(engine_.context());
    // Load the fonts now: fontconfig reads its configuration and the font
    // files are opened here rather than during the first paint.
    for (const FontWeight weight :
         {FontWeight::regular, FontWeight::medium, FontWeight::semibold, FontWeight::bold}) {
        pango_layout_set_font_description(layout_, engine_.description(Font::system(laidOutSize, weight)));
        pango_layout_set_text(layout_, "0123456789 Aa", -1);
        pango_layout_get_extents(layout_, nullptr, nullptr);
    }
}

Painter::~Painter() {
    const std::lock_guard guard(engine_.lock());
    g_object_unref(layout_);
}

void Painter::paint(cairo_t* cairo, const DisplayList& list, Appearance appearance) const {
    const std::lock_guard guard(engine_.lock());
    // Text is shaped for the target's current matrix (the scale factor).
    pango_cairo_update_context(cairo, engine_.context());
    pango_layout_context_changed(layout_);
    // Most runs share their font with the one before; setting it again would
    // only have Pango compare two descriptions.
    std::optional<Font> layoutFont;
    LayoutDirection layoutDirection = LayoutDirection::leftToRight;
    for (const DisplayItem& item : list.items)
        paintItem(cairo, item, appearance, layoutFont, layoutDirection);
    // The measurer shares the context: leave it as it found it.
    if (layoutDirection != LayoutDirection::leftToRight)
        pango_context_set_base_dir(engine_.context(), PANGO_DIRECTION_WEAK_LTR);
}

void Painter::paintItem(cairo_t* cairo, const DisplayItem& item, Appearance appearance,
                        std::optional<Font>& layoutFont, LayoutDirection& layoutDirection) const {
    std::visit(
        [&](const auto& value) {
            using Item = std::decay_t<decltype(value)>;
            if constexpr (std::is_same_v<Item, TextRun>) {
                if (value.text.empty() || value.style.opacity <= 0 || !(value.font.size > 0))
                    return;
                // Every text is laid out at one size and drawn scaled to its
                // own. For each size it has not seen, Pango has fontconfig
                // sort every font on the system (milliseconds), and a text
                // shrunk to fit brings a size of its own: a step to a month
                // whose title shrinks differently would pay that each time.
                // Without hinting, glyphs and advances scale exactly.
                Font font = value.font;
                font.size = laidOutSize;
                const double scale = value.font.size / laidOutSize;
                if (layoutFont != font) {
                    pango_layout_set_font_description(layout_, engine_.description(font));
                    layoutFont = font;
                }
                if (layoutDirection != value.direction) {
                    // The text's own strong letters still decide its
                    // direction; this one applies where they do not.
                    pango_context_set_base_dir(engine_.context(),
                                               value.direction == LayoutDirection::rightToLeft
                                                   ? PANGO_DIRECTION_WEAK_RTL
                                                   : PANGO_DIRECTION_WEAK_LTR);
                    pango_layout_context_changed(layout_);
                    layoutDirection = value.direction;
                }
                pango_layout_set_text(layout_, value.text.data(), static_cast<int>(value.text.size()));
                PangoAttrList* attributes = nullptr;
                if (value.tracking != 0.0) {
                    attributes = pango_attr_list_new();
                    pango_attr_list_insert(attributes, pango_attr_letter_spacing_new(static_cast<int>(
                                                           value.tracking / scale * PANGO_SCALE)));
                }
                pango_layout_set_attributes(layout_, attributes);
                if (attributes)
                    pango_attr_list_unref(attributes);
                if (value.truncated) {
                    pango_layout_set_width(layout_,
                                           static_cast<int>(value.frame.size.width / scale * PANGO_SCALE));
                    pango_layout_set_ellipsize(layout_, PANGO_ELLIPSIZE_END);
                } else {
                    pango_layout_set_width(layout_, -1);
                    pango_layout_set_ellipsize(layout_, PANGO_ELLIPSIZE_NONE);
                }
                setSource(cairo, resolvedColor(value.style, appearance));
                cairo_save(cairo);
                cairo_translate(cairo, value.frame.origin.x, value.frame.origin.y);
                cairo_scale(cairo, scale, scale);
                cairo_move_to(cairo, 0, 0);
                pango_cairo_show_layout(cairo, layout_);
                cairo_restore(cairo);
            } else if constexpr (std::is_same_v<Item, ShapeItem>) {
                setSource(cairo, resolvedColor(value.fill, appearance));
                switch (value.kind) {
                case ShapeKind::rectangle:
                    cairo_rectangle(cairo, value.frame.origin.x, value.frame.origin.y, value.frame.size.width,
                                    value.frame.size.height);
                    break;
                case ShapeKind::roundedRectangle:
                    roundedRectanglePath(cairo, value.frame, value.cornerRadius);
                    break;
                case ShapeKind::circle:
                    cairo_new_sub_path(cairo);
                    cairo_arc(cairo, value.frame.midX(), value.frame.midY(),
                              std::min(value.frame.size.width, value.frame.size.height) / 2, 0, 2 * M_PI);
                    break;
                }
                cairo_fill(cairo);
            } else if constexpr (std::is_same_v<Item, SymbolItem>) {
                setSource(cairo, resolvedColor(value.style, appearance));
                symbols_.draw(cairo, value.name, value.frame);
            }
        },
        item);
}

ImageSurface Painter::render(const DisplayList& list, double scale, Appearance appearance,
                             double cornerRadius) const {
    if (!std::isfinite(scale) || scale <= 0)
        scale = 1.0;
    scale = std::min(scale, largestScale);
    const double width = std::clamp(std::ceil(list.size.width * scale), 1.0, largestPixelSide);
    const double height = std::clamp(std::ceil(list.size.height * scale), 1.0, largestPixelSide);
    ImageSurface surface(
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, static_cast<int>(width), static_cast<int>(height)));
    cairo_t* cairo = cairo_create(surface.get());
    cairo_scale(cairo, scale, scale);
    paint(cairo, list, appearance);
    if (cornerRadius > 0) {
        // Cut the corners away afterwards: a rounded clip would make every
        // drawing operation go through a mask, which costs more than all
        // the drawing itself.
        cairo_set_fill_rule(cairo, CAIRO_FILL_RULE_EVEN_ODD);
        cairo_rectangle(cairo, 0, 0, list.size.width, list.size.height);
        roundedRectanglePath(cairo, Rect{{0, 0}, list.size}, cornerRadius);
        cairo_set_operator(cairo, CAIRO_OPERATOR_CLEAR);
        cairo_fill(cairo);
    }
    cairo_destroy(cairo);
    cairo_surface_flush(surface.get());
    return surface;
}

} // namespace platform
