// The month page's geometry: its five sections, the step buttons, the day
// grid's click regions and columns, the title that shrinks, the same tree at
// both sizes, and the page in right-to-left locales.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string_view>

#include "DisplayListJSON.h"
#include "EnvironmentGuard.h"
#include "FakeTextMeasurer.h"
#include "WidgetRendering.h"
#include "WidgetTestHelpers.h"

using namespace platform;
using namespace tarvelo;
using namespace tarvelo::testsupport;

namespace {

template <typename Item> std::vector<Item> itemsOf(const DisplayList& list) {
    std::vector<Item> result;
    for (const auto& item : list.items)
        if (const auto* value = std::get_if<Item>(&item))
            result.push_back(*value);
    return result;
}

std::vector<HitRegion> links(const DisplayList& list) {
    auto regions = itemsOf<HitRegion>(list);
    std::erase_if(regions, [](const HitRegion& region) { return !std::holds_alternative<URL>(region.action); });
    return regions;
}

std::vector<HitRegion> buttons(const DisplayList& list) {
    auto regions = itemsOf<HitRegion>(list);
    std::erase_if(regions, [](const HitRegion& region) { return std::holds_alternative<URL>(region.action); });
    return regions;
}

// The text runs whose font has the given size at layout's request (titles shrink).
std::vector<TextRun> textsOfSize(const DisplayList& list, double size) {
    auto texts = itemsOf<TextRun>(list);
    std::erase_if(texts, [size](const TextRun& text) { return text.font.size != size; });
    return texts;
}

class WidgetLayout : public ::testing::Test {
protected:
    EnvironmentGuard environment = pinLocaleAndZone("en_US.UTF-8", "Europe/Berlin");
    const Instant now = berlinWinter2025(3, 12, 10);
    const TarveloWidgetView::Clock clock = [this] { return now; };
    FakeTextMeasurer measurer;

    DisplayList picture(Size size, Instant shown) const {
        return widgetPicture(entryShowing(shown), size, measurer, clock);
    }
};

constexpr double tolerance = 1e-9;

} // namespace

TEST_F(WidgetLayout, FiveSectionsAddUpToTheHeight) {
    for (const double height : {170.0, 155.0, 240.0}) {
        const DisplayList list = picture({170.0, height}, now);
        const auto cells = links(list);
        ASSERT_EQ(cells.size(), 42u);
        const double gridTop = cells.front().frame.minY();
        const double gridBottom = cells.back().frame.maxY();
        // Grid: 0.601 H, starting after 0.086 + 0.123 + 0.092 of H.
        EXPECT_NEAR(gridTop, 0.301 * height, tolerance);
        EXPECT_NEAR(gridBottom - gridTop, 0.601 * height, tolerance);
        // The footer's 0.098 H is what is left below the grid, and the footer text sits centred in it.
        const TextRun footer = textsOfSize(list, 11.0).at(0);
        EXPECT_NEAR(footer.frame.midY(), gridBottom + 0.098 * height / 2, tolerance);
        EXPECT_NEAR(gridBottom + 0.098 * height, height, tolerance);
        // Weekday row and header are centred in their shares too.
        const TextRun weekday = textsOfSize(list, 9.0).at(0);
        EXPECT_NEAR(weekday.frame.midY(), (0.086 + 0.123 + 0.092 / 2) * height, tolerance);
        const auto steps = buttons(list);
        ASSERT_EQ(steps.size(), 2u);
        EXPECT_NEAR(steps[0].frame.midY(), (0.086 + 0.123 / 2) * height, tolerance);
    }
}

