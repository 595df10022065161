#include "TarveloFeature/Onboarding/PreviewLabel.h"

#include "Platform/Localization/Localization.h"

namespace tarvelo {

std::string previewAccessibilityLabel(const std::string& caption) {
    static constexpr const char* key = "%s size preview of the Tarvelo widget";
    std::string format = platform::localized(key);
    // A translation is data, not code: it is only filled in, never handed
    // to printf, and only when it keeps the one place for the caption.
    const std::size_t place = format.find("%s");
    if (place == std::string::npos || format.find('%', place + 2) != std::string::npos ||
        format.find('%') != place)
        format = key;
    const std::size_t slot = format.find("%s");
    return format.substr(0, slot) + caption + format.substr(slot + 2);
}

} // namespace tarvelo
