#pragma once

#include "Platform/Calendar/Instant.h"

#include <cstdint>
#include <nlohmann/json_fwd.hpp>
#include <optional>
#include <string>
#include <variant>

namespace platform {

// One typed value of a defaults domain.
using DefaultsValue = std::variant<std::int64_t, double, bool, std::string, Instant>;

// How a value is written in a defaults file: an object with exactly one
// member whose name is the type, e.g. {"integer": 3} or {"date": 786000000.5}.
// Dates and doubles that are not finite are written as the strings "nan",
// "inf" and "-inf", which JSON numbers cannot hold.
namespace DefaultsValueCoding {

nlohmann::json encode(const DefaultsValue& value);

// Absent for anything that is not a well-formed value of a known type; the
// caller keeps such entries untouched so that nothing is lost on rewrite.
std::optional<DefaultsValue> decode(const nlohmann::json& stored);

} // namespace DefaultsValueCoding

} // namespace platform
