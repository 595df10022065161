#include "Platform/Resources/ProgramFolders.h"

#include <system_error>

namespace platform::ProgramFolders {

std::filesystem::path executableFolder() {
    std::error_code error;
    const auto program = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path("/usr/bin") : program.parent_path();
}

std::filesystem::path dataFolder() {
    return dataFolder(executableFolder());
}

std::filesystem::path dataFolder(std::filesystem::path folder) {
    // libexec/tarvelo is one level deeper than bin.
    if (folder.filename() == "tarvelo" && folder.parent_path().filename() == "libexec")
        folder = folder.parent_path();
    return folder.parent_path() / "share";
}

std::filesystem::path localeFolder() {
    return dataFolder() / "locale";
}

} // namespace platform::ProgramFolders