TEST_F(WidgetLayout, StepButtonsAre44PointsSquareAndLieOnTop) {
    const DisplayList list = picture(systemSmallSize, now);
    const auto steps = buttons(list);
    ASSERT_EQ(steps.size(), 2u);
    const double headerHeight = 0.123 * systemSmallSize.height;
    ASSERT_LT(headerHeight, 44.0);
    for (const HitRegion& step : steps)
        EXPECT_EQ(step.frame.size, (Size{44.0, 44.0}));
    EXPECT_EQ(std::get<IntentReference>(steps[0].action).parameters["delta"], -1);
    EXPECT_EQ(std::get<IntentReference>(steps[1].action).parameters["delta"], 1);
    // Named by the way they step; the chevron drawn inside is left to them.
    EXPECT_EQ(steps[0].accessibility.label, "Previous month");
    EXPECT_EQ(steps[1].accessibility.label, "Next month");
    for (const DisplayItem& item : list.items) {
        if (const auto* symbol = std::get_if<SymbolItem>(&item)) {
            EXPECT_TRUE(symbol->accessibility.hidden);
        }
    }
    EXPECT_DOUBLE_EQ(steps[0].frame.minX(), 8.0);
    EXPECT_DOUBLE_EQ(steps[1].frame.maxX(), systemSmallSize.width - 8.0);
    // Painted and hit-tested after everything below the header.
    const auto last = std::find_if(list.items.rbegin(), list.items.rend(), [](const DisplayItem& item) {
        return std::holds_alternative<HitRegion>(item) && std::holds_alternative<URL>(std::get<HitRegion>(item).action);
    });
    const auto lastLink = list.items.rend() - last - 1;
    const auto firstButton = std::find_if(list.items.begin(), list.items.end(), [](const DisplayItem& item) {
        return std::holds_alternative<HitRegion>(item) &&
               std::holds_alternative<IntentReference>(std::get<HitRegion>(item).action);
    }) - list.items.begin();
    EXPECT_GT(firstButton, lastLink);
}

TEST_F(WidgetLayout, LinksTileTheGridInSixRowsOfSevenEqualColumns) {
    for (const Size size : {systemSmallSize, systemMediumSize}) {
        const auto cells = links(picture(size, now));
        ASSERT_EQ(cells.size(), 42u);
        const double width = size.width - 16.0;
        const double cellWidth = (width - 6 * 2.0) / 7;
        for (std::size_t index = 0; index < cells.size(); ++index) {
            const Rect& frame = cells[index].frame;
            const std::size_t row = index / 7;
            const std::size_t column = index % 7;
            EXPECT_NEAR(frame.size.width, cellWidth, tolerance);
            EXPECT_NEAR(frame.minX(), 8.0 + column * (cellWidth + 2.0), tolerance);
            // Rows share the grid's height with no gap between them.
            EXPECT_NEAR(frame.size.height, cells[0].frame.size.height, tolerance);
            EXPECT_NEAR(frame.minY(), cells[0].frame.minY() + row * cells[0].frame.size.height, tolerance);
        }
        EXPECT_NEAR(cells.back().frame.maxX(), size.width - 8.0, tolerance);
    }
}

TEST_F(WidgetLayout, WeekdaySymbolsHeadTheColumns) {
    const DisplayList list = picture(systemMediumSize, now);
    const auto weekdays = textsOfSize(list, 9.0);
    const auto cells = links(list);
    ASSERT_EQ(weekdays.size(), 7u);
    for (std::size_t column = 0; column < 7; ++column)
        EXPECT_NEAR(weekdays[column].frame.midX(), cells[column].frame.midX(), tolerance);
    // Read out by their full names.
    EXPECT_EQ(weekdays[0].text, "S");
    EXPECT_EQ(weekdays[0].accessibility.label, "Sunday");
    EXPECT_EQ(weekdays[6].accessibility.label, "Saturday");
}

