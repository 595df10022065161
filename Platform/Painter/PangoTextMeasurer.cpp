#include "Platform/Painter/PangoTextMeasurer.h"

#include <pango/pangocairo.h>

namespace platform {

PangoTextMeasurer::PangoTextMeasurer(const TextEngine& engine)
    : engine_(engine) {
    const std::lock_guard guard(engine_.lock());
    layout_ = pango_layout_new(engine_.context());
}

PangoTextMeasurer::~PangoTextMeasurer() {
    const std::lock_guard guard(engine_.lock());
    g_object_unref(layout_);
}

TextMetrics PangoTextMeasurer::measure(std::string_view text, const Font& font) const {
    Key key{std::string(text), font.size, static_cast<int>(font.weight), static_cast<int>(font.design)};
    {
        const std::lock_guard guard(cacheLock_);
        const auto found = cache_.find(key);
        if (found != cache_.end())
            return found->second;
    }

    TextMetrics metrics;
    {
        const std::lock_guard guard(engine_.lock());
        // The context's matrix may have been left scaled by a paint.
        pango_context_set_matrix(engine_.context(), nullptr);
        pango_layout_context_changed(layout_);
        pango_layout_set_font_description(layout_, engine_.description(font));
        pango_layout_set_text(layout_, std::get<0>(key).data(), static_cast<int>(std::get<0>(key).size()));
        PangoRectangle logical;
        pango_layout_get_extents(layout_, nullptr, &logical);
        metrics.width = static_cast<double>(logical.width) / PANGO_SCALE;
        metrics.height = static_cast<double>(logical.height) / PANGO_SCALE;
        metrics.baseline = static_cast<double>(pango_layout_get_baseline(layout_)) / PANGO_SCALE;
        int attributeCount = 0;
        const PangoLogAttr* attributes = pango_layout_get_log_attrs_readonly(layout_, &attributeCount);
        // One attribute per character plus one past the end; a cursor
        // position starts each grapheme.
        for (int index = 0; index + 1 < attributeCount; ++index)
            metrics.graphemes += attributes[index].is_cursor_position ? 1 : 0;
    }

    const std::lock_guard guard(cacheLock_);
    constexpr std::size_t largestCount = 4096;
    if (cache_.size() >= largestCount)
        cache_.clear();
    cache_.emplace(std::move(key), metrics);
    return metrics;
}

} // namespace platform
