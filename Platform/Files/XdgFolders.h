#pragma once

#include <filesystem>
#include <optional>
#include <vector>

// The XDG base folders, by one rule everywhere: a variable that is unset,
// empty or relative is ignored and the default used instead; the defaults
// lie in the home folder, which is $HOME when that is absolute, else the
// password database's entry. Without either there is no folder, and callers
// keep their data in memory or skip what they would look up there.
namespace platform::XdgFolders {

std::optional<std::filesystem::path> home();
// $XDG_CONFIG_HOME, else ~/.config.
std::optional<std::filesystem::path> configHome();
// $XDG_DATA_HOME, else ~/.local/share.
std::optional<std::filesystem::path> dataHome();
// $XDG_STATE_HOME, else ~/.local/state.
std::optional<std::filesystem::path> stateHome();
// $XDG_CACHE_HOME, else ~/.cache.
std::optional<std::filesystem::path> cacheHome();
// The absolute entries of $XDG_DATA_DIRS, else /usr/local/share and /usr/share.
std::vector<std::filesystem::path> dataDirs();

} // namespace platform::XdgFolders
