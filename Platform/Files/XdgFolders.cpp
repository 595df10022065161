#include "Platform/Files/XdgFolders.h"

#include <cstdlib>
#include <pwd.h>
#include <sstream>
#include <string>
#include <unistd.h>

namespace platform::XdgFolders {

namespace {

std::optional<std::filesystem::path> absolute(const char* value) {
    if (value && value[0] == '/')
        return std::filesystem::path(value);
    return std::nullopt;
}

std::optional<std::filesystem::path> baseFolder(const char* variable, const char* underHome) {
    if (auto folder = absolute(std::getenv(variable)))
        return folder;
    if (auto folder = home())
        return *folder / underHome;
    return std::nullopt;
}

} // namespace

std::optional<std::filesystem::path> home() {
    if (auto folder = absolute(std::getenv("HOME")))
        return folder;
    const passwd* entry = ::getpwuid(::getuid());
    return absolute(entry ? entry->pw_dir : nullptr);
}

std::optional<std::filesystem::path> configHome() {
    return baseFolder("XDG_CONFIG_HOME", ".config");
}
std::optional<std::filesystem::path> dataHome() {
    return baseFolder("XDG_DATA_HOME", ".local/share");
}
std::optional<std::filesystem::path> stateHome() {
    return baseFolder("XDG_STATE_HOME", ".local/state");
}
std::optional<std::filesystem::path> cacheHome() {
    return baseFolder("XDG_CACHE_HOME", ".cache");
}

std::vector<std::filesystem::path> dataDirs() {
    std::vector<std::filesystem::path> folders;
    const char* value = std::getenv("XDG_DATA_DIRS");
    std::istringstream list(value ? value : "");
    for (std::string item; std::getline(list, item, ':');)
        if (auto folder = absolute(item.c_str()))
            folders.push_back(*folder);
    if (folders.empty())
        folders = {"/usr/local/share", "/usr/share"};
    return folders;
}

} // namespace platform::XdgFolders
