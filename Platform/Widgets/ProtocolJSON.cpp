#include "ProtocolJSON.h"

namespace platform {

namespace {

// Whether brackets outside strings nest deeper than `deepest`. Not a JSON
// check: the parser does that afterwards.
bool nestsDeeperThan(std::string_view text, std::size_t deepest) {
    std::size_t depth = 0;
    bool inString = false;
    bool escaped = false;
    for (const char character : text) {
        if (inString) {
            if (escaped)
                escaped = false;
            else if (character == '\\')
                escaped = true;
            else if (character == '"')
                inString = false;
        } else if (character == '"') {
            inString = true;
        } else if (character == '[' || character == '{') {
            if (++depth > deepest)
                return true;
        } else if ((character == ']' || character == '}') && depth > 0) {
            --depth;
        }
    }
    return false;
}

} // namespace

nlohmann::json parseProtocolJSON(std::string_view line) {
    if (nestsDeeperThan(line, deepestProtocolNesting))
        return nlohmann::json(nlohmann::json::value_t::discarded);
    return nlohmann::json::parse(line, nullptr, /*allow_exceptions=*/false);
}

} // namespace platform
