// The widget extension's process: the widget host starts it and talks to
// it over standard input and output.

#include "Localization.h"
#include "ProgramFolders.h"
#include "TarveloWidget.h"
#include "UserDefaults.h"

int main(int argc, char** argv) {
    platform::UserDefaults::setStandardDomain("today.tarvelo.Tarvelo.TarveloWidget");
    platform::bindTextDomain(platform::ProgramFolders::localeFolder().string());
    return tarvelo::TarveloWidgetBundle::main(argc, argv);
}
