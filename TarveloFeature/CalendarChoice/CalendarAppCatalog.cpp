#include "TarveloFeature/CalendarChoice/CalendarAppCatalog.h"

#include "Platform/Text/LocalizedStandardComparator.h"

#include <algorithm>
#include <set>
#include <string>

namespace tarvelo::CalendarAppCatalog {

namespace {

std::optional<std::string> textValue(const platform::Bundle& bundle, const char* key) {
    const auto value = bundle.objectForInfoDictionaryKey(key);
    if (value && std::holds_alternative<std::string>(*value))
        return std::get<std::string>(*value);
    return std::nullopt;
}

std::optional<platform::URL> probeURL(const char* scheme) {
    return platform::URL::string(std::string(scheme) + "://");
}

} // namespace

std::optional<CalendarAppCandidate> candidate(const platform::URL& url) {
    return candidate(url, platform::Workspace::shared());
}

std::optional<CalendarAppCandidate> candidate(const platform::URL& url, platform::Workspace& workspace) {
    const auto bundle = workspace.bundleWithURL(url);
    if (!bundle)
        return std::nullopt;
    auto bundleIdentifier = bundle->bundleIdentifier();
    if (!bundleIdentifier)
        return std::nullopt;
    // An empty name found is still a name: only absent or non-text values
    // pass on to the next source.
    auto name = textValue(*bundle, "CFBundleDisplayName");
    if (!name)
        name = textValue(*bundle, "CFBundleName");
    if (!name)
        name = url.path().stem().string();
    return CalendarAppCandidate{std::move(*bundleIdentifier), std::move(*name), url};
}

std::vector<CalendarAppCandidate> installed() {
    return installed(platform::Workspace::shared());
}

std::vector<CalendarAppCandidate> installed(platform::Workspace& workspace) {
    std::vector<CalendarAppCandidate> result;
    // One set across all the sources: an application found for "ical" is
    // not listed again for "webcal" or for calendar files.
    std::set<std::string> seen;
    const auto add = [&](const std::vector<platform::URL>& applicationURLs) {
        for (const auto& applicationURL : applicationURLs) {
            auto found = candidate(applicationURL, workspace);
            if (found && seen.insert(found->bundleIdentifier).second)
                result.push_back(std::move(*found));
        }
    };
    for (const char* scheme : calendarURLSchemes)
        if (const auto probe = probeURL(scheme))
            add(workspace.urlsForApplicationsToOpenURL(*probe));
    add(workspace.urlsForApplicationsToOpenContentType(calendarContentType));
    const platform::LocalizedStandardComparator comparator;
    std::stable_sort(result.begin(), result.end(), [&](const auto& left, const auto& right) {
        return comparator.compare(left.name, right.name) < 0;
    });
    return result;
}

std::optional<CalendarAppCandidate> systemDefault() {
    return systemDefault(platform::Workspace::shared());
}

std::optional<CalendarAppCandidate> systemDefault(platform::Workspace& workspace) {
    const auto probe = probeURL(calendarURLSchemes[0]);
    auto applicationURL = probe ? workspace.urlForApplicationToOpenURL(*probe) : std::nullopt;
    if (!applicationURL)
        applicationURL = workspace.urlForApplicationToOpenContentType(calendarContentType);
    if (!applicationURL)
        return std::nullopt;
    return candidate(*applicationURL, workspace);
}

} // namespace tarvelo::CalendarAppCatalog
