#include "Platform/Defaults/DefaultsValue.h"

#include <cmath>
#include <limits>
#include <nlohmann/json.hpp>

namespace platform::DefaultsValueCoding {

namespace {

nlohmann::json encodeReal(double value) {
    if (std::isnan(value))
        return "nan";
    if (std::isinf(value))
        return value > 0 ? "inf" : "-inf";
    return value;
}

std::optional<double> decodeReal(const nlohmann::json& stored) {
    if (stored.is_number())
        return stored.get<double>();
    if (stored.is_string()) {
        const auto& text = stored.get_ref<const std::string&>();
        if (text == "nan")
            return std::numeric_limits<double>::quiet_NaN();
        if (text == "inf")
            return std::numeric_limits<double>::infinity();
        if (text == "-inf")
            return -std::numeric_limits<double>::infinity();
    }
    return std::nullopt;
}

} // namespace

nlohmann::json encode(const DefaultsValue& value) {
    return std::visit(
        [](const auto& held) -> nlohmann::json {
            using Held = std::decay_t<decltype(held)>;
            if constexpr (std::is_same_v<Held, std::int64_t>)
                return {{"integer", held}};
            else if constexpr (std::is_same_v<Held, double>)
                return {{"double", encodeReal(held)}};
            else if constexpr (std::is_same_v<Held, bool>)
                return {{"boolean", held}};
            else if constexpr (std::is_same_v<Held, std::string>)
                return {{"string", held}};
            else
                return {{"date", encodeReal(held.timeIntervalSinceReferenceDate())}};
        },
        value);
}

std::optional<DefaultsValue> decode(const nlohmann::json& stored) {
    if (!stored.is_object() || stored.size() != 1)
        return std::nullopt;
    const auto member = stored.begin();
    const std::string& type = member.key();
    const nlohmann::json& payload = member.value();
    if (type == "integer") {
        if (payload.is_number_integer() && !payload.is_number_unsigned())
            return payload.get<std::int64_t>();
        if (payload.is_number_unsigned() &&
            payload.get<std::uint64_t>() <=
                static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()))
            return static_cast<std::int64_t>(payload.get<std::uint64_t>());
        return std::nullopt;
    }
    if (type == "double") {
        if (auto real = decodeReal(payload))
            return *real;
        return std::nullopt;
    }
    if (type == "boolean") {
        if (payload.is_boolean())
            return payload.get<bool>();
        return std::nullopt;
    }
    if (type == "string") {
        if (payload.is_string())
            return payload.get<std::string>();
        return std::nullopt;
    }
    if (type == "date") {
        if (auto real = decodeReal(payload))
            return Instant::sinceReferenceDate(*real);
        return std::nullopt;
    }
    return std::nullopt;
}

} // namespace platform::DefaultsValueCoding
