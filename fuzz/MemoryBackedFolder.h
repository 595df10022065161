#pragma once

#include <cstdlib>
#include <memory>
#include <unistd.h>

#include "ScratchFolder.h"

namespace tarvelo::fuzzing {

// A scratch folder for the whole run, in memory (/dev/shm) where there is
// one: fuzz targets that write files do it hundreds of thousands of times,
// and fsync on a disk would make them a hundred times slower. Removed when
// the process exits normally.
inline const std::filesystem::path& memoryBackedFolder() {
    static const auto folder = [] {
        if (!std::getenv("TMPDIR") && ::access("/dev/shm", W_OK) == 0)
            ::setenv("TMPDIR", "/dev/shm", 1);
        return std::make_unique<testsupport::ScratchFolder>();
    }();
    return folder->path();
}

} // namespace tarvelo::fuzzing
