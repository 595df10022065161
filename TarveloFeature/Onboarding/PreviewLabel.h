#pragma once

#include <string>

namespace tarvelo {

// What assistive technologies read for a widget preview: its caption
// followed by " size preview of the Tarvelo widget" ("Small size preview of
// the Tarvelo widget"). The sentence is localizable as
// "%s size preview of the Tarvelo widget"; a translation that does not hold
// exactly one "%s" (and no other conversion) is not used.
std::string previewAccessibilityLabel(const std::string& caption);

} // namespace tarvelo
