#include "Platform/WidgetDesktop/WidgetBackground.h"

#include <algorithm>
#include <cmath>

namespace platform {

void fillWidgetBackground(const Cairo::RefPtr<Cairo::Context>& cairo, double width, double height,
                          double radius, Appearance appearance) {
    radius = std::min({radius, width / 2, height / 2});
    if (radius > 0) {
        cairo->begin_new_sub_path();
        cairo->arc(width - radius, radius, radius, -M_PI / 2, 0);
        cairo->arc(width - radius, height - radius, radius, 0, M_PI / 2);
        cairo->arc(radius, height - radius, radius, M_PI / 2, M_PI);
        cairo->arc(radius, radius, radius, M_PI, 3 * M_PI / 2);
        cairo->close_path();
        cairo->clip_preserve();
    } else {
        cairo->rectangle(0, 0, width, height);
    }
    if (appearance == Appearance::dark)
        cairo->set_source_rgb(0.118, 0.118, 0.125);
    else
        cairo->set_source_rgb(0.984, 0.984, 0.988);
    cairo->fill();
}

} // namespace platform
