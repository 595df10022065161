// Draws the two pictures of the widget that the onboarding page shows,
// "tarvelo-small.png" (204 x 204 pixels) and "tarvelo-medium.png" (429 x 205
// pixels), with the widget's own view and painter. Run by the build; the
// pictures then ship among the application's resources.
//
// Both are drawn at 1.2 pixels per point, so the text has the same size in
// the two pictures, as on a desktop. The small widget is 170 x 170 points,
// which gives exactly 204 x 204; the medium one is laid out at 357.5 x 170.83
// points (its usual 364 x 170 does not fit 429 x 205 at one scale), which
// the widget's flexible layout takes without a visible difference.
//
// The month is fixed (June 2025, today the 18th), so every build draws the
// same pictures; the build pins the language and zone too. A second argument
// is put after each file's name: the build runs the tool again in Hebrew
// with "-rtl", for the right-to-left pair "tarvelo-small-rtl.png" and
// "tarvelo-medium-rtl.png".

#include "Platform/Painter/Painter.h"
#include "TarveloFeature/MonthModel/MonthGrid.h"
#include "TarveloWidget/WidgetRendering.h"

#include <cairo.h>
#include <cstdio>
#include <filesystem>
#include <string>

namespace {

constexpr double pixelsPerPoint = 1.2;
// 2025-06-18 12:00 UTC.
constexpr double pictureMoment = 1750248000.0;

struct Picture {
    const char* fileName; // without the extension
    int pixelWidth;
    int pixelHeight;
};

constexpr Picture pictures[] = {{"tarvelo-small", 204, 204}, {"tarvelo-medium", 429, 205}};

bool draw(const platform::Painter& painter, const tarvelo::MonthEntry& entry, const Picture& picture,
          const std::filesystem::path& path) {
    const platform::Size size{picture.pixelWidth / pixelsPerPoint, picture.pixelHeight / pixelsPerPoint};
    const platform::Instant today = entry.date;
    const platform::DisplayList list =
        tarvelo::widgetPicture(entry, size, painter.measurer(), [today] { return today; });

    // An exact pixel size: rounding the point size back up could add a row.
    cairo_surface_t* surface =
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, picture.pixelWidth, picture.pixelHeight);
    cairo_t* cairo = cairo_create(surface);
    cairo_scale(cairo, pixelsPerPoint, pixelsPerPoint);
    painter.paint(cairo, list, platform::Appearance::light);
    cairo_destroy(cairo);
    cairo_surface_flush(surface);
    const bool written = cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    return written;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "Usage: tarvelo-preview-art FOLDER [SUFFIX]\n"
                             "Writes tarvelo-small.png and tarvelo-medium.png into FOLDER\n"
                             "(tarvelo-small-rtl.png ... with the suffix -rtl).\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    const std::string suffix = argc == 3 ? argv[2] : "";
    if (suffix.find('/') != std::string::npos) {
        std::fprintf(stderr, "tarvelo-preview-art: the suffix is part of a file name\n");
        return 2;
    }
    std::error_code error;
    std::filesystem::create_directories(folder, error);

    const platform::Painter painter;
    tarvelo::MonthEntry entry;
    entry.date = platform::Instant::sinceUnixEpoch(pictureMoment);
    entry.visibleMonth = tarvelo::MonthGrid::month(0, entry.date);

    int status = 0;
    for (const Picture& picture : pictures) {
        const auto path = folder / (picture.fileName + suffix + ".png");
        if (!draw(painter, entry, picture, path)) {
            std::fprintf(stderr, "tarvelo-preview-art: could not write %s\n", path.c_str());
            status = 1;
        }
    }
    return status;
}
