// The widget extension's process: the widget host starts it and talks to
// it over standard input and output.

#include "Platform/Defaults/UserDefaults.h"
#include "Platform/Localization/Localization.h"
#include "Platform/Resources/ProgramFolders.h"
#include "TarveloWidget/TarveloWidget.h"

int main(int argc, char** argv) {
    platform::UserDefaults::setStandardDomain("today.tarvelo.Tarvelo.TarveloWidget");
    platform::bindTextDomain(platform::ProgramFolders::localeFolder().string());
    return tarvelo::TarveloWidgetBundle::main(argc, argv);
}
