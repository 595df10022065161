#include "PlacementStore.h"

#include "FileReplacement.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <set>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

#include <nlohmann/json.hpp>

namespace platform {

namespace {

constexpr const char* marker = "tarvelo-widgets";

std::optional<int> coordinate(const nlohmann::json& entry, const char* key) {
    const auto value = entry.value(key, nlohmann::json());
    if (!value.is_number_integer())
        return std::nullopt;
    const auto number = value.get<long long>();
    if (number < -PlacementStore::largestCoordinate || number > PlacementStore::largestCoordinate)
        return std::nullopt;
    return static_cast<int>(number);
}

} // namespace

PlacementStore::PlacementStore(std::filesystem::path file) : path_(std::move(file)) {}

std::filesystem::path PlacementStore::defaultPath() {
    // The XDG base-directory rules ignore a relative XDG_STATE_HOME.
    const char* stateHome = std::getenv("XDG_STATE_HOME");
    std::filesystem::path folder;
    if (stateHome && stateHome[0] == '/') {
        folder = stateHome;
    } else {
        const char* home = std::getenv("HOME");
        folder = std::filesystem::path(home && *home ? home : "/tmp") / ".local/state";
    }
    return folder / "tarvelo" / "widgets.json";
}

void PlacementStore::keepAside(std::string& problem, const std::string& reason) {
    const auto stamp = std::chrono::duration_cast<std::chrono::seconds>(
                           std::chrono::system_clock::now().time_since_epoch())
                           .count();
    auto aside = path_;
    aside += ".unreadable-" + std::to_string(stamp);
    std::error_code error;
    std::filesystem::rename(path_, aside, error);
    problem = "the widget list " + path_.string() + " " + reason +
              (error ? "; it could not be moved aside" : "; it was kept as " + aside.string());
}

std::vector<WidgetPlacement> PlacementStore::load(std::string& problem) {
    std::vector<WidgetPlacement> placements;
    std::error_code error;
    const auto status = std::filesystem::status(path_, error);
    if (!std::filesystem::exists(status))
        return placements;
    if (!std::filesystem::is_regular_file(status)) {
        problem = "the widget list " + path_.string() + " is not a file";
        return placements;
    }
    if (std::filesystem::file_size(path_, error) > maximumFileSize || error) {
        keepAside(problem, "is too large");
        return placements;
    }
    std::ifstream stream(path_, std::ios::binary);
    std::stringstream contents;
    contents << stream.rdbuf();
    if (!stream) {
        problem = "cannot read the widget list " + path_.string();
        return placements;
    }
    const auto document = nlohmann::json::parse(contents.str(), nullptr, false);
    if (!document.is_object() || document.value(marker, nlohmann::json()) != 1 ||
        !document.value("widgets", nlohmann::json()).is_array()) {
        keepAside(problem, "is not a widget list of this version");
        return placements;
    }
    std::set<std::string> identifiers;
    int skipped = 0;
    for (const auto& entry : document["widgets"]) {
        const auto text = [&](const char* key) {
            const auto value = entry.is_object() ? entry.value(key, nlohmann::json()) : nlohmann::json();
            return value.is_string() ? value.get<std::string>() : std::string();
        };
        const auto family = widgetFamilyNamed(text("family"));
        WidgetPlacement placement{text("id"), text("kind"), family.value_or(WidgetFamily::systemSmall), {}, {}};
        if (placement.identifier.empty() || placement.kind.empty() || !family ||
            !identifiers.insert(placement.identifier).second) {
            ++skipped;
            continue;
        }
        placement.x = coordinate(entry, "x");
        placement.y = coordinate(entry, "y");
        if (!placement.x || !placement.y)
            placement.x = placement.y = std::nullopt;
        placements.push_back(std::move(placement));
    }
    if (skipped)
        problem = "skipped " + std::to_string(skipped) + " unusable entries of " + path_.string();
    return placements;
}

bool PlacementStore::save(const std::vector<WidgetPlacement>& placements, std::string& problem) {
    nlohmann::json widgets = nlohmann::json::array();
    for (const auto& placement : placements) {
        nlohmann::json entry{{"id", placement.identifier},
                             {"kind", placement.kind},
                             {"family", std::string(name(placement.family))}};
        if (placement.x && placement.y) {
            entry["x"] = *placement.x;
            entry["y"] = *placement.y;
        }
        widgets.push_back(std::move(entry));
    }
    const std::string text = nlohmann::json{{marker, 1}, {"widgets", widgets}}.dump(2) + "\n";

    const auto folder = path_.parent_path();
    if (!FileReplacement::makePrivateFolder(folder)) {
        problem = "cannot make " + folder.string();
        return false;
    }
    // A name of our own per writer: two hosts racing (which single-instance
    // start prevents, but a user may run one by hand) never mix their bytes.
    auto temporary = path_;
    temporary += ".tmp-" + std::to_string(::getpid());
    if (!FileReplacement::replace(path_, text, temporary)) {
        problem = "cannot replace " + path_.string();
        return false;
    }
    return true;
}

} // namespace platform
