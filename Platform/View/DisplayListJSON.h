#pragma once

#include "Platform/View/DisplayList.h"

#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The outcome of reading a display list: the list, or why it was refused.
struct DisplayListReading {
    std::optional<DisplayList> displayList; // absent when the input was refused
    std::string error;                      // empty when the list was read
};

// The JSON form of a display list (see docs/display-list.md): what the widget
// extension sends to the widget host.
nlohmann::json toJSON(const DisplayList& list);

// Reads a display list back. Anything that is not exactly a well-formed list
// (bad JSON, wrong types, unknown item types or colours, lengths that are
// negative, not finite or absurdly large, invalid URLs, too many items) is
// refused as a whole with a short reason; nothing in the input can crash it.
DisplayListReading displayListFromJSON(const nlohmann::json& input);
DisplayListReading displayListFromJSONText(std::string_view text);

} // namespace platform
