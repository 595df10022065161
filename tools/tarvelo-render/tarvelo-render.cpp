// Renders the Tarvelo widget without a display: PNGs of the small and the
// medium size, light and dark, and each size's display list as JSON. For
// developers, to look at the widget while working on it.

#include "Platform/Painter/Painter.h"
#include "Platform/View/DisplayListJSON.h"
#include "TarveloFeature/MonthModel/MonthGrid.h"
#include "TarveloWidget/WidgetRendering.h"

#include <cairo.h>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

// The desktop clips a widget to rounded corners; so do these pictures.
constexpr double widgetCornerRadius = 20.0;

void printUsage() {
    std::puts("Usage: tarvelo-render [OPTION]...\n"
              "\n"
              "Writes the Tarvelo widget as PNG pictures (tarvelo-small-light.png,\n"
              "tarvelo-medium-dark.png, ...) and its display lists (tarvelo-small.json,\n"
              "tarvelo-medium.json) for the current month or another one.\n"
              "\n"
              "  -o, --output FOLDER       where to write (default: the current folder)\n"
              "  -s, --scale FACTOR        pixels per point, 0.5 to 8 (default: 2)\n"
              "  -a, --appearance WHICH    light, dark or both (default: both)\n"
              "  -m, --offset MONTHS       months from the current one, e.g. -1 (default: 0)\n"
              "  -h, --help                show this help\n"
              "\n"
              "Sizes: small 170 x 170 points, medium 364 x 170 points. Fonts come from\n"
              "fontconfig (FONTCONFIG_FILE is honoured), symbols from the icon theme;\n"
              "LANG/LC_TIME/LC_ALL and TZ choose the month's language and today.");
}

struct Settings {
    std::filesystem::path output = ".";
    double scale = 2.0;
    std::vector<platform::Appearance> appearances{platform::Appearance::light, platform::Appearance::dark};
    std::int64_t offset = 0;
};

bool parseNumber(const char* text, double& value) {
    char* end = nullptr;
    value = std::strtod(text, &end);
    return end != text && *end == '\0' && std::isfinite(value);
}

// False (after a message) when the command line is not understood.
bool parse(int argc, char** argv, Settings& settings, bool& help) {
    for (int index = 1; index < argc; ++index) {
        const std::string option = argv[index];
        if (option == "-h" || option == "--help") {
            help = true;
            return true;
        }
        if (index + 1 >= argc) {
            std::fprintf(stderr, "tarvelo-render: %s needs a value (see --help)\n", option.c_str());
            return false;
        }
        const char* value = argv[++index];
        double number = 0;
        if (option == "-o" || option == "--output") {
            settings.output = value;
        } else if (option == "-s" || option == "--scale") {
            if (!parseNumber(value, number) || number < 0.5 || number > 8) {
                std::fprintf(stderr, "tarvelo-render: the scale must be a number from 0.5 to 8\n");
                return false;
            }
            settings.scale = number;
        } else if (option == "-a" || option == "--appearance") {
            const std::string which = value;
            if (which == "light")
                settings.appearances = {platform::Appearance::light};
            else if (which == "dark")
                settings.appearances = {platform::Appearance::dark};
            else if (which != "both") {
                std::fprintf(stderr, "tarvelo-render: the appearance is light, dark or both\n");
                return false;
            }
        } else if (option == "-m" || option == "--offset") {
            if (!parseNumber(value, number) || number != std::trunc(number) || std::fabs(number) > 120000) {
                std::fprintf(stderr, "tarvelo-render: the offset is a whole number of months\n");
                return false;
            }
            settings.offset = static_cast<std::int64_t>(number);
        } else {
            std::fprintf(stderr, "tarvelo-render: unknown option %s (see --help)\n", option.c_str());
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    Settings settings;
    bool help = false;
    if (!parse(argc, argv, settings, help))
        return 2;
    if (help) {
        printUsage();
        return 0;
    }
    std::error_code error;
    std::filesystem::create_directories(settings.output, error);

    const platform::Painter painter;
    const platform::Instant now = platform::Instant::now();
    tarvelo::MonthEntry entry;
    entry.date = now;
    entry.visibleMonth = tarvelo::MonthGrid::month(settings.offset, now);
    entry.offset = settings.offset;
    const struct {
        const char* name;
        platform::Size size;
    } families[] = {{"small", tarvelo::systemSmallSize}, {"medium", tarvelo::systemMediumSize}};

    int status = 0;
    for (const auto& family : families) {
        const platform::DisplayList list = tarvelo::widgetPicture(entry, family.size, painter.measurer());
        const auto jsonPath = settings.output / ("tarvelo-" + std::string(family.name) + ".json");
        std::ofstream(jsonPath) << platform::toJSON(list).dump(2) << '\n';
        for (const platform::Appearance appearance : settings.appearances) {
            const char* look = appearance == platform::Appearance::dark ? "dark" : "light";
            const auto path = settings.output / ("tarvelo-" + std::string(family.name) + "-" + look + ".png");
            const auto image = painter.render(list, settings.scale, appearance, widgetCornerRadius);
            if (cairo_surface_write_to_png(image.get(), path.c_str()) != CAIRO_STATUS_SUCCESS) {
                std::fprintf(stderr, "tarvelo-render: could not write %s\n", path.c_str());
                status = 1;
            } else {
                std::printf("%s\n", path.c_str());
            }
        }
        std::printf("%s\n", jsonPath.c_str());
    }
    return status;
}
