// How the widget host finds extensions: each input is written as a manifest
// in a folder that also holds an executable program, a plain file and a
// folder, for "exec" to name. Checks that reading never crashes and that an
// accepted manifest has a non-empty identifier and names, by an absolute
// path without NUL bytes, a program that can be run; a refused one says why.
#include "Platform/WidgetHost/ExtensionManifest.h"
#include "fuzz/FuzzSupport.h"

#include <sys/stat.h>

using namespace tarvelo::fuzzing;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    namespace fs = std::filesystem;
    const auto folder = memoryBackedFolder() / "manifests";
    fs::create_directories(folder / "folder");
    fs::permissions(writeFile(folder / "extension", "#!/bin/true\n"), fs::perms::owner_all);
    fs::permissions(writeFile(folder / "data", "not a program\n"),
                    fs::perms::owner_read | fs::perms::owner_write);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const auto path = memoryBackedFolder() / "manifests" / "manifest.json";
    writeFile(path, std::string(textOf(data, size)));
    std::string problem;
    const auto manifest = platform::ExtensionManifest::read(path, problem);
    if (!manifest) {
        if (problem.empty())
            fail("a refused manifest comes without a reason");
        return 0;
    }
    if (manifest->identifier.empty())
        fail("an accepted manifest has no identifier");
    const std::string executable = manifest->executable.string();
    if (!manifest->executable.is_absolute() || executable.find('\0') != std::string::npos)
        fail("an accepted manifest's program is not named by an absolute path without NUL bytes");
    struct stat status {};
    if (::stat(executable.c_str(), &status) != 0 || S_ISDIR(status.st_mode) ||
        ::access(executable.c_str(), X_OK) != 0)
        fail("an accepted manifest's program cannot be run");
    if (manifest->manifestPath != path)
        fail("an accepted manifest does not know its own path");
    return 0;
}
