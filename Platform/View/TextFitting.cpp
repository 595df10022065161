#include "Platform/View/TextFitting.h"

#include <algorithm>
#include <cmath>

namespace platform {

FittedText fitText(const TextMetrics& metrics, double fontSize, std::optional<double> proposedWidth,
                   const TextFitting& fitting) {
    const double natural = std::max(0.0, metrics.width);
    const double height = std::max(0.0, metrics.height);
    if (!proposedWidth || !std::isfinite(*proposedWidth) || natural <= *proposedWidth)
        return {{natural, height}, 1.0, 0.0, false};

    const double width = std::max(0.0, *proposedWidth);
    const int gaps = std::max(0, metrics.graphemes - 1);
    // Tightening at full size, per gap, and the narrowest the text gets by it.
    const double tightening = fitting.allowsTightening && gaps > 0 ? maximumTighteningPerEm * fontSize : 0.0;
    const double tightened = natural - tightening * gaps;

    // Pass 1: tightening alone is enough; use just as much as needed.
    if (tightened <= width && gaps > 0)
        return {{width, height}, 1.0, -(natural - width) / gaps, false};

    // Pass 2: shrink. Width and tightening both scale with the font, so the
    // width at scale s is s × tightened.
    const double minimumScale = std::clamp(fitting.minimumScaleFactor, 0.0, 1.0);
    if (tightened > 0) {
        const double scale = width / tightened;
        if (scale >= minimumScale)
            return {{width, height * scale}, scale, -tightening * scale, false};
    }

    // Pass 3: at the smallest size it still does not fit; cut it.
    return {{width, height * minimumScale}, minimumScale, -tightening * minimumScale, true};
}

} // namespace platform
