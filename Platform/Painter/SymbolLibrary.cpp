#include "Platform/Painter/SymbolLibrary.h"

#include "Platform/Files/XdgFolders.h"

#include <algorithm>
#include <array>
#include <cairo.h>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <librsvg/rsvg.h>
#include <limits>
#include <sstream>
#include <utility>

namespace platform {

namespace {

constexpr std::array<std::pair<std::string_view, std::string_view>, 4> iconNames{{
    {"chevron.left", "go-previous-symbolic"},
    {"chevron.right", "go-next-symbolic"},
    {"checkmark", "object-select-symbolic"},
    {"exclamationmark.triangle.fill", "dialog-warning-symbolic"},
}};

// XDG_DATA_HOME, then XDG_DATA_DIRS (or its default), as the icon theme
// specification searches them.
std::vector<std::filesystem::path> dataFolders() {
    std::vector<std::filesystem::path> folders;
    if (auto home = XdgFolders::dataHome())
        folders.push_back(std::move(*home));
    for (auto& folder : XdgFolders::dataDirs())
        folders.push_back(std::move(folder));
    return folders;
}

std::string fileContents(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return {};
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

RsvgHandle* loadIcon(std::string_view iconName, const std::vector<std::string>& themes,
                     const std::vector<std::filesystem::path>& folders) {
    static constexpr std::array<const char*, 4> contexts{"actions", "status", "ui", "emblems"};
    const std::string fileName = std::string(iconName) + ".svg";
    for (const std::string& theme : themes)
        for (const auto& folder : folders)
            for (const char* context : contexts) {
                const auto path = folder / "icons" / theme / "scalable" / context / fileName;
                std::error_code error;
                if (!std::filesystem::is_regular_file(path, error))
                    continue;
                const std::string data = fileContents(path);
                // Icons are a few hundred bytes; anything huge is not an icon.
                if (data.empty() || data.size() > 1024 * 1024)
                    continue;
                RsvgHandle* handle = rsvg_handle_new_from_data(reinterpret_cast<const guint8*>(data.data()),
                                                               data.size(), nullptr);
                if (handle)
                    return handle;
            }
    return nullptr;
}

// Outlines for when the theme has no icon: in a 16 × 16 box like the icons.
void drawBuiltIn(cairo_t* cairo, std::string_view systemName) {
    cairo_set_line_width(cairo, 2.0);
    cairo_set_line_cap(cairo, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cairo, CAIRO_LINE_JOIN_ROUND);
    if (systemName == "chevron.left") {
        cairo_move_to(cairo, 11, 2);
        cairo_line_to(cairo, 5, 8);
        cairo_line_to(cairo, 11, 14);
        cairo_stroke(cairo);
    } else if (systemName == "chevron.right") {
        cairo_move_to(cairo, 5, 2);
        cairo_line_to(cairo, 11, 8);
        cairo_line_to(cairo, 5, 14);
        cairo_stroke(cairo);
    } else if (systemName == "checkmark") {
        cairo_move_to(cairo, 2, 9);
        cairo_line_to(cairo, 6, 13);
        cairo_line_to(cairo, 14, 3);
        cairo_stroke(cairo);
    } else if (systemName == "exclamationmark.triangle.fill") {
        cairo_move_to(cairo, 8, 1);
        cairo_line_to(cairo, 15, 15);
        cairo_line_to(cairo, 1, 15);
        cairo_close_path(cairo);
        cairo_fill(cairo);
    }
}

} // namespace

SymbolLibrary::SymbolLibrary(const std::vector<std::string>& themes) {
    const auto folders = dataFolders();
    for (const auto& [systemName, iconName] : iconNames)
        if (RsvgHandle* handle = loadIcon(iconName, themes, folders))
            icons_.emplace(std::string(systemName), handle);
}

SymbolLibrary::~SymbolLibrary() {
    for (auto& [name, handle] : icons_)
        g_object_unref(handle);
    for (auto& [key, surface] : masks_)
        cairo_surface_destroy(surface);
    for (auto& [key, surface] : placedMasks_)
        cairo_surface_destroy(surface);
}

std::string_view SymbolLibrary::iconName(std::string_view systemName) {
    for (const auto& [name, icon] : iconNames)
        if (name == systemName)
            return icon;
    return {};
}

bool SymbolLibrary::hasIcon(std::string_view systemName) const {
    return icons_.count(systemName) != 0;
}

cairo_surface_t* SymbolLibrary::mask(std::string_view systemName, int width, int height) const {
    auto key = std::make_tuple(std::string(systemName), width, height);
    const auto found = masks_.find(key);
    if (found != masks_.end())
        return found->second;
    // A few sizes per scale factor are all a picture needs; keep the table small.
    constexpr std::size_t largestCount = 64;
    if (masks_.size() >= largestCount) {
        for (auto& [unused, surface] : masks_)
            cairo_surface_destroy(surface);
        masks_.clear();
    }
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_A8, width, height);
    cairo_t* cairo = cairo_create(surface);
    const auto icon = icons_.find(systemName);
    if (icon != icons_.end()) {
        const RsvgRectangle viewport{0, 0, static_cast<double>(width), static_cast<double>(height)};
        rsvg_handle_render_document(icon->second, cairo, &viewport, nullptr);
    } else {
        const double side = std::min(width, height);
        cairo_translate(cairo, (width - side) / 2, (height - side) / 2);
        cairo_scale(cairo, side / 16.0, side / 16.0);
        drawBuiltIn(cairo, systemName);
    }
    cairo_destroy(cairo);
    cairo_surface_flush(surface);
    masks_.emplace(std::move(key), surface);
    return surface;
}

cairo_surface_t* SymbolLibrary::placedMask(std::string_view systemName, int width, int height,
                                           const cairo_matrix_t& placement, double originX,
                                           double originY) const {
    auto key = std::make_tuple(std::string(systemName), width, height, placement.xx, placement.yx,
                               placement.xy, placement.yy, placement.x0 - originX, placement.y0 - originY);
    const auto found = placedMasks_.find(key);
    if (found != placedMasks_.end())
        return found->second;
    // A picture places each symbol once or twice; keep the table small.
    constexpr std::size_t largestCount = 64;
    if (placedMasks_.size() >= largestCount) {
        for (auto& [unused, surface] : placedMasks_)
            cairo_surface_destroy(surface);
        placedMasks_.clear();
    }
    // The mask's corners in device pixels, and two pixels more on every side
    // for what filtering spreads.
    double right = 0.0;
    double bottom = 0.0;
    for (const auto& [x, y] :
         {std::pair{0.0, 0.0}, {1.0 * width, 0.0}, {0.0, 1.0 * height}, {1.0 * width, 1.0 * height}}) {
        double cornerX = x;
        double cornerY = y;
        cairo_matrix_transform_point(&placement, &cornerX, &cornerY);
        right = std::max(right, cornerX - originX);
        bottom = std::max(bottom, cornerY - originY);
    }
    const int placedWidth = std::clamp(static_cast<int>(std::ceil(right)) + 2, 1, 2048);
    const int placedHeight = std::clamp(static_cast<int>(std::ceil(bottom)) + 2, 1, 2048);
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_A8, placedWidth, placedHeight);
    // The placed mask's pixels keep their device coordinates, so the mask is
    // filtered exactly as it would be when drawn straight onto the target.
    cairo_surface_set_device_offset(surface, -originX, -originY);
    cairo_t* cairo = cairo_create(surface);
    cairo_set_matrix(cairo, &placement);
    // Opaque over nothing: the result is exactly the filtered mask.
    cairo_mask_surface(cairo, mask(systemName, width, height), 0, 0);
    cairo_destroy(cairo);
    cairo_surface_flush(surface);
    placedMasks_.emplace(std::move(key), surface);
    return surface;
}

