// tarvelo-widgets: the widget host. Without a command (or with "run") it
// shows the placed widgets on the desktop; the other commands need no display.

#include "Platform/Painter/Painter.h"
#include "Platform/View/DisplayListJSON.h"
#include "Platform/WidgetDesktop/DesktopWidgetHost.h"
#include "Platform/WidgetHost/PlacementList.h"
#include "Platform/WidgetHost/WidgetHost.h"
#include "Platform/WidgetHost/WidgetHostProgram.h"

#include <algorithm>
#include <cairo.h>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace {

using platform::WidgetFamily;
using platform::WidgetHost;

constexpr const char* usage =
    "Usage: tarvelo-widgets [run] [--gallery | --login]\n"
    "       tarvelo-widgets COMMAND [OPTIONS]\n"
    "\n"
    "The Tarvelo widget host: runs widget extensions and shows their widgets.\n"
    "\n"
    "With a display (no command, or run):\n"
    "  shows the widgets placed on the desktop; with none placed, or with\n"
    "  --gallery, opens the gallery (Edit Widgets). A host already running\n"
    "  in the session opens its gallery instead. --login (the session's\n"
    "  autostart) opens nothing when no widget is placed.\n"
    "\n"
    "Commands that need no display:\n"
    "  gallery                       list the available widgets (kind, name, sizes, description)\n"
    "  render --kind KIND --family small|medium --out FILE.png\n"
    "         [--json FILE.json] [--scale N] [--dark] [--preview]\n"
    "                                paint what the widget shows now; --preview paints the\n"
    "                                gallery's snapshot instead\n"
    "  place --kind KIND --family small|medium [--at X,Y]\n"
    "                                put the widget on the desktop (at X,Y desktop pixels\n"
    "                                where the display server allows): at once when the host\n"
    "                                runs, else at its next start\n"
    "                                (nothing happens if one of that size is there already)\n"
    "  click --kind KIND --family small|medium --at X,Y\n"
    "                                do what a click at X,Y (points from the top-left corner)\n"
    "                                does: run the button's intent, or open the day's link\n"
    "\n"
    "Sizes: small is 170x170 points, medium 364x170.\n";

struct Arguments {
    std::string command;
    std::string kind;
    std::optional<WidgetFamily> family;
    std::string out;
    std::string json;
    double scale = 2.0;
    bool dark = false;
    bool preview = false;
    std::optional<platform::Point> at;
};

int fail(const std::string& message) {
    std::fprintf(stderr, "tarvelo-widgets: %s\n", message.c_str());
    return 1;
}

std::optional<Arguments> parse(int argc, char** argv, std::string& problem) {
    Arguments arguments;
    if (argc < 2) {
        problem = "no command given (try --help)";
        return std::nullopt;
    }
    arguments.command = argv[1];
    for (int index = 2; index < argc; ++index) {
        const std::string option = argv[index];
        const auto value = [&]() -> std::optional<std::string> {
            if (index + 1 >= argc)
                return std::nullopt;
            return std::string(argv[++index]);
        };
        if (option == "--dark") {
            arguments.dark = true;
        } else if (option == "--preview") {
            arguments.preview = true;
        } else if (option == "--kind" || option == "--family" || option == "--out" || option == "--json" ||
                   option == "--scale" || option == "--at") {
            const auto text = value();
            if (!text) {
                problem = option + " needs a value";
                return std::nullopt;
            }
            if (option == "--kind") {
                arguments.kind = *text;
            } else if (option == "--family") {
                arguments.family = platform::widgetFamilyNamed(*text);
                if (!arguments.family) {
                    problem = "unknown family \"" + *text + "\" (small or medium)";
                    return std::nullopt;
                }
            } else if (option == "--out") {
                arguments.out = *text;
            } else if (option == "--json") {
                arguments.json = *text;
            } else if (option == "--scale") {
                char* end = nullptr;
                arguments.scale = std::strtod(text->c_str(), &end);
                if (end == text->c_str() || *end || !std::isfinite(arguments.scale) ||
                    arguments.scale < 0.25 || arguments.scale > 8) {
                    problem = "--scale must be a number from 0.25 to 8";
                    return std::nullopt;
                }
            } else {
                double x = 0, y = 0;
                char extra = 0;
                if (std::sscanf(text->c_str(), "%lf,%lf%c", &x, &y, &extra) != 2 || !std::isfinite(x) ||
                    !std::isfinite(y)) {
                    problem = "--at must be X,Y in points";
                    return std::nullopt;
                }
                arguments.at = platform::Point{x, y};
            }
        } else {
            problem = "unknown option " + option + " (try --help)";
            return std::nullopt;
        }
    }
    return arguments;
}

int gallery(WidgetHost& host) {
    const auto widgets = host.gallery();
    if (widgets.empty())
        return fail("no widget extension found (see docs/widget-host.md for where they are searched)");
    for (const auto& widget : widgets) {
        std::string families;
        for (auto family : widget.families)
            families += (families.empty() ? "" : ",") + std::string(platform::name(family));
        std::printf("%s\t%s\t%s\t%s\n", widget.kind.c_str(), widget.displayName.c_str(), families.c_str(),
                    widget.description.c_str());
    }
    return 0;
}

