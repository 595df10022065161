#include "Platform/Widgets/ProtocolJSON.h"

#include "Platform/Files/BoundedReading.h"

namespace platform {

static_assert(deepestProtocolNesting == deepestJSONNesting, "protocol lines nest as deeply as our files");

nlohmann::json parseProtocolJSON(std::string_view line) {
    if (jsonNestsDeeperThan(line, deepestProtocolNesting))
        return nlohmann::json(nlohmann::json::value_t::discarded);
    return nlohmann::json::parse(line, nullptr, /*allow_exceptions=*/false);
}

} // namespace platform
