#pragma once

#include "Platform/Painter/Appearance.h"

#include <cairomm/context.h>

namespace platform {

// The ground a widget's picture is painted on, in the window and in the
// gallery's previews alike: a rounded rectangle `width` × `height` (or a
// plain one when `radius` is 0), left as the clip, filled with the
// desktop's plain surface colour — a window here cannot blur what is behind
// it, so that colour is what shows through the widget's translucent
// container background.
void fillWidgetBackground(const Cairo::RefPtr<Cairo::Context>& cairo, double width, double height,
                          double radius, Appearance appearance);

} // namespace platform
