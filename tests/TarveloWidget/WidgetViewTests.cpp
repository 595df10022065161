// The month page: as laid out (the step buttons, the day grid's click
// regions, columns and date links, the cell with today's disc, the title
// that shrinks, the page in right-to-left locales), as painted (golden
// pictures; painting at other scale factors is the painter's to test), and
// the entries the widget's provider makes for it.

#include "Platform/Painter/Painter.h"
#include "TarveloFeature/MonthModel/MonthGrid.h"
#include "TarveloWidget/MonthProvider.h"
#include "TarveloWidget/MonthStepIntent.h"
#include "TarveloWidget/WidgetRendering.h"
#include "tests/Support/EnvironmentGuard.h"
#include "tests/Support/FakeTextMeasurer.h"
#include "tests/Support/GoldenImage.h"
#include "tests/Support/LayoutTestHelpers.h"
#include "tests/Support/TemporaryFolder.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <limits>
#include <string_view>

using namespace platform;
using namespace tarvelo;
using namespace tarvelo::testsupport;

namespace {

// An instant given as a local Berlin time in 2025 (UTC+1 until 30 March).
inline platform::Instant berlinWinter2025(int month, int day, int hour) {
    // 2025-01-01 00:00 UTC is 757382400 seconds after the reference date.
    static constexpr int daysBeforeMonth[] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
    const double days = daysBeforeMonth[month - 1] + (day - 1);
    return platform::Instant::sinceReferenceDate(757382400.0 + days * 86400.0 + (hour - 1) * 3600.0);
}

// An entry showing the month that holds `shown`.
inline MonthEntry entryShowing(platform::Instant shown) {
    MonthEntry entry;
    entry.date = shown;
    entry.visibleMonth = MonthGrid::month(0, shown);
    return entry;
}

// The regions that open a date link, or those that run an intent (the buttons).
std::vector<HitRegion> regions(const DisplayList& list, bool links) {
    auto found = itemsOf<HitRegion>(list);
    std::erase_if(found, [links](const HitRegion& region) {
        return std::holds_alternative<URL>(region.action) != links;
    });
    return found;
}
const auto links = [](const DisplayList& list) { return regions(list, true); };
const auto buttons = [](const DisplayList& list) { return regions(list, false); };

// The text runs whose font has the given size at layout's request (titles shrink).
std::vector<TextRun> textsOfSize(const DisplayList& list, double size) {
    auto texts = itemsOf<TextRun>(list);
    std::erase_if(texts, [size](const TextRun& text) { return text.font.size != size; });
    return texts;
}

struct DayLook {
    std::string number;
    ShapeStyle style;
    bool disc = false;
    std::string label; // what a screen reader says for the day
};

// The 42 cells as drawn: each link region with the number and disc inside it.
std::vector<DayLook> days(const DisplayList& list) {
    std::vector<DayLook> result;
    for (const HitRegion& region : links(list)) {
        DayLook look;
        look.label = region.accessibility.label;
        for (const DisplayItem& inside : list.items) {
            if (const auto* text = std::get_if<TextRun>(&inside);
                text && region.frame.contains({text->frame.midX(), text->frame.midY()})) {
                look.number = text->text;
                look.style = text->style;
            }
            if (const auto* shape = std::get_if<ShapeItem>(&inside);
                shape && shape->kind == ShapeKind::circle &&
                region.frame.contains({shape->frame.midX(), shape->frame.midY()})) {
                look.disc = true;
                EXPECT_TRUE(shape->accessibility.hidden) << "the disc is decoration";
            }
        }
        result.push_back(look);
    }
    return result;
}

class WidgetLayout : public ::testing::Test {
protected:
    EnvironmentGuard environment = pinLocaleAndZone("en_US.UTF-8", "Europe/Berlin");
    const Instant now = berlinWinter2025(3, 12, 10);
    const TarveloWidgetView::Clock clock = [this] { return now; };
    FakeTextMeasurer measurer;

