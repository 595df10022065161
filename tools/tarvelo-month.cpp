// Prints a month as the widget's month model computes it: the title, the
// weekday symbols and six weeks, today in brackets, other months' days in
// parentheses. Honours LANG/LC_TIME/LC_ALL and TZ like the widget does.

#include "TarveloFeature/MonthModel/MonthGrid.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void printUsage() {
    std::puts("Usage: tarvelo-month [OFFSET]\n"
              "\n"
              "Prints the month OFFSET months from the current one (default 0) as the\n"
              "Tarvelo widget shows it, in the locale of LC_ALL, LC_TIME or LANG and the\n"
              "time zone of TZ or /etc/localtime. Today is in [brackets]; days of the\n"
              "neighbouring months are in (parentheses).");
}

// Pads to a column width counted in characters, not bytes.
std::string padded(const std::string& text, std::size_t width) {
    std::size_t characters = 0;
    for (unsigned char c : text)
        characters += (c & 0xC0) != 0x80;
    return std::string(characters < width ? width - characters : 0, ' ') + text;
}

} // namespace

int main(int argc, char** argv) {
    std::int64_t offset = 0;
    if (argc > 1) {
        if (!std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h")) {
            printUsage();
            return 0;
        }
        char* end = nullptr;
        offset = std::strtoll(argv[1], &end, 10);
        if (end == argv[1] || *end) {
            std::fprintf(stderr, "tarvelo-month: not a whole number: %s\n", argv[1]);
            return 2;
        }
    }

    using namespace tarvelo;
    const auto now = platform::Instant::now();
    const auto month = MonthGrid::month(offset, now);
    const auto calendar = MonthGrid::calendar();

    std::printf("%s\n", MonthGrid::title(month, now).c_str());
    for (const auto& symbol : MonthGrid::weekdaySymbols())
        std::printf("%s", padded(symbol, 5).c_str());
    std::printf("\n");
    for (const auto& cell : MonthGrid::cells(month, now)) {
        const auto day = std::to_string(calendar.component(platform::CalendarUnit::day, cell.date));
        const std::string shown = cell.isToday          ? "[" + day + "]"
                                  : cell.inVisibleMonth ? day + " "
                                                        : "(" + day + ")";
        std::printf("%s", padded(shown, 5).c_str());
        if (cell.id % MonthGrid::columnCount == MonthGrid::columnCount - 1)
            std::printf("\n");
    }
    return 0;
}
