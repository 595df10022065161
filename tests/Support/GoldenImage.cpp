#include "tests/Support/GoldenImage.h"

#include <cairo.h>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string_view>

namespace tarvelo::testsupport {

std::string compareWithGolden(cairo_surface_t* actual, const std::string& relativePath) {
    const char* sources = std::getenv("TARVELO_TEST_SOURCE_DIR");
    const auto goldenPath = (sources ? std::filesystem::path(sources) : std::filesystem::current_path()) /
                            "tests/fixtures" / relativePath;
    cairo_surface_flush(actual);
    const char* bless = std::getenv("TARVELO_BLESS_GOLDEN");
    if (bless && std::string_view(bless) == "1") {
        std::filesystem::create_directories(goldenPath.parent_path());
        return cairo_surface_write_to_png(actual, goldenPath.c_str()) == CAIRO_STATUS_SUCCESS
                   ? ""
                   : "could not write " + goldenPath.string();
    }
    const auto actualPath = std::filesystem::absolute(goldenPath.filename()).replace_extension(".actual.png");
    const auto mismatch = [&](const std::string& why) {
        cairo_surface_write_to_png(actual, actualPath.c_str());
        return why + " " + goldenPath.string() + " (actual written to " + actualPath.string() + ")";
    };
    std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> golden(
        cairo_image_surface_create_from_png(goldenPath.c_str()), &cairo_surface_destroy);
    if (cairo_surface_status(golden.get()) != CAIRO_STATUS_SUCCESS)
        return mismatch("no golden at");
    const int width = cairo_image_surface_get_width(actual);
    const int height = cairo_image_surface_get_height(actual);
    if (cairo_image_surface_get_width(golden.get()) != width ||
        cairo_image_surface_get_height(golden.get()) != height)
        return mismatch("size differs from");
    // Both are ARGB32 (PNGs with alpha load as ARGB32). A pixel differs when
    // a channel differs by more than 16; at most 0.5 % of them may.
    const unsigned char* data[] = {cairo_image_surface_get_data(actual),
                                   cairo_image_surface_get_data(golden.get())};
    const int strides[] = {cairo_image_surface_get_stride(actual),
                           cairo_image_surface_get_stride(golden.get())};
    long differing = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int channel = 0; channel < 4; ++channel)
                if (std::abs(data[0][y * strides[0] + x * 4 + channel] -
                             data[1][y * strides[1] + x * 4 + channel]) > 16) {
                    ++differing;
                    break;
                }
    if (static_cast<double>(differing) > 0.005 * width * height)
        return mismatch(std::to_string(differing) + " pixels differ from");
    return {};
}

} // namespace tarvelo::testsupport