TEST_F(WidgetLayout, LongTitleShrinksToEightTenthsBeforeItTruncates) {
    const double available = systemSmallSize.width - 16.0 - 88.0;
    double previous = 13.0;
    bool sawShrunkWhole = false;
    bool sawTruncated = false;
    for (double widthPerPoint = 0.3; widthPerPoint < 1.5; widthPerPoint += 0.02) {
        const FakeTextMeasurer wide(widthPerPoint);
        // A month of another year: the title carries the year.
        const Instant nextDecember = berlinWinter2025(12, 1, 12) + 365 * 86400.0;
        const DisplayList list = widgetPicture(entryShowing(nextDecember), systemSmallSize, wide, clock);
        const auto texts = itemsOf<TextRun>(list);
        const auto title = std::find_if(texts.begin(), texts.end(),
                                        [](const TextRun& text) { return text.font.weight == FontWeight::semibold &&
                                                                         text.text != TarveloWidgetView::footerLabel; });
        ASSERT_NE(title, texts.end());
        EXPECT_EQ(title->text, "December 2026");
        EXPECT_LE(title->font.size, previous + tolerance);
        EXPECT_GE(title->font.size, 13.0 * 0.8 - tolerance);
        EXPECT_LE(title->frame.size.width, available + tolerance) << title->text << " at " << widthPerPoint;
        if (title->truncated) {
            EXPECT_NEAR(title->font.size, 10.4, tolerance);
        }
        sawShrunkWhole = sawShrunkWhole || (!title->truncated && title->font.size < 13.0);
        sawTruncated = sawTruncated || title->truncated;
        previous = title->font.size;
        // The step buttons keep their width whatever the title does.
        for (const HitRegion& step : buttons(list))
            EXPECT_EQ(step.frame.size.width, 44.0);
    }
    EXPECT_TRUE(sawShrunkWhole);
    EXPECT_TRUE(sawTruncated);
}

TEST_F(WidgetLayout, SmallAndMediumShowTheSameTree) {
    const DisplayList small = picture(systemSmallSize, now);
    const DisplayList medium = picture(systemMediumSize, now);
    ASSERT_EQ(small.items.size(), medium.items.size());
    for (std::size_t index = 0; index < small.items.size(); ++index) {
        const DisplayItem& first = small.items[index];
        const DisplayItem& second = medium.items[index];
        ASSERT_EQ(first.index(), second.index()) << "item " << index;
        const auto sameVertically = [](const Rect& one, const Rect& other) {
            return std::abs(one.minY() - other.minY()) < tolerance && std::abs(one.size.height - other.size.height) < tolerance;
        };
        if (const auto* text = std::get_if<TextRun>(&first)) {
            const auto& other = std::get<TextRun>(second);
            EXPECT_EQ(text->text, other.text);
            EXPECT_EQ(text->font, other.font);
            EXPECT_EQ(text->style, other.style);
            EXPECT_TRUE(sameVertically(text->frame, other.frame)) << text->text;
        } else if (const auto* shape = std::get_if<ShapeItem>(&first)) {
            const auto& other = std::get<ShapeItem>(second);
            EXPECT_EQ(shape->kind, other.kind);
            EXPECT_EQ(shape->fill, other.fill);
            EXPECT_TRUE(sameVertically(shape->frame, other.frame));
        } else if (const auto* region = std::get_if<HitRegion>(&first)) {
            EXPECT_EQ(region->action, std::get<HitRegion>(second).action);
            EXPECT_TRUE(sameVertically(region->frame, std::get<HitRegion>(second).frame));
        }
    }
}

TEST_F(WidgetLayout, OnlyTheVisibleMonthOfTheEntryMatters) {
    MonthEntry entry = entryShowing(now);
    const DisplayList plain = widgetPicture(entry, systemSmallSize, measurer, clock);
    entry.date = now - 86400.0 * 40;
    entry.offset = 7;
    entry.latency = 3.5;
    entry.stepCount = 12;
    entry.resetCount = 2;
    entry.processAge = 99.0;
    EXPECT_EQ(widgetPicture(entry, systemSmallSize, measurer, clock), plain);
}

TEST_F(WidgetLayout, BackgroundIsTheTertiaryFillOverTheWholeWidget) {
    const DisplayList list = picture(systemMediumSize, now);
    const auto& background = std::get<ShapeItem>(list.items.at(0));
    EXPECT_EQ(background.fill.color, SemanticColor::tertiaryFill);
    EXPECT_EQ(background.frame, (Rect{{0.0, 0.0}, systemMediumSize}));
}

