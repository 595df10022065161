#include "Platform/Defaults/UserDefaults.h"
#include "Platform/Localization/Localization.h"
#include "Platform/Resources/ProgramFolders.h"
#include "Platform/Windowing/SoftwareDrawing.h"
#include "Tarvelo/TarveloApp.h"

#include <cstdlib>
#include <filesystem>
#include <giomm/application.h>
#include <giomm/init.h>
#include <string_view>
#include <system_error>

namespace {

// GTK needs a display as soon as a Gtk::Application exists, and the help
// text does not: it is printed by the plain GIO application underneath.
bool asksForHelp(int argc, char* argv[]) {
    for (int index = 1; index < argc; ++index) {
        const std::string_view argument = argv[index];
        if (argument == "--")
            return false;
        if (argument == "-h" || argument == "--help" || argument == "--help-all" ||
            argument == "--help-gapplication")
            return true;
    }
    return false;
}

} // namespace

int main(int argc, char* argv[]) {
    platform::UserDefaults::setStandardDomain(tarvelo::TarveloApp::applicationIdentifier);
    platform::bindTextDomain(platform::ProgramFolders::localeFolder().string());
    if (asksForHelp(argc, argv)) {
        Gio::init();
        return Gio::Application::create(tarvelo::TarveloApp::applicationIdentifier,
                                        Gio::Application::Flags::HANDLES_OPEN)
            ->run(argc, argv);
    }
    // One small window, mostly text: GTK's Cairo renderer draws it as well
    // as the GL one and starts faster, which is what a click on a day waits
    // for. A user's own choice still wins.
    platform::SoftwareDrawing::prefer();
    return tarvelo::TarveloApp::create()->run(argc, argv);
}
