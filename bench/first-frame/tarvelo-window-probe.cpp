// The host application's window as `tarvelo` makes it (the onboarding page
// with its pictures, styles and the picker's catalog query on map), in an
// application that is not single-instance so that runs do not meet.
#include "Platform/Defaults/UserDefaults.h"
#include "Platform/Localization/Localization.h"
#include "Platform/Resources/ProgramFolders.h"
#include "Platform/Windowing/SoftwareDrawing.h"
#include "Tarvelo/HostWindow.h"
#include "bench/first-frame/FirstFrameReport.h"

int main(int argc, char* argv[]) {
    platform::UserDefaults::setStandardDomain("today.tarvelo.Tarvelo");
    platform::bindTextDomain(platform::ProgramFolders::localeFolder().string());
    platform::SoftwareDrawing::prefer();
    auto application =
        Gtk::Application::create("today.tarvelo.FirstFrameProbe", Gio::Application::Flags::NON_UNIQUE);
    application->signal_activate().connect([&] {
        Gtk::Window* window = tarvelo::makeHostWindow();
        application->add_window(*window);
        window->present();
        firstframe::reportFirstFrame(*window, application);
    });
    return application->run(argc, argv);
}
