#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace tarvelo::testsupport {

inline std::string readFile(const std::filesystem::path& path) {
    std::ifstream stream(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>());
}

// Writes `bytes` to `path`, making its folders on the way.
inline std::filesystem::path writeFile(const std::filesystem::path& path, const std::string& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

// The files in `folder` that a reader kept aside as unreadable.
inline std::vector<std::filesystem::path> keptAside(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> found;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.path().filename().string().find(".unreadable-") != std::string::npos)
            found.push_back(entry.path());
    return found;
}

} // namespace tarvelo::testsupport
