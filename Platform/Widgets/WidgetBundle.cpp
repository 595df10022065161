#include "WidgetBundle.h"

#include <cstdio>
#include <cstring>
#include <unistd.h>

#include "PangoTextMeasurer.h"
#include "TextEngine.h"
#include "WidgetRunner.h"

namespace platform::WidgetBundle {

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
    WidgetRunner(contents, measurer).serve(STDIN_FILENO, STDOUT_FILENO);
    return 0;
}

} // namespace platform::WidgetBundle
