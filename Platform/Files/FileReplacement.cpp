#include "FileReplacement.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace platform::FileReplacement {

bool writeAll(int descriptor, std::string_view text) {
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

bool makePrivateFolder(const std::filesystem::path& folder) {
    std::error_code error;
    if (std::filesystem::is_directory(folder, error))
        return true;
    if (folder.has_parent_path() && folder.parent_path() != folder && !makePrivateFolder(folder.parent_path()))
        return false;
    return ::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

bool replace(const std::filesystem::path& file, std::string_view contents, const std::filesystem::path& temporary,
             struct stat* written) {
    const int descriptor =
        ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY, 0600);
    if (descriptor < 0)
        return false;
    struct stat status {};
    // The contents must be on disk before the rename makes them the file's,
    // or a power cut could leave an empty file under the old name.
    const bool complete = ::fchmod(descriptor, 0600) == 0 && writeAll(descriptor, contents) &&
                          ::fdatasync(descriptor) == 0 && ::fstat(descriptor, &status) == 0;
    ::close(descriptor);
    if (!complete || ::rename(temporary.c_str(), file.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    if (written)
        *written = status;
    return true;
}

} // namespace platform::FileReplacement
