// What the widget's picture costs next to the least any drawing of it costs.
//
//   widget-picture-bench                      Google Benchmark timings
//   widget-picture-bench --callgrind-once widget|bare
//       draws a few warm-up pictures, then 10 measured ones inside
//       measuredWidgetPictures / measuredBarePictures, for
//       valgrind --tool=callgrind --toggle-collect='measured*Pictures*'
//
// The widget side is everything the extension and host do per picture: the
// view tree, layout (Pango measurer, warm), painting at scale 2 into an
// image. The bare side draws a background, the title and 42 numbers with
// one Pango layout at the same places.

#include "Platform/Painter/Painter.h"
#include "TarveloFeature/MonthModel/MonthGrid.h"
#include "TarveloWidget/WidgetRendering.h"

#include <benchmark/benchmark.h>
#include <cairo.h>
#include <cstring>
#include <pango/pangocairo.h>
#include <string>

namespace {

constexpr double scale = 2.0;
constexpr int measuredRounds = 10;

tarvelo::MonthEntry currentEntry() {
    tarvelo::MonthEntry entry;
    entry.date = platform::Instant::now();
    entry.visibleMonth = tarvelo::MonthGrid::month(0, entry.date);
    return entry;
}

void drawWidget(const platform::Painter& painter, const tarvelo::MonthEntry& entry) {
    const platform::DisplayList list =
        tarvelo::widgetPicture(entry, tarvelo::systemMediumSize, painter.measurer());
    const auto image = painter.render(list, scale, platform::Appearance::light, 20.0);
    benchmark::DoNotOptimize(cairo_image_surface_get_data(image.get()));
}

// The same visible work with nothing in between: a fresh surface, a filled
// background, the title and 42 day numbers set with one reused layout.
class BareDrawing {
public:
    BareDrawing() {
        fontMap_ = pango_cairo_font_map_new();
        context_ = pango_font_map_create_context(fontMap_);
        layout_ = pango_layout_new(context_);
        titleFont_ = pango_font_description_from_string("sans-serif Bold");
        pango_font_description_set_absolute_size(titleFont_, 13 * PANGO_SCALE);
        numberFont_ = pango_font_description_from_string("sans-serif");
        pango_font_description_set_absolute_size(numberFont_, 10 * PANGO_SCALE);
        for (int day = 1; day <= 42; ++day)
            numbers_.push_back(std::to_string((day - 1) % 31 + 1));
    }
    ~BareDrawing() {
        pango_font_description_free(titleFont_);
        pango_font_description_free(numberFont_);
        g_object_unref(layout_);
        g_object_unref(context_);
        g_object_unref(fontMap_);
    }

    void draw() const {
        const auto size = tarvelo::systemMediumSize;
        cairo_surface_t* surface = cairo_image_surface_create(
            CAIRO_FORMAT_ARGB32, static_cast<int>(size.width * scale), static_cast<int>(size.height * scale));
        cairo_t* cairo = cairo_create(surface);
        cairo_scale(cairo, scale, scale);
        cairo_set_source_rgb(cairo, 0.96, 0.96, 0.97);
        cairo_paint(cairo);
        pango_cairo_update_context(cairo, context_);
        pango_layout_context_changed(layout_);
        cairo_set_source_rgba(cairo, 0, 0, 0, 0.85);
        pango_layout_set_font_description(layout_, titleFont_);
        pango_layout_set_text(layout_, "December", -1);
        cairo_move_to(cairo, 150, 17);
        pango_cairo_show_layout(cairo, layout_);
        pango_layout_set_font_description(layout_, numberFont_);
        const double cellWidth = (size.width - 16 - 12) / 7;
        for (int index = 0; index < 42; ++index) {
            pango_layout_set_text(layout_, numbers_[index].c_str(), -1);
            cairo_move_to(cairo, 8 + (index % 7) * (cellWidth + 2) + cellWidth / 2 - 3,
                          51 + (index / 7) * 17.0);
            pango_cairo_show_layout(cairo, layout_);
        }
        cairo_destroy(cairo);
        cairo_surface_flush(surface);
        benchmark::DoNotOptimize(cairo_image_surface_get_data(surface));
        cairo_surface_destroy(surface);
    }

private:
    PangoFontMap* fontMap_ = nullptr;
    PangoContext* context_ = nullptr;
    PangoLayout* layout_ = nullptr;
    PangoFontDescription* titleFont_ = nullptr;
    PangoFontDescription* numberFont_ = nullptr;
    std::vector<std::string> numbers_;
};

void WidgetPicture(benchmark::State& state) {
    const platform::Painter painter;
    const tarvelo::MonthEntry entry = currentEntry();
    drawWidget(painter, entry);
    for (auto _ : state)
        drawWidget(painter, entry);
}
BENCHMARK(WidgetPicture)->Unit(benchmark::kMicrosecond);

void BareCairoPango(benchmark::State& state) {
    const BareDrawing bare;
    bare.draw();
    for (auto _ : state)
        bare.draw();
}
BENCHMARK(BareCairoPango)->Unit(benchmark::kMicrosecond);

} // namespace

// Outside the anonymous namespace and not inlined, so callgrind can find them by name.
__attribute__((noinline)) void measuredWidgetPictures(const platform::Painter& painter,
                                                      const tarvelo::MonthEntry& entry) {
    for (int round = 0; round < measuredRounds; ++round)
        drawWidget(painter, entry);
}

__attribute__((noinline)) void measuredBarePictures(const BareDrawing& bare) {
    for (int round = 0; round < measuredRounds; ++round)
        bare.draw();
}

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--callgrind-once") == 0) {
        if (std::strcmp(argv[2], "widget") == 0) {
            const platform::Painter painter;
            const tarvelo::MonthEntry entry = currentEntry();
            for (int round = 0; round < 3; ++round)
                drawWidget(painter, entry);
            measuredWidgetPictures(painter, entry);
        } else {
            const BareDrawing bare;
            for (int round = 0; round < 3; ++round)
                bare.draw();
            measuredBarePictures(bare);
        }
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
