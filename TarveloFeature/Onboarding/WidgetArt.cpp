#include "TarveloFeature/Onboarding/WidgetArt.h"

#include "Platform/Calendar/UserLocale.h"
#include "Platform/Resources/ProgramFolders.h"

#include <giomm/file.h>
#include <system_error>

namespace tarvelo::WidgetArt {

std::filesystem::path resourcesFolder() {
    return platform::ProgramFolders::dataFolder() / "tarvelo";
}

Glib::RefPtr<Gdk::Texture> loadImage(std::string_view resourceName) {
    return loadImage(resourceName, resourcesFolder());
}

Glib::RefPtr<Gdk::Texture> loadImage(std::string_view resourceName, const std::filesystem::path& folder) {
    // A name is a file name, never a path into another folder.
    if (resourceName.empty() || resourceName.find('/') != std::string_view::npos || resourceName == "." ||
        resourceName == "..")
        return {};
    const auto path = folder / (std::string(resourceName) + ".png");
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return {};
    try {
        return Gdk::Texture::create_from_file(Gio::File::create_for_path(path.string()));
    } catch (const Glib::Error&) {
        // Unreadable or not an image: the caller shows its placeholder.
        return {};
    }
}

Glib::RefPtr<Gdk::Texture> loadPreviewImage(std::string_view resourceName,
                                            const std::filesystem::path& folder) {
    if (platform::UserLocale::isRightToLeft()) {
        if (auto mirrored = loadImage(std::string(resourceName) + "-rtl", folder))
            return mirrored;
    }
    return loadImage(resourceName, folder);
}

} // namespace tarvelo::WidgetArt
