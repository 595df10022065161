#pragma once

#include <filesystem>
#include <string_view>
#include <sys/stat.h>

namespace platform::FileReplacement {

// Writes all of `text` to the descriptor, going on after interruptions.
bool writeAll(int descriptor, std::string_view text);

// Makes the folder and any missing parents, each one readable by its owner
// only; true when the folder exists afterwards.
bool makePrivateFolder(const std::filesystem::path& folder);

// Replaces `file` with `contents` so that a process killed at any instant
// leaves the old or the new file, never a mix: the contents go to
// `temporary` (owner-only), are flushed to disk, and the temporary is
// renamed over the file. The folder is not flushed after the rename: a power
// cut right then may cost this write, never the file. On success `written`
// (when given) describes the new file.
bool replace(const std::filesystem::path& file, std::string_view contents, const std::filesystem::path& temporary,
             struct stat* written = nullptr);

} // namespace platform::FileReplacement
