#include "Platform/Calendar/SystemTimeZone.h"

#include <cstdlib>
#include <limits.h>
#include <mutex>
#include <unicode/unistr.h>
#include <unistd.h>
#include <unordered_map>

namespace platform {

namespace {

bool isKnown(const std::string& identifier) {
    if (identifier.empty())
        return false;
    UErrorCode status = U_ZERO_ERROR;
    icu::UnicodeString canonical;
    UBool isSystemID = false;
    icu::TimeZone::getCanonicalID(icu::UnicodeString::fromUTF8(identifier), canonical, isSystemID, status);
    return U_SUCCESS(status) && isSystemID;
}

std::string hostDetectedIdentifier() {
    std::unique_ptr<icu::TimeZone> detected(icu::TimeZone::detectHostTimeZone());
    if (!detected)
        return {};
    icu::UnicodeString id;
    detected->getID(id);
    std::string result;
    id.toUTF8String(result);
    return result;
}

std::string localtimeLinkTarget() {
    char buffer[PATH_MAX];
    const ssize_t length = readlink("/etc/localtime", buffer, sizeof buffer - 1);
    if (length <= 0)
        return {};
    return std::string(buffer, static_cast<std::size_t>(length));
}

std::string_view trimmedPrefix(std::string_view value, std::string_view prefix) {
    if (value.substr(0, prefix.size()) == prefix)
        value.remove_prefix(prefix.size());
    return value;
}

} // namespace

std::string SystemTimeZone::identifierFromPath(const std::string& path) {
    static constexpr std::string_view marker = "zoneinfo/";
    const auto at = path.rfind(marker);
    if (at == std::string::npos)
        return path;
    std::string_view rest = std::string_view(path).substr(at + marker.size());
    // The "posix/" and "right/" trees hold the same zones under the same names.
    rest = trimmedPrefix(trimmedPrefix(rest, "posix/"), "right/");
    return std::string(rest);
}

std::string SystemTimeZone::identifier() {
    if (const char* tz = std::getenv("TZ")) {
        std::string value = tz;
        if (!value.empty() && value.front() == ':')
            value.erase(0, 1);
        std::string candidate = identifierFromPath(value);
        if (isKnown(candidate))
            return candidate;
        // An empty TZ means UTC to the C library.
        if (value.empty())
            return "UTC";
    } else {
        std::string candidate = identifierFromPath(localtimeLinkTarget());
        if (isKnown(candidate))
            return candidate;
    }
    const std::string detected = hostDetectedIdentifier();
    return isKnown(detected) ? detected : "UTC";
}

std::unique_ptr<icu::TimeZone> SystemTimeZone::current() {
    return named(identifier());
}

std::unique_ptr<icu::TimeZone> SystemTimeZone::named(const std::string& identifier) {
    // Building a zone from ICU's data is the costly part of making a calendar;
    // the zone rules for an identifier never change while we run, so keep one
    // prototype per identifier and hand out clones.
    static std::mutex mutex;
    static std::unordered_map<std::string, std::unique_ptr<icu::TimeZone>> prototypes;
    std::lock_guard lock(mutex);
    auto& prototype = prototypes[identifier];
    if (!prototype) {
        prototype.reset(icu::TimeZone::createTimeZone(icu::UnicodeString::fromUTF8(identifier)));
        if (!prototype || *prototype == icu::TimeZone::getUnknown())
            prototype.reset(icu::TimeZone::createTimeZone("UTC"));
    }
    return std::unique_ptr<icu::TimeZone>(prototype->clone());
}

} // namespace platform