    DisplayList picture(Size size) const { return widgetPicture(entryShowing(now), size, measurer, clock); }
    // The small widget's days for an entry made at `shown`, drawn at `drawnAt`.
    std::vector<DayLook> daysOf(Instant shown, Instant drawnAt) const {
        return days(
            widgetPicture(entryShowing(shown), systemSmallSize, measurer, [drawnAt] { return drawnAt; }));
    }
};

constexpr double tolerance = 1e-9;

// A provider over a persistent store of its own and a clock the test moves.
class Provider : public ::testing::Test {
protected:
    EnvironmentGuard environment = pinLocaleAndZone("en_US.UTF-8", "Europe/Berlin");
    TemporaryFolder folder;
    platform::UserDefaults defaults{"widget", folder.path()};
    Instant now = Instant::sinceUnixEpoch(1796596200); // 2026-12-06T22:30Z, a Sunday evening in Berlin
    std::optional<MonthOffsetStore> store;
    int sharedStoreUses = 0;
    MonthProvider provider{[this]() -> MonthOffsetStore& {
                               ++sharedStoreUses;
                               if (!store)
                                   store.emplace(defaults, now);
                               return *store;
                           },
                           [this] { return now; }};

    // The entries the provider hands its completion, which it must call exactly once.
    std::vector<MonthEntry> snapshot(bool isPreview) {
        std::vector<MonthEntry> entries;
        provider.getSnapshot({isPreview, platform::WidgetFamily::systemSmall, {170, 170}},
                             [&](MonthEntry entry) { entries.push_back(entry); });
        return entries;
    }
    MonthEntry timeline() {
        std::vector<platform::Timeline<MonthEntry>> timelines;
        provider.getTimeline({false, platform::WidgetFamily::systemSmall, {170, 170}},
                             [&](auto timeline) { timelines.push_back(timeline); });
        EXPECT_EQ(timelines.size(), 1u);
        EXPECT_EQ(timelines.at(0).policy, platform::TimelineReloadPolicy::never());
        EXPECT_EQ(timelines.at(0).entries.size(), 1u);
        return timelines.at(0).entries.at(0);
    }
};

} // namespace

TEST_F(WidgetLayout, StepButtonsAre44PointsSquareAndLieOnTop) {
    const DisplayList list = picture(systemSmallSize);
    const auto steps = buttons(list);
    ASSERT_EQ(steps.size(), 2u);
    for (const HitRegion& step : steps)
        EXPECT_EQ(step.frame.size, (Size{44.0, 44.0}));
    // Named by the way they step; the chevron drawn inside is left to them.
    EXPECT_EQ(steps[0].accessibility.label, "Previous month");
    EXPECT_EQ(steps[1].accessibility.label, "Next month");
    for (const SymbolItem& symbol : itemsOf<SymbolItem>(list))
        EXPECT_TRUE(symbol.accessibility.hidden);
    // Painted and hit-tested after everything below the header: the last item.
    EXPECT_EQ(std::get<HitRegion>(list.items.back()), steps[1]);
}

TEST_F(WidgetLayout, LinksTileTheGridInSixRowsOfSevenEqualColumns) {
    for (const Size size : {systemSmallSize, systemMediumSize}) {
        const auto cells = links(picture(size));
        ASSERT_EQ(cells.size(), 42u);
        const Rect& first = cells[0].frame;
        for (std::size_t index = 0; index < cells.size(); ++index) {
            const Rect& frame = cells[index].frame;
            EXPECT_NEAR(frame.size.width, first.size.width, tolerance);
            EXPECT_NEAR(frame.size.height, first.size.height, tolerance);
            // Columns line up under the first row's; rows follow with no gap.
            EXPECT_NEAR(frame.minX(), cells[index % 7].frame.minX(), tolerance);
            const double row = static_cast<double>(index / 7);
            EXPECT_NEAR(frame.minY(), first.minY() + row * first.size.height, tolerance);
            if (index % 7 > 0) {
                EXPECT_GT(frame.minX(), cells[index - 1].frame.maxX());
            }
        }
        // The grid is centred across the widget.
        EXPECT_NEAR(first.minX(), size.width - cells.back().frame.maxX(), tolerance);
    }
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
        const auto title = std::find_if(texts.begin(), texts.end(), [](const TextRun& text) {
            return text.font.weight == FontWeight::semibold && text.text != TarveloWidgetView::footerLabel;
        });
        ASSERT_NE(title, texts.end());
        EXPECT_EQ(title->text, "December 2026");
        EXPECT_LE(title->font.size, previous + tolerance);
        EXPECT_GE(title->font.size, 13.0 * 0.8 - tolerance);
        EXPECT_LE(title->frame.size.width, available + tolerance) << title->text << " at " << widthPerPoint;
        EXPECT_TRUE(!title->truncated || std::abs(title->font.size - 10.4) < tolerance)
            << "truncated only at 0.8";
        sawShrunkWhole = sawShrunkWhole || (!title->truncated && title->font.size < 13.0);
        sawTruncated = sawTruncated || title->truncated;
        previous = title->font.size;
        for (const HitRegion& step : buttons(list))
            EXPECT_EQ(step.frame.size.width, 44.0)
                << "the step buttons keep their width whatever the title does";
    }
    EXPECT_TRUE(sawShrunkWhole);
    EXPECT_TRUE(sawTruncated);
}

