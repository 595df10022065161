#pragma once

#include <cstddef>
#include <nlohmann/json.hpp>
#include <string_view>

namespace platform {

// Arrays and objects nested deeper than this in one protocol line make the
// line unreadable. Real messages nest a handful of levels.
constexpr std::size_t deepestProtocolNesting = 64;

// Parses one line of the widget protocol (docs/widget-protocol.md), sent by
// the other side; a discarded value when it is no JSON or nests too deeply
// (the same limit as for our files: BoundedReading.h).
nlohmann::json parseProtocolJSON(std::string_view line);

} // namespace platform
