#include "Platform/Files/FileReplacement.h"

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace platform::FileReplacement {

namespace {

// What the system allows when resolving one path.
constexpr int mostLinks = 40;

bool rewriteInPlace(const std::filesystem::path& file, std::string_view contents, struct stat* written) {
    const int descriptor = ::open(file.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (descriptor < 0)
        return false;
    struct stat status {};
    bool complete = ::fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode);
    if (!complete)
        errno = EINVAL;
    // Written over the old contents, padded with blanks to their length, and
    // only then cut short: a process killed in between leaves the new
    // contents and trailing blanks, which read the same.
    std::string padded(contents);
    if (complete && static_cast<std::size_t>(status.st_size) > padded.size())
        padded.append(static_cast<std::size_t>(status.st_size) - padded.size(), ' ');
    for (std::size_t done = 0; complete && done < padded.size();) {
        const ssize_t result =
            ::pwrite(descriptor, padded.data() + done, padded.size() - done, static_cast<off_t>(done));
        if (result < 0 && errno == EINTR)
            continue;
        complete = result > 0;
        done += complete ? static_cast<std::size_t>(result) : 0;
    }
    complete = complete && ::ftruncate(descriptor, static_cast<off_t>(contents.size())) == 0 &&
               ::fdatasync(descriptor) == 0 && ::fstat(descriptor, &status) == 0;
    const int error = errno;
    ::close(descriptor);
    errno = error;
    if (complete && written)
        *written = status;
    return complete;
}

// Renames `from` to `to` unless something is at `to` (EEXIST then).
bool renameWithoutReplacing(const std::filesystem::path& from, const std::filesystem::path& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    // A file system without that flag: a hard link fails on a taken name too.
    if (::link(from.c_str(), to.c_str()) == 0)
        return ::unlink(from.c_str()) == 0;
    return false;
}

} // namespace

std::optional<std::filesystem::path> moveAside(const std::filesystem::path& file) {
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
    gmtime_r(&now, &parts);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%dT%H%M%SZ", &parts);
    const std::string base = file.string() + ".unreadable-" + stamp;
    for (int attempt = 1; attempt <= 1000; ++attempt) {
        const std::filesystem::path aside = attempt == 1 ? base : base + "-" + std::to_string(attempt);
        if (renameWithoutReplacing(file, aside))
            return aside;
        if (errno != EEXIST)
            return std::nullopt;
    }
    return std::nullopt;
}

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
    if (folder.has_parent_path() && folder.parent_path() != folder &&
        !makePrivateFolder(folder.parent_path()))
        return false;
    return ::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

std::optional<std::filesystem::path> linkTarget(const std::filesystem::path& file) {
    std::filesystem::path path = file;
    for (int links = 0; links <= mostLinks; ++links) {
        struct stat status {};
        if (::lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode))
            return path;
        std::string target(static_cast<std::size_t>(status.st_size > 0 ? status.st_size : 4096) + 1, '\0');
        const ssize_t length = ::readlink(path.c_str(), target.data(), target.size());
        if (length < 0 || static_cast<std::size_t>(length) >= target.size())
            return path;
        target.resize(static_cast<std::size_t>(length));
        const std::filesystem::path next(target);
        path = next.is_absolute() ? next : path.parent_path() / next;
    }
    errno = ELOOP;
    return std::nullopt;
}

bool replace(const std::filesystem::path& file, std::string_view contents, std::string_view temporarySuffix,
             struct stat* written) {
    const auto target = linkTarget(file);
    if (!target)
        return false;
    auto temporary = *target;
    temporary += std::string(temporarySuffix);
    const int descriptor =
        ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY, 0600);
    if (descriptor < 0) {
        if ((errno == EACCES || errno == EPERM) && *target != file && ::access(target->c_str(), F_OK) == 0)
            return rewriteInPlace(*target, contents, written);
        return false;
    }
    struct stat status {};
    // The contents must be on disk before the rename makes them the file's,
    // or a power cut could leave an empty file under the old name.
    const bool complete = ::fchmod(descriptor, 0600) == 0 && writeAll(descriptor, contents) &&
                          ::fdatasync(descriptor) == 0 && ::fstat(descriptor, &status) == 0;
    int error = errno;
    ::close(descriptor);
    if (!complete || ::rename(temporary.c_str(), target->c_str()) != 0) {
        error = complete ? errno : error;
        ::unlink(temporary.c_str());
        errno = error;
        return false;
    }
    if (written)
        *written = status;
    return true;
}

} // namespace platform::FileReplacement