int render(WidgetHost& host, const Arguments& arguments) {
    if (arguments.kind.empty() || !arguments.family || arguments.out.empty())
        return fail("render needs --kind, --family and --out");
    std::string problem;
    const auto picture = host.picture(arguments.kind, *arguments.family, arguments.preview, problem);
    if (!picture)
        return fail(problem);
    platform::Painter painter;
    const auto surface =
        painter.render(picture->displayList, arguments.scale,
                       arguments.dark ? platform::Appearance::dark : platform::Appearance::light,
                       /*cornerRadius=*/20.0);
    if (cairo_surface_write_to_png(surface.get(), arguments.out.c_str()) != CAIRO_STATUS_SUCCESS)
        return fail("cannot write " + arguments.out);
    if (!arguments.json.empty()) {
        std::ofstream stream(arguments.json);
        stream << platform::toJSON(picture->displayList).dump(2) << "\n";
        if (!stream)
            return fail("cannot write " + arguments.json);
    }
    return 0;
}

int click(WidgetHost& host, const Arguments& arguments) {
    if (arguments.kind.empty() || !arguments.family || !arguments.at)
        return fail("click needs --kind, --family and --at");
    std::string problem;
    const auto picture = host.picture(arguments.kind, *arguments.family, false, problem);
    if (!picture)
        return fail(problem);
    switch (host.click(arguments.kind, *picture, *arguments.at, problem)) {
    case WidgetHost::ClickResult::nothing:
        std::printf("nothing to click at %g,%g\n", arguments.at->x, arguments.at->y);
        return 0;
    case WidgetHost::ClickResult::openedLink:
        std::printf("opened a link\n");
        return 0;
    case WidgetHost::ClickResult::failed:
        return fail(problem);
    case WidgetHost::ClickResult::ranIntent:
        break;
    }
    // As after every intent, the widget's timeline is asked for anew.
    if (!host.picture(arguments.kind, *arguments.family, false, problem))
        return fail(problem);
    std::printf("ran the intent; the widget has its new timeline\n");
    return 0;
}

int place(WidgetHost& host, const Arguments& arguments) {
    if (arguments.kind.empty() || !arguments.family)
        return fail("place needs --kind and --family");
    bool offered = false;
    for (const auto& widget : host.gallery())
        if (widget.kind == arguments.kind)
            offered = std::find(widget.families.begin(), widget.families.end(), *arguments.family) !=
                      widget.families.end();
    if (!offered)
        return fail("no widget " + arguments.kind + " in the " +
                    std::string(platform::name(*arguments.family)) + " size") +
               1;

    const std::string familyName(platform::name(*arguments.family));
    std::optional<std::pair<int, int>> at;
    if (arguments.at)
        at = std::pair{static_cast<int>(std::clamp(arguments.at->x, 0.0, 100000.0)),
                       static_cast<int>(std::clamp(arguments.at->y, 0.0, 100000.0))};
    // A running host owns the list: it places the widget itself.
    switch (platform::WidgetHostProgram::askRunningHostToPlace(arguments.kind, familyName, at)) {
    case platform::WidgetHostProgram::PlaceAnswer::placed:
        std::printf("%s (%s) is on the desktop\n", arguments.kind.c_str(), familyName.c_str());
        return 0;
    case platform::WidgetHostProgram::PlaceAnswer::failed:
        return fail("the running widget host did not answer; nothing was placed");
    case platform::WidgetHostProgram::PlaceAnswer::noHost:
        break;
    }

    platform::PlacementList placements;
    if (const auto problem = placements.load(); !problem.empty())
        std::fprintf(stderr, "tarvelo-widgets: %s\n", problem.c_str());
    if (placements.contains(arguments.kind, *arguments.family)) {
        std::printf("%s (%s) is on the desktop already\n", arguments.kind.c_str(), familyName.c_str());
        return 0;
    }
    placements.add(arguments.kind, *arguments.family, at);
    if (const auto problem = placements.save(); !problem.empty())
        return fail(problem);
    // A host that started meanwhile may have read the list before this
    // write, and would write its own over it: it is asked too (it keeps one
    // of each, so one that read the new list changes nothing).
    if (platform::WidgetHostProgram::askRunningHostToPlace(arguments.kind, familyName, at) ==
        platform::WidgetHostProgram::PlaceAnswer::placed) {
        std::printf("%s (%s) is on the desktop\n", arguments.kind.c_str(), familyName.c_str());
        return 0;
    }
    std::printf("placed %s (%s); it shows when the widget host starts\n", arguments.kind.c_str(),
                std::string(platform::name(*arguments.family)).c_str());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    for (int index = 1; index < argc; ++index)
        if (!std::strcmp(argv[index], "--help") || !std::strcmp(argv[index], "-h")) {
            std::fputs(usage, stdout);
            return 0;
        }
    // The desktop half needs a display; the commands below never open one.
    if (argc < 2 || !std::strcmp(argv[1], "run") || !std::strcmp(argv[1], "--gallery")) {
        bool gallery = false, login = false;
        for (int index = 1; index < argc; ++index) {
            if (!std::strcmp(argv[index], "--gallery"))
                gallery = true;
            else if (!std::strcmp(argv[index], "--login"))
                login = true;
            else if (index > 1 || std::strcmp(argv[index], "run") != 0)
                return fail(std::string("unknown option ") + argv[index] + " (try --help)") + 1;
        }
        return platform::DesktopWidgetHost::run(argv[0], gallery, login);
    }
    std::string problem;
    const auto arguments = parse(argc, argv, problem);
    if (!arguments)
        return fail(problem) + 1;

    WidgetHost::Options options;
    options.log = [](const std::string& line) {
        std::fprintf(stderr, "tarvelo-widgets: %s\n", line.c_str());
    };
    WidgetHost host(options);
    if (arguments->command == "gallery")
        return gallery(host);
    if (arguments->command == "render")
        return render(host, *arguments);
    if (arguments->command == "click")
        return click(host, *arguments);
    if (arguments->command == "place")
        return place(host, *arguments);
    return fail("unknown command " + arguments->command + " (try --help)") + 1;
}