TEST_F(WidgetLayout, OnlyTheVisibleMonthOfTheEntryMatters) {
    MonthEntry entry = entryShowing(now);
    std::tie(entry.date, entry.offset, entry.latency, entry.stepCount, entry.resetCount, entry.processAge) =
        std::tuple(now - 86400.0 * 40, 7, 3.5, 12, 2, 99.0);
    EXPECT_EQ(widgetPicture(entry, systemSmallSize, measurer, clock), picture(systemSmallSize));
}

TEST_F(WidgetLayout, OneDiscMarksTodayWhereverItIsInTheGridAndNeighbouringMonthsAreDimmed) {
    struct Case {
        const char* what;
        Instant shown;
        Instant drawnAt;
        int disc; // the cell with today's disc, -1 for none
        const char* number;
    } const cases[] = {
        // March 2025 starts on a Saturday: the grid runs from 23 February to 5 April.
        {"in the visible month", now, now, 5 + 12, "12"},
        {"among the leading days", now, berlinWinter2025(2, 24, 23), 1, "24"},
        // February 2025's grid runs from 26 January to 8 March.
        {"among the trailing days", berlinWinter2025(2, 10, 12), berlinWinter2025(3, 3, 9), 36, "3"},
        // The entry was made on the evening of the 11th, the view is built just after midnight.
        {"just after midnight", berlinWinter2025(3, 11, 22), berlinWinter2025(3, 12, 0) + 30.0, 5 + 12, "12"},
        {"not shown", berlinWinter2025(6, 10, 12), now, -1, ""},
    };
    for (const Case& example : cases) {
        SCOPED_TRACE(example.what);
        const auto looks = daysOf(example.shown, example.drawnAt);
        EXPECT_EQ(std::count_if(looks.begin(), looks.end(), [](const DayLook& look) { return look.disc; }),
                  example.disc >= 0 ? 1 : 0);
        if (example.disc >= 0) {
            const DayLook& today = looks.at(static_cast<std::size_t>(example.disc));
            EXPECT_TRUE(today.disc);
            EXPECT_EQ(today.number, example.number);
            EXPECT_EQ(today.style, (ShapeStyle{SemanticColor::white}));
        }
    }
    const auto march = daysOf(now, berlinWinter2025(6, 1, 12));
    EXPECT_EQ(march[5 + 12].label, "Wednesday, March 12, 2025");
    EXPECT_EQ(daysOf(now, now)[5 + 12].label, "Wednesday, March 12, 2025, today");
    // 23 February to 1 March: 6 leading days, then March's 31: primary; the rest dimmed.
    for (std::size_t index = 0; index < march.size(); ++index)
        EXPECT_EQ(march[index].style, index >= 6 && index < 6 + 31
                                          ? ShapeStyle{SemanticColor::primary}
                                          : ShapeStyle{SemanticColor::secondary}.withOpacity(0.4))
            << "cell " << index;
}

