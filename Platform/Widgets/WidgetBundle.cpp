#include "WidgetBundle.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <unistd.h>

#include "FileReplacement.h"
#include "PangoTextMeasurer.h"
#include "ProgramFolders.h"
#include "Sandbox.h"
#include "TextEngine.h"
#include "UserDefaults.h"
#include "WidgetRunner.h"

namespace platform::WidgetBundle {

namespace {

std::filesystem::path environmentFolder(const char* name, const std::filesystem::path& fallback) {
    const char* value = std::getenv(name);
    return value && value[0] == '/' ? std::filesystem::path(value) : fallback;
}

// What an extension still opens once it serves: its own defaults and the
// files its links there lead to (read and write); the system, its data beside the executable, and fonts, icons and
// their caches (read only). Everything else of the user's stays out of reach.
Sandbox::FileAccess extensionFileAccess() {
    const std::filesystem::path home = environmentFolder("HOME", "/nonexistent");
    Sandbox::FileAccess access;
    const auto settings = UserDefaults::folderForDomains();
    access.readWrite = {settings, "/dev/null"};
    // Settings kept elsewhere through symbolic links (a dotfiles folder):
    // exactly the files the links lead to, not their folders.
    std::error_code error;
    for (std::filesystem::directory_iterator entry(settings, error), end; !error && entry != end;
         entry.increment(error)) {
        std::error_code ignored;
        if (!entry->is_symlink(ignored))
            continue;
        const auto target = FileReplacement::linkTarget(entry->path());
        if (target && std::filesystem::is_regular_file(*target, ignored))
            access.readWrite.push_back(*target);
    }
    // malloc reads the overcommit setting when a thread makes its arena.
    access.readOnly = {"/usr", "/etc", "/proc/self", "/proc/sys/vm/overcommit_memory", "/dev/urandom",
                       "/var/cache/fontconfig", ProgramFolders::dataFolder()};
    const auto dataHome = environmentFolder("XDG_DATA_HOME", home / ".local/share");
    const auto cacheHome = environmentFolder("XDG_CACHE_HOME", home / ".cache");
    const auto configHome = environmentFolder("XDG_CONFIG_HOME", home / ".config");
    for (const auto& folder : {dataHome / "fonts", dataHome / "icons", cacheHome / "fontconfig",
                               configHome / "fontconfig", home / ".fonts", home / ".icons"})
        access.readOnly.push_back(folder);
    const auto addList = [&](const char* name, const char* suffix) {
        const char* value = std::getenv(name);
        std::istringstream list(value ? value : "");
        for (std::string item; std::getline(list, item, ':');)
            if (!item.empty() && item[0] == '/')
                access.readOnly.push_back(std::filesystem::path(item) / suffix);
    };
    addList("XDG_DATA_DIRS", "");
    addList("FONTCONFIG_PATH", "");
    if (const char* file = std::getenv("FONTCONFIG_FILE"); file && file[0] == '/')
        access.readOnly.push_back(std::filesystem::path(file).parent_path());
#if defined(__SANITIZE_ADDRESS__)
    // The leak checker reads its suppressions only when the process ends.
    if (const char* options = std::getenv("LSAN_OPTIONS")) {
        std::istringstream list(options);
        for (std::string option; std::getline(list, option, ':');)
            if (option.starts_with("suppressions="))
                access.readOnly.push_back(option.substr(std::strlen("suppressions=")));
    }
#endif
    return access;
}

} // namespace

int main(const WidgetBundleContents& contents, int argc, char** argv) {
    const char* program = argc > 0 ? argv[0] : "widget-extension";
    for (int index = 1; index < argc; ++index) {
        if (!std::strcmp(argv[index], "--help") || !std::strcmp(argv[index], "-h")) {
            std::printf("Usage: %s [--describe]\n"
                        "\n"
                        "A widget extension. The widget host (tarvelo-widgets) starts it and talks\n"
                        "to it over standard input and output, one JSON request and one JSON reply\n"
                        "per line; it is not meant to be run by hand.\n"
                        "\n"
                        "  --describe   print the widgets and intents this extension offers, and exit\n",
                        program);
            return 0;
        }
        if (!std::strcmp(argv[index], "--describe")) {
            TextEngine engine;
            PangoTextMeasurer measurer(engine);
            std::printf("%s\n", WidgetRunner(contents, measurer).description().dump(2).c_str());
            return 0;
        }
        std::fprintf(stderr, "%s: unknown option %s (try --help)\n", program, argv[index]);
        return 2;
    }
    TextEngine engine;
    PangoTextMeasurer measurer(engine);
    WidgetRunner runner(contents, measurer);
    // Fonts, their configuration and the locale's data load on first use:
    // use them once before the sandbox closes the files they come from.
    runner.description();
    measurer.measure("Mo 1 ٣ 月", Font::system(13.0));
    // Served requests come from the host and could, through a fault, be made
    // to do anything the process may do; from here on that is little.
    Sandbox::restrict(extensionFileAccess());
    runner.serve(STDIN_FILENO, STDOUT_FILENO);
    return 0;
}

} // namespace platform::WidgetBundle
