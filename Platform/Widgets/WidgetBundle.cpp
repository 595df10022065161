#include "Platform/Widgets/WidgetBundle.h"

#include "Platform/Defaults/UserDefaults.h"
#include "Platform/Files/FileReplacement.h"
#include "Platform/Files/XdgFolders.h"
#include "Platform/Painter/PangoTextMeasurer.h"
#include "Platform/Painter/TextEngine.h"
#include "Platform/Resources/ProgramFolders.h"
#include "Platform/Sandbox/Sandbox.h"
#include "Platform/Widgets/WidgetRunner.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <unistd.h>

namespace platform::WidgetBundle {

namespace {

// What an extension still opens once it serves: its own defaults and the
// files its links there lead to (read and write); the system, its data beside the executable, and fonts,
// icons and their caches (read only). Everything else of the user's stays out of reach.
Sandbox::FileAccess extensionFileAccess() {
    Sandbox::FileAccess access;
    const auto settings = UserDefaults::folderForDomains();
    access.readWrite = {"/dev/null"};
    if (!settings.empty())
        access.readWrite.push_back(settings);
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
    access.readOnly = {"/usr",
                       "/etc",
                       "/proc/self",
                       "/proc/sys/vm/overcommit_memory",
                       "/dev/urandom",
                       "/var/cache/fontconfig",
                       ProgramFolders::dataFolder()};
    const auto addUnder = [&](const std::optional<std::filesystem::path>& base,
                              std::initializer_list<const char*> names) {
        if (base)
            for (const char* name : names)
                access.readOnly.push_back(*base / name);
    };
    addUnder(XdgFolders::dataHome(), {"fonts", "icons"});
    addUnder(XdgFolders::cacheHome(), {"fontconfig"});
    addUnder(XdgFolders::configHome(), {"fontconfig"});
    addUnder(XdgFolders::home(), {".fonts", ".icons"});
    for (const auto& folder : XdgFolders::dataDirs())
        access.readOnly.push_back(folder);
    const char* fontconfigPath = std::getenv("FONTCONFIG_PATH");
    std::istringstream fontconfigFolders(fontconfigPath ? fontconfigPath : "");
    for (std::string item; std::getline(fontconfigFolders, item, ':');)
        if (!item.empty() && item[0] == '/')
            access.readOnly.push_back(item);
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
