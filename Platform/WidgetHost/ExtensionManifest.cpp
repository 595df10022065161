#include "Platform/WidgetHost/ExtensionManifest.h"

#include "Platform/Files/BoundedReading.h"
#include "Platform/Files/XdgFolders.h"
#include "Platform/Resources/ProgramFolders.h"

#include <algorithm>
#include <fstream>
#include <nlohmann/json.hpp>
#include <set>
#include <unistd.h>

namespace platform {

namespace {

constexpr std::uintmax_t largestManifest = 64 * 1024;
constexpr const char* subfolder = "tarvelo/widget-extensions";

} // namespace

std::optional<ExtensionManifest> ExtensionManifest::read(const std::filesystem::path& path,
                                                         std::string& problem) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        problem = "not a regular file";
        return std::nullopt;
    }
    if (std::filesystem::file_size(path, error) > largestManifest || error) {
        problem = "larger than 64 KiB";
        return std::nullopt;
    }
    std::ifstream stream(path, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(stream)), {});
    const auto document = jsonNestsDeeperThan(text)
                              ? nlohmann::json(nlohmann::json::value_t::discarded)
                              : nlohmann::json::parse(text, nullptr, /*allow_exceptions=*/false);
    const auto version = document.is_object() ? document.find("tarvelo-widget-extension") : document.end();
    if (!document.is_object() || version == document.end() || *version != 1) {
        problem = "not a widget-extension manifest (version 1)";
        return std::nullopt;
    }
    const auto text_of = [&](const char* name) -> std::optional<std::string> {
        const auto found = document.find(name);
        if (found == document.end() || !found->is_string() || found->get<std::string>().empty())
            return std::nullopt;
        return found->get<std::string>();
    };
    const auto identifier = text_of("identifier");
    const auto exec = text_of("exec");
    if (!identifier || !exec) {
        problem = "\"identifier\" and \"exec\" must be non-empty strings";
        return std::nullopt;
    }
    ExtensionManifest manifest;
    manifest.identifier = *identifier;
    manifest.hostApplication = text_of("hostApplication").value_or("");
    manifest.manifestPath = path;
    const std::filesystem::path executable(*exec);
    manifest.executable =
        executable.is_absolute() ? executable : (path.parent_path() / executable).lexically_normal();
    // A NUL byte would cut the path short where the system reads it.
    if (exec->find('\0') != std::string::npos || ::access(manifest.executable.c_str(), X_OK) != 0 ||
        std::filesystem::is_directory(manifest.executable, error)) {
        problem = "its program " + manifest.executable.string() + " is not an executable file";
        return std::nullopt;
    }
    return manifest;
}

std::vector<std::filesystem::path> ExtensionManifest::searchFolders(const std::filesystem::path& besideHost) {
    std::vector<std::filesystem::path> folders{besideHost / subfolder};
    if (const auto dataHome = XdgFolders::dataHome())
        folders.push_back(*dataHome / subfolder);
    for (const auto& folder : XdgFolders::dataDirs())
        folders.push_back(folder / subfolder);
    // The same folder may be named twice (the installed prefix is usually
    // among XDG_DATA_DIRS too).
    std::vector<std::filesystem::path> unique;
    for (auto& folder : folders) {
        auto normal = folder.lexically_normal();
        if (std::find(unique.begin(), unique.end(), normal) == unique.end())
            unique.push_back(std::move(normal));
    }
    return unique;
}

std::vector<ExtensionManifest>
ExtensionManifest::discover(const std::function<void(const std::string&)>& log) {
    return discover(log, ProgramFolders::dataFolder());
}

std::vector<ExtensionManifest> ExtensionManifest::discover(const std::function<void(const std::string&)>& log,
                                                           const std::filesystem::path& besideHost) {
    std::vector<ExtensionManifest> manifests;
    std::set<std::string> identifiers;
    for (const auto& folder : searchFolders(besideHost)) {
        std::error_code error;
        std::vector<std::filesystem::path> files;
        for (const auto& entry : std::filesystem::directory_iterator(folder, error))
            if (entry.path().extension() == ".json")
                files.push_back(entry.path());
        std::sort(files.begin(), files.end());
        for (const auto& file : files) {
            std::string problem;
            auto manifest = read(file, problem);
            if (!manifest) {
                log("skipping widget extension manifest " + file.string() + ": " + problem);
                continue;
            }
            if (identifiers.insert(manifest->identifier).second)
                manifests.push_back(std::move(*manifest));
        }
    }
    return manifests;
}

} // namespace platform
