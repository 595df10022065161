#pragma once

#include "Platform/View/DisplayList.h"
#include "Platform/View/Geometry.h"
#include "Platform/View/TextMeasurer.h"
#include "Platform/View/View.h"
#include "TarveloWidget/MonthEntry.h"
#include "TarveloWidget/TarveloWidgetView.h"

namespace tarvelo {

// The widget's sizes in points, as the desktop widget host gives them.
inline constexpr platform::Size systemSmallSize{170.0, 170.0};
inline constexpr platform::Size systemMediumSize{364.0, 170.0};

// What the widget shows for an entry: its view on the widget's background,
// the tertiary fill.
platform::View widgetContent(const MonthEntry& entry,
                             TarveloWidgetView::Clock clock = platform::Instant::now);

// The widget's picture for an entry at `size`: the content laid out with
// `measurer` in the user's locale's direction, as the widget kit lays it out,
// as a display list for the host to paint and hit-test.
platform::DisplayList widgetPicture(const MonthEntry& entry, platform::Size size,
                                    const platform::TextMeasurer& measurer,
                                    TarveloWidgetView::Clock clock = platform::Instant::now);

} // namespace tarvelo