// Whole seconds from 1 January 2001 towards zero, saturated beyond 64 bits.
TEST(WidgetDateLink, CountsWholeSecondsFromTheReferenceDate) {
    constexpr double infinity = std::numeric_limits<double>::infinity();
    const std::pair<double, std::int64_t> cases[] = {{0.0, 0},
                                                     {0.9, 0},
                                                     {-1.0, -1},
                                                     {-0.5, 0},
                                                     {-1.5, -1},
                                                     {794012400.0, 794012400},
                                                     {infinity, INT64_MAX},
                                                     {1e30, INT64_MAX},
                                                     {-infinity, INT64_MIN},
                                                     {std::numeric_limits<double>::quiet_NaN(), 0}};
    for (const auto& [seconds, t] : cases)
        EXPECT_EQ(TarveloWidgetView::dateLink(Instant::sinceReferenceDate(seconds)).absoluteString(),
                  "tarvelo://date?t=" + std::to_string(t))
            << seconds;
}

// In Hebrew, Arabic and Persian the page reads right to left: the weekdays and
// weeks start at the right edge, the back button stands on the right, and the
// day numbers are in the locale's digits.
TEST(WidgetDirection, FollowsTheLocale) {
    struct Case {
        const char* locale;
        bool rightToLeft;
        const char* one; // the number 1 in the locale's digits
    };
    const Case cases[] = {{"en_US.UTF-8", false, "1"},
                          {"he_IL.UTF-8", true, "1"},
                          {"ar_SA.UTF-8", true, "\u0661"},
                          {"fa_IR.UTF-8", true, "\u06F1"}};
    const FakeTextMeasurer measurer;
    const Instant now = berlinWinter2025(3, 12, 10);
    for (const Case& example : cases) {
        SCOPED_TRACE(example.locale);
        const EnvironmentGuard environment = pinLocaleAndZone(example.locale, "Europe/Berlin");
        const DisplayList list =
            widgetPicture(entryShowing(now), systemMediumSize, measurer, [now] { return now; });
        // The weekdays head the columns, and are read out by their full names.
        const auto weekdays = textsOfSize(list, 9.0);
        const auto cells = links(list);
        ASSERT_EQ(weekdays.size(), 7u);
        ASSERT_EQ(cells.size(), 42u);
        for (std::size_t column = 0; column < 7; ++column) {
            EXPECT_EQ(weekdays[column].text, MonthGrid::weekdaySymbols()[column]);
            EXPECT_EQ(weekdays[column].accessibility.label, MonthGrid::weekdayNames()[column]);
            EXPECT_NEAR(weekdays[column].frame.midX(), cells[column].frame.midX(), tolerance);
        }
        // The first column at the leading edge; the back button after it, in reading order.
        EXPECT_NEAR(example.rightToLeft ? systemMediumSize.width - cells[0].frame.maxX()
                                        : cells[0].frame.minX(),
                    8.0, tolerance);
        EXPECT_EQ(example.rightToLeft, cells[1].frame.midX() < cells[0].frame.midX());

        const auto steps = buttons(list);
        ASSERT_EQ(steps.size(), 2u);
        EXPECT_EQ(std::get<IntentReference>(steps[0].action).parameters["delta"], -1);
        EXPECT_EQ(example.rightToLeft, steps[1].frame.midX() < steps[0].frame.midX());
        // (The chevrons, drawn pointing outwards, are in the right-to-left golden picture.)

        const auto days = textsOfSize(list, 10.0);
        EXPECT_TRUE(std::any_of(days.begin(), days.end(),
                                [&](const TextRun& day) { return day.text == example.one; }));
        const bool latinDigits = std::string_view(example.one) == "1";
        for (const TextRun& day : days)
            EXPECT_EQ(day.text.find_first_of("0123456789") != std::string::npos, latinDigits) << day.text;
        // Links keep their Latin digits: they are data for the host application.
        for (const HitRegion& cell : cells)
            EXPECT_TRUE(std::ranges::all_of(std::get<URL>(cell.action).absoluteString(),
                                            [](unsigned char c) { return c < 0x80; }));
    }
}

