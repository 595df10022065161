#include "WidgetEnvironment.h"

#include "UserLocale.h"

namespace platform {

LayoutEnvironment widgetEnvironment() {
    LayoutEnvironment environment;
    environment.layoutDirection =
        UserLocale::isRightToLeft() ? LayoutDirection::rightToLeft : LayoutDirection::leftToRight;
    return environment;
}

} // namespace platform
