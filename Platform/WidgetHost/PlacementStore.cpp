#include "PlacementStore.h"

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

bool writeAll(int descriptor, const std::string& text) {
    for (std::size_t written = 0; written < text.size();) {
        const ssize_t result = ::write(descriptor, text.data() + written, text.size() - written);
        if (result < 0 && errno == EINTR)
            continue;
        if (result <= 0)
            return false;
        written += static_cast<std::size_t>(result);
    }
    return true;
}

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
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        problem = "cannot make " + folder.string() + ": " + error.message();
        return false;
    }
    ::chmod(folder.c_str(), 0700);
    // A name of our own per writer: two hosts racing (which single-instance
    // start prevents, but a user may run one by hand) never mix their bytes.
    auto temporary = path_;
    temporary += ".tmp-" + std::to_string(::getpid());
    const int descriptor =
        ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY, 0600);
    if (descriptor < 0) {
        problem = "cannot write " + temporary.string();
        return false;
    }
    const bool written = ::fchmod(descriptor, 0600) == 0 && writeAll(descriptor, text) && ::fsync(descriptor) == 0;
    ::close(descriptor);
    if (!written || ::rename(temporary.c_str(), path_.c_str()) != 0) {
        ::unlink(temporary.c_str());
        problem = "cannot replace " + path_.string();
        return false;
    }
    // The rename lasts only once the folder itself is on disk.
    if (const int folderDescriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); folderDescriptor >= 0) {
        ::fsync(folderDescriptor);
        ::close(folderDescriptor);
    }
    return true;
}

} // namespace platform