TEST_F(WidgetLayout, EveryClickRegionLiesInsideTheWidgetAndTheListSurvivesItsJSON) {
    const DisplayList list = picture(systemSmallSize, now);
    for (const HitRegion& region : itemsOf<HitRegion>(list)) {
        EXPECT_GE(region.frame.minX(), 0.0);
        EXPECT_LE(region.frame.maxX(), systemSmallSize.width);
        EXPECT_GE(region.frame.minY(), 0.0);
    }
    const auto reading = displayListFromJSONText(toJSON(list).dump());
    ASSERT_TRUE(reading.displayList) << reading.error;
    EXPECT_EQ(*reading.displayList, list);
}

// In Hebrew, Arabic and Persian the page reads right to left: the weekdays and
// weeks start at the right edge, the back chevron stands on the right and
// points right, and the day numbers are in the locale's digits.
TEST(WidgetDirection, FollowsTheLocale) {
    struct Case {
        const char* locale;
        bool rightToLeft;
        const char* one; // the number 1 in the locale's digits
    };
    const Case cases[] = {
        {"en_US.UTF-8", false, "1"}, {"he_IL.UTF-8", true, "1"}, {"ar_SA.UTF-8", true, "\u0661"},
        {"fa_IR.UTF-8", true, "\u06F1"}};
    const FakeTextMeasurer measurer;
    const Instant now = berlinWinter2025(3, 12, 10);
    for (const Case& example : cases) {
        SCOPED_TRACE(example.locale);
        const EnvironmentGuard environment = pinLocaleAndZone(example.locale, "Europe/Berlin");
        const DisplayList list = widgetPicture(entryShowing(now), systemMediumSize, measurer, [now] { return now; });
        // From the leading edge onwards: rightwards, or leftwards.
        const double onwards = example.rightToLeft ? -1.0 : 1.0;

        const auto weekdays = textsOfSize(list, 9.0);
        const auto symbols = MonthGrid::weekdaySymbols();
        ASSERT_EQ(weekdays.size(), 7u);
        for (std::size_t column = 0; column < 7; ++column) {
            EXPECT_EQ(weekdays[column].text, symbols[column]);
            if (column > 0) {
                EXPECT_GT(onwards * (weekdays[column].frame.midX() - weekdays[column - 1].frame.midX()), 0.0);
            }
        }
        const auto cells = links(list);
        ASSERT_EQ(cells.size(), 42u);
        EXPECT_NEAR(example.rightToLeft ? systemMediumSize.width - cells[0].frame.maxX() : cells[0].frame.minX(), 8.0,
                    tolerance);

        const auto steps = buttons(list);
        ASSERT_EQ(steps.size(), 2u);
        EXPECT_EQ(std::get<IntentReference>(steps[0].action).parameters["delta"], -1);
        EXPECT_GT(onwards * (steps[1].frame.midX() - steps[0].frame.midX()), 0.0);
        ASSERT_EQ(itemsOf<SymbolItem>(list).size(), 2u);
        for (const SymbolItem& symbol : itemsOf<SymbolItem>(list)) {
            // Each chevron points outwards, away from the title.
            const bool onTheLeft = symbol.frame.midX() < systemMediumSize.width / 2;
            EXPECT_EQ(symbol.name, onTheLeft ? "chevron.left" : "chevron.right");
            EXPECT_TRUE(steps[example.rightToLeft == onTheLeft ? 1 : 0].frame.contains(
                {symbol.frame.midX(), symbol.frame.midY()}));
        }

        const auto days = textsOfSize(list, 10.0);
        EXPECT_TRUE(std::any_of(days.begin(), days.end(), [&](const TextRun& day) { return day.text == example.one; }));
        const bool latinDigits = std::string_view(example.one) == "1";
        for (const TextRun& day : days)
            EXPECT_EQ(day.text.find_first_of("0123456789") != std::string::npos, latinDigits) << day.text;
        // Links keep their Latin digits: they are data for the host application.
        for (const HitRegion& cell : cells)
            EXPECT_TRUE(std::ranges::all_of(std::get<URL>(cell.action).absoluteString(),
                                            [](unsigned char c) { return c < 0x80; }));
    }
}
