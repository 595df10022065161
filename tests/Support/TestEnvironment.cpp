#include "tests/Support/TestEnvironment.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

extern char** environ;

namespace tarvelo::testsupport {
namespace {

std::filesystem::path& privateRoot() {
    static std::filesystem::path root;
    return root;
}

void removePrivateRoot() {
    std::error_code ignored;
    std::filesystem::remove_all(privateRoot(), ignored);
}

// Every LC_ category the user may have set, so that only LANG decides.
void unsetLocaleCategories() {
    std::vector<std::string> names;
    for (char** entry = environ; *entry; ++entry)
        if (std::strncmp(*entry, "LC_", 3) == 0)
            if (const char* equals = std::strchr(*entry, '='))
                names.emplace_back(*entry, static_cast<std::size_t>(equals - *entry));
    for (const std::string& name : names)
        ::unsetenv(name.c_str());
}

} // namespace

void isolateFromTheMachine() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tarvelo-test-home-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        std::abort();
    privateRoot() = pattern;
    std::atexit(removePrivateRoot);
    const auto folder = [](const char* name) {
        const std::filesystem::path path = privateRoot() / name;
        std::filesystem::create_directories(path);
        return path.string();
    };

    // The user's own settings, data and default applications stay out;
    // the system's data (icons, schemas, MIME types) stays in.
    ::setenv("XDG_CONFIG_HOME", folder("config").c_str(), 1);
    ::setenv("XDG_DATA_HOME", folder("data").c_str(), 1);
    ::setenv("XDG_STATE_HOME", folder("state").c_str(), 1);
    ::setenv("XDG_CACHE_HOME", folder("cache").c_str(), 1);
    ::setenv("XDG_CONFIG_DIRS", folder("config-dirs").c_str(), 1);
    ::setenv("XDG_DATA_DIRS", "/usr/share", 1);
    for (const char* name :
         {"XDG_CURRENT_DESKTOP", "XDG_SESSION_TYPE", "XDG_SESSION_DESKTOP", "DESKTOP_SESSION",
          "WAYLAND_DISPLAY", "GDK_BACKEND", "GDK_SCALE", "GDK_DPI_SCALE", "GTK_THEME", "GTK_DEBUG",
          "GTK_MODULES", "GTK_PATH", "GIO_EXTRA_MODULES", "LANGUAGE"})
        ::unsetenv(name);

    // GIO and GTK load nothing the machine happens to have installed.
    ::setenv("GIO_MODULE_DIR", folder("gio-modules").c_str(), 1);
    ::setenv("GIO_USE_VFS", "local", 1);
    ::setenv("GSETTINGS_BACKEND", "memory", 1);
    ::setenv("GTK_IM_MODULE", "gtk-im-context-simple", 1);
    ::setenv("GTK_A11Y", "none", 1);
    // Drawing is the programs' own choice (see SoftwareDrawing), not the user's.
    ::unsetenv("GDK_DEBUG");
    ::unsetenv("GSK_RENDERER");
#ifdef TARVELO_TEST_FONTCONFIG_FILE
    ::setenv("FONTCONFIG_FILE", TARVELO_TEST_FONTCONFIG_FILE, 1);
#endif

    unsetLocaleCategories();
    ::setenv("LANG", "C.UTF-8", 1);
    ::setenv("TZ", "UTC", 1);
}

} // namespace tarvelo::testsupport
