#include "tests/Support/GoldenImage.h"

#include <cairo.h>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string_view>

namespace tarvelo::testsupport {

namespace {

constexpr int channelTolerance = 16;
constexpr double differingShareAllowed = 0.005;

std::filesystem::path sourceFolder() {
    const char* folder = std::getenv("TARVELO_TEST_SOURCE_DIR");
    return folder ? std::filesystem::path(folder) : std::filesystem::current_path();
}

} // namespace

bool blessingGoldens() {
    const char* bless = std::getenv("TARVELO_BLESS_GOLDEN");
    return bless && std::string_view(bless) == "1";
}

std::string compareWithGolden(cairo_surface_t* actual, const std::string& relativePath) {
    const auto goldenPath = sourceFolder() / "tests/fixtures" / relativePath;
    cairo_surface_flush(actual);
    if (blessingGoldens()) {
        std::filesystem::create_directories(goldenPath.parent_path());
        if (cairo_surface_write_to_png(actual, goldenPath.c_str()) != CAIRO_STATUS_SUCCESS)
            return "could not write " + goldenPath.string();
        return {};
    }
    const auto actualPath = std::filesystem::path(goldenPath.filename()).replace_extension(".actual.png");
    std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> golden(
        cairo_image_surface_create_from_png(goldenPath.c_str()), &cairo_surface_destroy);
    if (cairo_surface_status(golden.get()) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_write_to_png(actual, actualPath.c_str());
        return "no golden at " + goldenPath.string() + " (actual written to " + actualPath.string() + ")";
    }
    const int width = cairo_image_surface_get_width(actual);
    const int height = cairo_image_surface_get_height(actual);
    if (cairo_image_surface_get_width(golden.get()) != width ||
        cairo_image_surface_get_height(golden.get()) != height) {
        cairo_surface_write_to_png(actual, actualPath.c_str());
        return "size differs from " + goldenPath.string();
    }
    // Both are ARGB32 (PNGs with alpha load as ARGB32).
    const unsigned char* actualData = cairo_image_surface_get_data(actual);
    const unsigned char* goldenData = cairo_image_surface_get_data(golden.get());
    const int actualStride = cairo_image_surface_get_stride(actual);
    const int goldenStride = cairo_image_surface_get_stride(golden.get());
    long differing = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int channel = 0; channel < 4; ++channel) {
                const int first = actualData[y * actualStride + x * 4 + channel];
                const int second = goldenData[y * goldenStride + x * 4 + channel];
                if (std::abs(first - second) > channelTolerance) {
                    ++differing;
                    break;
                }
            }
    if (static_cast<double>(differing) > differingShareAllowed * width * height) {
        cairo_surface_write_to_png(actual, actualPath.c_str());
        return std::to_string(differing) + " pixels differ from " + goldenPath.string() +
               " (actual written to " + std::filesystem::absolute(actualPath).string() + ")";
    }
    return {};
}

} // namespace tarvelo::testsupport
