#include "Platform/Widgets/WidgetFamily.h"

namespace platform {

std::string_view name(WidgetFamily family) {
    switch (family) {
    case WidgetFamily::systemSmall:
        return "small";
    case WidgetFamily::systemMedium:
        return "medium";
    }
    return "small";
}

std::optional<WidgetFamily> widgetFamilyNamed(std::string_view text) {
    if (text == "small")
        return WidgetFamily::systemSmall;
    if (text == "medium")
        return WidgetFamily::systemMedium;
    return std::nullopt;
}

} // namespace platform
