#include "Platform/Widgets/WidgetEnvironment.h"

#include "Platform/Calendar/UserLocale.h"

namespace platform {

LayoutEnvironment widgetEnvironment() {
    LayoutEnvironment environment;
    environment.layoutDirection =
        UserLocale::isRightToLeft() ? LayoutDirection::rightToLeft : LayoutDirection::leftToRight;
    return environment;
}

} // namespace platform
