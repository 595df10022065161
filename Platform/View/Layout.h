#pragma once

#include "Platform/View/DisplayList.h"
#include "Platform/View/Geometry.h"
#include "Platform/View/LayoutEnvironment.h"
#include "Platform/View/TextMeasurer.h"
#include "Platform/View/View.h"

namespace platform {

// How big a symbol is for its font: a square of this share of the font size.
inline constexpr double symbolSizePerPoint = 1.2;

// Lays `view` out in a container of `size` points and returns what to paint
// and where to click. The view is offered the whole container and centred
// in it, in `environment` (where the system sets the layout direction).
// Pure: the same view, size, measurer and environment give the same list.
DisplayList layout(const View& view, Size size, const TextMeasurer& measurer,
                   const LayoutEnvironment& environment = {});

// The size `view` takes when offered `proposal`.
Size sizeThatFits(const View& view, ProposedSize proposal, const TextMeasurer& measurer);

} // namespace platform
