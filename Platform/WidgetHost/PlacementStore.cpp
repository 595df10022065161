#include "Platform/WidgetHost/PlacementStore.h"

#include "Platform/Files/BoundedReading.h"
#include "Platform/Files/FileReplacement.h"
#include "Platform/Files/XdgFolders.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <nlohmann/json.hpp>
#include <set>
#include <unistd.h>

namespace platform {

namespace {

constexpr const char* marker = "tarvelo-widgets";

// The member of an object, without copying it; null when there is none.
const nlohmann::json* member(const nlohmann::json& object, const char* key) {
    if (!object.is_object())
        return nullptr;
    const auto found = object.find(key);
    return found == object.end() ? nullptr : &*found;
}

std::string text(const nlohmann::json& entry, const char* key) {
    const auto* value = member(entry, key);
    return value && value->is_string() ? value->get<std::string>() : std::string();
}

std::optional<int> coordinate(const nlohmann::json& entry, const char* key) {
    const auto* value = member(entry, key);
    if (!value || !value->is_number_integer())
        return std::nullopt;
    const auto number = value->get<long long>();
    if (number < -PlacementStore::largestCoordinate || number > PlacementStore::largestCoordinate)
        return std::nullopt;
    return static_cast<int>(number);
}

} // namespace

PlacementStore::PlacementStore(std::filesystem::path file)
    : path_(std::move(file)) {
    if (path_.empty())
        leftAsItIs_ =
            "there is no home folder to keep the widget list in; placements are kept in memory until "
            "the host quits";
}

std::filesystem::path PlacementStore::defaultPath() {
    const auto stateHome = XdgFolders::stateHome();
    return stateHome ? *stateHome / "tarvelo" / "widgets.json" : std::filesystem::path();
}

void PlacementStore::leaveAsItIs(std::string& problem, const std::string& reason) {
    problem = "the widget list " + path_.string() + " " + reason +
              "; it is left as it is and placements are kept in memory until the host quits";
    leftAsItIs_ = problem;
}

void PlacementStore::keepAside(std::string& problem, const std::string& reason) {
    // Through a link, the file it leads to is kept aside beside itself.
    const auto aside = FileReplacement::moveAside(FileReplacement::linkTarget(path_).value_or(path_));
    if (!aside) {
        leaveAsItIs(problem, reason + " and cannot be moved aside (" + std::strerror(errno) + ")");
        return;
    }
    problem = "the widget list " + path_.string() + " " + reason + "; it was kept as " + aside->string();
}

std::vector<WidgetPlacement> PlacementStore::load(std::string& problem) {
    std::vector<WidgetPlacement> placements;
    if (path_.empty())
        return placements;
    const auto file = readBoundedFile(path_, maximumFileSize);
    switch (file.outcome) {
    case BoundedRead::Outcome::missing:
        return placements;
    case BoundedRead::Outcome::failed:
        leaveAsItIs(problem, std::string("cannot be read (") + std::strerror(file.error) + ")");
        return placements;
    case BoundedRead::Outcome::notAFile:
        leaveAsItIs(problem, "is not a file");
        return placements;
    case BoundedRead::Outcome::tooLarge:
        keepAside(problem, "is too large");
        return placements;
    case BoundedRead::Outcome::read:
        break;
    }
    if (jsonNestsDeeperThan(file.text)) {
        keepAside(problem, "nests too deeply");
        return placements;
    }
    const auto document = nlohmann::json::parse(file.text, nullptr, false);
    const auto* version = member(document, marker);
    const auto* widgets = member(document, "widgets");
    if (!version || *version != 1 || !widgets || !widgets->is_array()) {
        keepAside(problem, "is not a widget list of this version");
        return placements;
    }
    std::set<std::string> identifiers;
    int skipped = 0;
    for (const auto& entry : *widgets) {
        const auto family = widgetFamilyNamed(text(entry, "family"));
        WidgetPlacement placement{
            text(entry, "id"), text(entry, "kind"), family.value_or(WidgetFamily::systemSmall), {}, {}};
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
    if (!leftAsItIs_.empty()) {
        problem = leftAsItIs_;
        return false;
    }
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
    const std::string text = nlohmann::json{{marker, 1}, {"widgets", widgets}}.dump(
                                 2, ' ', false, nlohmann::json::error_handler_t::replace) +
                             "\n";

    const auto folder = path_.parent_path();
    if (!FileReplacement::makePrivateFolder(folder)) {
        problem = "cannot make " + folder.string();
        return false;
    }
    // A name of our own per writer: two hosts racing (which single-instance
    // start prevents, but a user may run one by hand) never mix their bytes.
    if (!FileReplacement::replace(path_, text, ".tmp-" + std::to_string(::getpid()))) {
        problem = "cannot replace " + path_.string() + " (" + std::strerror(errno) + ")";
        return false;
    }
    return true;
}

} // namespace platform
