#pragma once

#include <cstdint>
#include <filesystem>
#include <gdkmm/texture.h>
#include <string>
#include <string_view>

namespace tarvelo {

// The pictures of the widget that the onboarding page shows, and their
// loading. They ship among the application's resources
// (<prefix>/share/tarvelo, found beside the program, also in a build tree).
namespace WidgetArt {

struct Asset {
    // File name without the extension, which is always "png".
    std::string_view resourceName;
    // Size of the image file in pixels.
    std::int64_t pixelWidth;
    std::int64_t pixelHeight;
};

inline constexpr Asset small{"tarvelo-small", 204, 204};
inline constexpr Asset medium{"tarvelo-medium", 429, 205};

// Where the application's resources lie: <prefix>/share/tarvelo.
std::filesystem::path resourcesFolder();

// The image "<resourceName>.png" of the resources folder (or of `folder`);
// null when the file is missing, unreadable or no image. Read afresh at
// every call.
Glib::RefPtr<Gdk::Texture> loadImage(std::string_view resourceName);
Glib::RefPtr<Gdk::Texture> loadImage(std::string_view resourceName, const std::filesystem::path& folder);

// The picture a preview shows: where the user's locale reads right to left,
// as the widget then does, "<resourceName>-rtl.png" (the widget drawn right
// to left) when it is there; otherwise loadImage's.
Glib::RefPtr<Gdk::Texture> loadPreviewImage(std::string_view resourceName,
                                            const std::filesystem::path& folder);

} // namespace WidgetArt

} // namespace tarvelo
