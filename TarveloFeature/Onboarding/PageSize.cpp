#include "TarveloFeature/Onboarding/PageSize.h"

#include <algorithm>
#include <cmath>

namespace tarvelo::PageSize {

double height(std::optional<double> visibleFrameHeight) {
    // A screen that reports no usable height at all counts as no screen.
    if (!visibleFrameHeight || !std::isfinite(*visibleFrameHeight))
        return maximumHeight;
    return std::min(std::max(*visibleFrameHeight - screenMargin, minimumHeight), maximumHeight);
}

} // namespace tarvelo::PageSize