void SymbolLibrary::draw(cairo_t* cairo, std::string_view systemName, const Rect& frame) const {
    if (iconName(systemName).empty() || frame.size.width <= 0 || frame.size.height <= 0)
        return;
    // The mask is made at the frame's size in device pixels, so it stays
    // sharp at every scale factor.
    double pixelWidth = frame.size.width;
    double pixelHeight = frame.size.height;
    cairo_user_to_device_distance(cairo, &pixelWidth, &pixelHeight);
    const int width = std::clamp(static_cast<int>(std::lround(std::fabs(pixelWidth))), 1, 1024);
    const int height = std::clamp(static_cast<int>(std::lround(std::fabs(pixelHeight))), 1, 1024);

    // The mask stretched onto the frame, which rarely starts on a whole
    // pixel. Filtering it there on every paint costs more than the rest of
    // a symbol's drawing, so it is filtered once, into a mask that lies on
    // whole pixels and is then only composited.
    cairo_save(cairo);
    cairo_translate(cairo, frame.origin.x, frame.origin.y);
    cairo_scale(cairo, frame.size.width / width, frame.size.height / height);
    cairo_matrix_t placement;
    cairo_get_matrix(cairo, &placement);
    cairo_restore(cairo);
    if (!std::isfinite(placement.x0) || !std::isfinite(placement.y0) || std::fabs(placement.x0) > 1e6 ||
        std::fabs(placement.y0) > 1e6)
        return;
    double lowest = std::numeric_limits<double>::infinity();
    double leftmost = std::numeric_limits<double>::infinity();
    for (const auto& [x, y] :
         {std::pair{0.0, 0.0}, {1.0 * width, 0.0}, {0.0, 1.0 * height}, {1.0 * width, 1.0 * height}}) {
        double cornerX = x;
        double cornerY = y;
        cairo_matrix_transform_point(&placement, &cornerX, &cornerY);
        leftmost = std::min(leftmost, cornerX);
        lowest = std::min(lowest, cornerY);
    }
    const double originX = std::floor(leftmost) - 2;
    const double originY = std::floor(lowest) - 2;

    const std::lock_guard guard(lock_);
    cairo_surface_t* surface = placedMask(systemName, width, height, placement, originX, originY);
    cairo_save(cairo);
    cairo_identity_matrix(cairo);
    // The source (the symbol's colour) stays as the caller set it; the
    // placed mask's device offset puts it where it belongs.
    cairo_mask_surface(cairo, surface, 0, 0);
    cairo_restore(cairo);
}

} // namespace platform
