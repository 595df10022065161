#include "TarveloFeature/MonthModel/MonthGrid.h"
#include "tests/Support/EnvironmentGuard.h"

#include <gtest/gtest.h>

using namespace tarvelo;
using platform::Instant;

namespace {

const Instant december2026 = Instant::sinceUnixEpoch(1796601600); // 2026-12-07T00:00Z
const Instant january2027 = Instant::sinceUnixEpoch(1798761600);  // 2027-01-01T00:00Z
const Instant march2026 = Instant::sinceUnixEpoch(1772755200);    // 2026-03-06T00:00Z

struct Titles {
    std::string sameYear;
    std::string otherYear;
};

Titles titlesIn(const char* locale) {
    const auto environment = testsupport::pinLocaleAndZone(locale, "UTC");
    return {MonthGrid::title(march2026, december2026), MonthGrid::title(january2027, december2026)};
}

} // namespace

TEST(MonthGridTitle, NamesTheYearOfTheUsersCalendarOnlyWhenItIsNotTheCurrentOne) {
    // March 2026 and January 2027, seen in December 2026.
    const char* const cases[][3] = {
        {"en_US.UTF-8", "March", "January 2027"},
        {"en_GB.UTF-8", "March", "January 2027"},
        {"de_DE.UTF-8", "März", "Januar 2027"},
        {"pl_PL.UTF-8", "marzec", "styczeń 2027"}, // the stand-alone form
        // In the Japanese calendar the year carries its era.
        {"ja_JP.UTF-8@calendar=japanese", "3月", "令和9年1月"},
    };
    for (const auto& [locale, sameYear, otherYear] : cases) {
        EXPECT_EQ(titlesIn(locale).sameYear, sameYear) << locale;
        EXPECT_EQ(titlesIn(locale).otherYear, otherYear) << locale;
    }
    // December 2026 and March 2026 lie in different Islamic years (1448 and 1447).
    const auto arabic = titlesIn("ar_SA.UTF-8");
    EXPECT_NE(arabic.sameYear.find("١٤٤٧"), std::string::npos) << arabic.sameYear;
    // 1 January 2027 is in Rajab 1448, the year of December 2026: no year shown.
    EXPECT_EQ(arabic.otherYear, "رجب");
}

TEST(MonthGridWeekdaySymbols, BeginWithTheCalendarsFirstWeekday) {
    const auto symbolsIn = [](const char* locale) {
        const auto environment = testsupport::pinLocaleAndZone(locale, "UTC");
        return MonthGrid::weekdaySymbols();
    };
    using Symbols = std::vector<std::string>;
    EXPECT_EQ(symbolsIn("en_US.UTF-8"), (Symbols{"S", "M", "T", "W", "T", "F", "S"}));
    EXPECT_EQ(symbolsIn("en_GB.UTF-8"), (Symbols{"M", "T", "W", "T", "F", "S", "S"}));
    EXPECT_EQ(symbolsIn("de_DE.UTF-8"), (Symbols{"M", "D", "M", "D", "F", "S", "S"}));
    EXPECT_EQ(symbolsIn("pl_PL.UTF-8"), (Symbols{"P", "W", "Ś", "C", "P", "S", "N"}));
    EXPECT_EQ(symbolsIn("en_US.UTF-8@fw=sat"), (Symbols{"S", "S", "M", "T", "W", "T", "F"}));
    EXPECT_EQ(symbolsIn("ja_JP.UTF-8@calendar=japanese").front(), "日");
    // The full names, as a screen reader reads the headings, in the same order.
    const auto namesIn = [](const char* locale) {
        const auto environment = testsupport::pinLocaleAndZone(locale, "UTC");
        return MonthGrid::weekdayNames();
    };
    EXPECT_EQ(namesIn("en_US.UTF-8").front(), "Sunday");
    EXPECT_EQ(namesIn("de_DE.UTF-8"),
              (Symbols{"Montag", "Dienstag", "Mittwoch", "Donnerstag", "Freitag", "Samstag", "Sonntag"}));
}

TEST(MonthGridWeekdaySymbols, HeadTheColumnsOfTheGrid) {
    for (const char* locale : {"en_US.UTF-8", "de_DE.UTF-8", "ar_SA.UTF-8", "fa_IR.UTF-8"}) {
        const auto environment = testsupport::pinLocaleAndZone(locale, "UTC");
        const auto calendar = MonthGrid::calendar();
        const auto cells = MonthGrid::cells(december2026, december2026);
        EXPECT_EQ(calendar.component(platform::CalendarUnit::weekday, cells[0].date), calendar.firstWeekday())
            << locale;
        EXPECT_EQ(
            MonthGrid::weekdaySymbols().front(),
            calendar
                .veryShortStandaloneWeekdaySymbols()[static_cast<std::size_t>(calendar.firstWeekday() - 1)]);
    }
}
