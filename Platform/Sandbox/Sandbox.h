#pragma once

#include <filesystem>
#include <vector>

namespace platform {

// Takes away, for good, what a process that only computes and answers does
// not need: most of the file system and a short list of dangerous system
// calls. Meant for a helper that has loaded everything it needs and is about
// to serve requests from a pipe.
//
// In order, each where the kernel offers it:
//  1. no new privileges (prctl): set-user-ID programs gain nothing;
//  2. Landlock: files and folders outside `FileAccess` cannot be opened,
//     created, removed or renamed (EACCES); reading metadata (stat) stays
//     possible, as Landlock does not cover it;
//  3. a seccomp filter: program execution, debugging other processes,
//     network sockets (everything but Unix ones), new namespaces, kernel
//     modules and the like fail with EPERM — nothing is killed.
// A kernel without Landlock or seccomp just skips that step: the process
// runs as before, quietly.
class Sandbox {
public:
    struct FileAccess {
        // Read (files and folder listings); beneath each path.
        std::vector<std::filesystem::path> readOnly;
        // Read, write, create, remove and rename beneath each path. Missing
        // folders are made first, readable by their owner only.
        std::vector<std::filesystem::path> readWrite;
    };

    struct Outcome {
        // The Landlock ABI version enforced; 0 when Landlock is unavailable.
        int landlockVersion = 0;
        bool systemCallFilter = false;
    };

    // Restricts the calling process and its future threads and children.
    // Call it before starting threads: Landlock does not reach threads
    // already running (seccomp does).
    // Paths that do not exist are left out. Cannot be undone.
    static Outcome restrict(const FileAccess& access);
};

} // namespace platform