// Wednesday 12 March 2025, in each locale, drawn at twice the size.
TEST(WidgetPicture, MatchesItsGoldens) {
    struct Case {
        const char* golden;
        const char* locale;
        Size size;
        Appearance appearance;
    } const cases[] = {
        {"small-light@2x", "en_US.UTF-8", systemSmallSize, Appearance::light},
        {"medium-dark@2x", "en_US.UTF-8", systemMediumSize, Appearance::dark},
        // Arabic: mirrored, with Arabic-Indic digits, in the Islamic calendar.
        {"medium-light-rtl@2x", "ar_SA.UTF-8", systemMediumSize, Appearance::light},
    };
    const Instant now = berlinWinter2025(3, 12, 10);
    Painter painter;
    for (const Case& example : cases) {
        const EnvironmentGuard locale = pinLocaleAndZone(example.locale, "Europe/Berlin");
        const DisplayList list =
            widgetPicture(entryShowing(now), example.size, painter.measurer(), [now] { return now; });
        const auto image = painter.render(list, 2.0, example.appearance, 20.0);
        const std::string mismatch =
            compareWithGolden(image.get(), std::string("TarveloWidget/") + example.golden + ".png");
        EXPECT_TRUE(mismatch.empty()) << mismatch;
    }
}

TEST_F(Provider, PlaceholdersAndPreviewsShowTheCurrentMonthAndNeverTouchTheDefaults) {
    defaults.setInteger(3, MonthOffsetStore::offsetKey);
    const auto fileBefore = std::filesystem::last_write_time(defaults.path());
    ASSERT_EQ(snapshot(true).size(), 1u);
    for (const MonthEntry& entry : {provider.placeholder({}), snapshot(true)[0]}) {
        EXPECT_EQ(entry.visibleMonth, MonthGrid::month(0, now));
        EXPECT_EQ(std::tie(entry.offset, entry.stepCount, entry.resetCount), std::tuple(0, 0, 0));
        EXPECT_FALSE(entry.latency);
        EXPECT_EQ(entry.processAge, 0.0);
        EXPECT_EQ(entry.date, now);
    }
    EXPECT_EQ(sharedStoreUses, 0) << "the shared store is neither made nor read";
    EXPECT_EQ(std::filesystem::last_write_time(defaults.path()), fileBefore);
    // A placed widget's snapshot reads the persisted offset.
    ASSERT_EQ(snapshot(false).size(), 1u);
    EXPECT_EQ(snapshot(false)[0].visibleMonth, MonthGrid::month(3, now));
}

TEST_F(Provider, ATimelineIsOneEntryForNowThatIsNeverReloadedAndShowsTheSteppedMonth) {
    const auto first = timeline();
    EXPECT_EQ(first.date, now);
    EXPECT_EQ(first.visibleMonth, MonthGrid::month(0, now));
    EXPECT_FALSE(first.latency) << "no step recorded";
    now = now + 60;
    EXPECT_EQ(timeline().processAge - first.processAge, 60.0);

    store->step(1, now + 10);
    now = now + 12.5;
    const auto after = timeline();
    EXPECT_EQ(after.offset, 1);
    EXPECT_EQ(after.visibleMonth, MonthGrid::month(1, now));
    EXPECT_EQ(after.stepCount, 1);
    EXPECT_EQ(after.latency, 2.5);
}

// The buttons store their intent's type and parameters; stepping itself is
// tested through the real processes (WidgetEndToEndTests.cpp).
TEST(MonthStepIntent, IsRebuiltFromWhatItsButtonStores) {
    const auto reference = MonthStepIntent(-1).reference();
    EXPECT_EQ(reference.type, "MonthStepIntent");
    MonthStepIntent rebuilt;
    rebuilt.restoreParameters(reference.parameters);
    EXPECT_EQ(rebuilt.delta(), -1);
    EXPECT_EQ(MonthStepIntent().delta(), 0);
    for (const auto& garbage :
         {nlohmann::json(), nlohmann::json::array(), nlohmann::json{{"delta", "one"}},
          nlohmann::json{{"delta", 1.5}}, nlohmann::json{{"delta", 18446744073709551615ULL}}}) {
        MonthStepIntent intent(7);
        intent.restoreParameters(garbage);
        EXPECT_EQ(intent.delta(), 0) << garbage.dump();
    }
}
