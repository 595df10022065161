#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The sizes a widget can be placed in.
enum class WidgetFamily { systemSmall, systemMedium };

// "small" and "medium": the names the widget host's protocol and command
// line use.
std::string_view name(WidgetFamily family);
std::optional<WidgetFamily> widgetFamilyNamed(std::string_view text);

} // namespace platform
