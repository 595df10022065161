#pragma once

#include <filesystem>
#include <optional>
#include <string_view>
#include <sys/stat.h>

namespace platform::FileReplacement {

// Writes all of `text` to the descriptor, going on after interruptions.
bool writeAll(int descriptor, std::string_view text);

// Makes the folder and any missing parents, each one readable by its owner
// only; true when the folder exists afterwards.
bool makePrivateFolder(const std::filesystem::path& folder);

// Where writes to `file` land: `file` itself, or, when it is a symbolic link
// (a settings file kept in a dotfiles folder), the path its links end at,
// whether or not something is there yet. Absent (errno ELOOP) for a loop of
// links.
std::optional<std::filesystem::path> linkTarget(const std::filesystem::path& file);

// Replaces `file` with `contents` so that a process killed at any instant
// leaves the old or the new file, never a mix: the contents go to a
// temporary (`file` + `temporarySuffix`, owner-only), are flushed to disk,
// and the temporary is renamed over the file. The folder is not flushed
// after the rename: a power cut right then may cost this write, never the
// file.
//
// A symbolic link stays a link: the file it leads to is replaced, with the
// temporary beside that file. Where that folder may not be written (a
// sandbox that allows the linked file alone) the linked file is rewritten in
// place instead, padded with blanks so that a process killed before the
// file is cut to length leaves contents that read the same (a power cut in
// the middle can still tear it).
//
// On success `written` (when given) describes the new file; on failure the
// old file is untouched and errno says why.
bool replace(const std::filesystem::path& file, std::string_view contents, std::string_view temporarySuffix,
             struct stat* written = nullptr);

// Moves a file we must not overwrite out of the way, beside itself, as
// `file`.unreadable-<UTC time> (then -2, -3, ... when that name is taken):
// never over an earlier file kept aside. The name it got, or absent with
// errno set (ENOENT: nothing was there).
std::optional<std::filesystem::path> moveAside(const std::filesystem::path& file);

} // namespace platform::FileReplacement
