#include "Platform/Files/BoundedReading.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

bool jsonNestsDeeperThan(std::string_view text, std::size_t deepest) {
    std::size_t depth = 0;
    bool inString = false;
    bool escaped = false;
    for (const char character : text) {
        if (inString) {
            if (escaped)
                escaped = false;
            else if (character == '\\')
                escaped = true;
            else if (character == '"')
                inString = false;
        } else if (character == '"') {
            inString = true;
        } else if (character == '[' || character == '{') {
            if (++depth > deepest)
                return true;
        } else if ((character == ']' || character == '}') && depth > 0) {
            --depth;
        }
    }
    return false;
}

BoundedRead readBoundedFile(const std::filesystem::path& file, std::size_t largest) {
    BoundedRead result;
    const int descriptor = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (descriptor < 0) {
        result.error = errno;
        result.outcome = errno == ENOENT || errno == ENOTDIR ? BoundedRead::Outcome::missing
                                                             : BoundedRead::Outcome::failed;
        return result;
    }
    struct stat status {};
    if (::fstat(descriptor, &status) != 0) {
        result.error = errno;
        result.outcome = BoundedRead::Outcome::failed;
    } else if (!S_ISREG(status.st_mode)) {
        result.outcome = BoundedRead::Outcome::notAFile;
    } else if (static_cast<std::uintmax_t>(status.st_size) > largest) {
        result.outcome = BoundedRead::Outcome::tooLarge;
    } else {
        result.outcome = BoundedRead::Outcome::read;
        result.text.reserve(static_cast<std::size_t>(status.st_size));
        char buffer[16384];
        for (;;) {
            const ssize_t count = ::read(descriptor, buffer, sizeof buffer);
            if (count < 0 && errno == EINTR)
                continue;
            if (count < 0) {
                result.error = errno;
                result.outcome = BoundedRead::Outcome::failed;
                break;
            }
            if (count == 0)
                break;
            result.text.append(buffer, static_cast<std::size_t>(count));
            // A file that grows while we read is no smaller than one that was large.
            if (result.text.size() > largest) {
                result.outcome = BoundedRead::Outcome::tooLarge;
                break;
            }
        }
        if (result.outcome != BoundedRead::Outcome::read)
            result.text.clear();
    }
    ::close(descriptor);
    return result;
}

} // namespace platform
