#pragma once

#include <filesystem>

namespace platform {

// Where a program finds what ships with it. Everything is found relative to
// the running executable, so an installed tree can be moved as a whole and a
// build tree (which mirrors the installed layout: bin/, libexec/tarvelo/ and
// share/ side by side) works without installing.
namespace ProgramFolders {

// The folder of the running executable.
std::filesystem::path executableFolder();

// <prefix>/share for an executable in <prefix>/bin or <prefix>/libexec/tarvelo.
std::filesystem::path dataFolder();
// The same for a program in `executableFolder` (another of ours, say).
std::filesystem::path dataFolder(std::filesystem::path executableFolder);

// <prefix>/share/locale, where the gettext catalogues lie.
std::filesystem::path localeFolder();

} // namespace ProgramFolders

} // namespace platform
