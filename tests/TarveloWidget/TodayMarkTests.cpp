// Which cell carries the red disc, and how days of the neighbouring months look.

#include <gtest/gtest.h>

#include <algorithm>

#include "EnvironmentGuard.h"
#include "FakeTextMeasurer.h"
#include "WidgetRendering.h"
#include "WidgetTestHelpers.h"

using namespace platform;
using namespace tarvelo;
using namespace tarvelo::testsupport;

namespace {

struct DayLook {
    std::string number;
    ShapeStyle style;
    bool disc = false;
    Rect link;
    std::string label; // what a screen reader says for the day
};

// The 42 cells as drawn: each link region with the number and disc inside it.
std::vector<DayLook> days(const DisplayList& list) {
    std::vector<DayLook> result;
    for (const DisplayItem& item : list.items) {
        const auto* region = std::get_if<HitRegion>(&item);
        if (!region || !std::holds_alternative<URL>(region->action))
            continue;
        DayLook look;
        look.link = region->frame;
        look.label = region->accessibility.label;
        for (const DisplayItem& inside : list.items) {
            if (const auto* text = std::get_if<TextRun>(&inside); text && region->frame.contains({text->frame.midX(), text->frame.midY()})) {
                look.number = text->text;
                look.style = text->style;
            }
            if (const auto* shape = std::get_if<ShapeItem>(&inside);
                shape && shape->kind == ShapeKind::circle && region->frame.contains({shape->frame.midX(), shape->frame.midY()})) {
                look.disc = true;
                EXPECT_TRUE(shape->accessibility.hidden) << "the disc is decoration";
                EXPECT_EQ(shape->fill, (ShapeStyle{SemanticColor::red}));
                EXPECT_EQ(shape->frame.size, (Size{17.0, 17.0}));
                EXPECT_DOUBLE_EQ(shape->frame.midX(), region->frame.midX());
                EXPECT_DOUBLE_EQ(shape->frame.midY(), region->frame.midY());
            }
        }
        result.push_back(look);
    }
    return result;
}

class TodayMark : public ::testing::Test {
protected:
    EnvironmentGuard environment = pinLocaleAndZone("en_US.UTF-8", "Europe/Berlin");
    FakeTextMeasurer measurer;

    std::vector<DayLook> daysOf(Instant shown, Instant now) const {
        return days(widgetPicture(entryShowing(shown), systemSmallSize, measurer, [now] { return now; }));
    }
};

std::size_t discCount(const std::vector<DayLook>& looks) {
    return static_cast<std::size_t>(std::count_if(looks.begin(), looks.end(), [](const DayLook& look) { return look.disc; }));
}

} // namespace

TEST_F(TodayMark, ExactlyOneDiscInTheCurrentMonth) {
    // March 2025 starts on a Saturday: the grid begins on Sunday 23 February.
    const auto looks = daysOf(berlinWinter2025(3, 12, 10), berlinWinter2025(3, 12, 10));
    ASSERT_EQ(looks.size(), 42u);
    ASSERT_EQ(discCount(looks), 1u);
    const DayLook& today = looks[5 + 12];
    EXPECT_TRUE(today.disc);
    EXPECT_EQ(today.number, "12");
    EXPECT_EQ(today.style, (ShapeStyle{SemanticColor::white}));
    EXPECT_EQ(today.label, "Wednesday, March 12, 2025, today");
    EXPECT_EQ(looks[0].label, "Sunday, February 23, 2025");
}

TEST_F(TodayMark, TodayAmongTheTrailingDaysStillGetsTheDisc) {
    // February 2025's grid runs from 26 January to 8 March.
    const auto looks = daysOf(berlinWinter2025(2, 10, 12), berlinWinter2025(3, 3, 9));
    ASSERT_EQ(discCount(looks), 1u);
    EXPECT_TRUE(looks[36].disc);
    EXPECT_EQ(looks[36].number, "3");
    EXPECT_EQ(looks[36].style, (ShapeStyle{SemanticColor::white}));
}

TEST_F(TodayMark, TodayAmongTheLeadingDaysStillGetsTheDisc) {
    // March 2025's grid starts on 23 February.
    const auto looks = daysOf(berlinWinter2025(3, 12, 10), berlinWinter2025(2, 24, 23));
    ASSERT_EQ(discCount(looks), 1u);
    EXPECT_TRUE(looks[1].disc);
    EXPECT_EQ(looks[1].number, "24");
}

TEST_F(TodayMark, NoDiscWhenTodayIsNotShown) {
    const auto looks = daysOf(berlinWinter2025(6, 10, 12), berlinWinter2025(3, 12, 10));
    EXPECT_EQ(discCount(looks), 0u);
}

TEST_F(TodayMark, JustAfterMidnightTheNewDayIsToday) {
    // The entry was made on the evening of the 11th; the view is built at 00:00:30 on the 12th.
    const Instant evening = berlinWinter2025(3, 11, 22);
    const Instant afterMidnight = berlinWinter2025(3, 12, 0) + 30.0;
    const auto looks = days(widgetPicture(entryShowing(evening), systemSmallSize, measurer, [=] { return afterMidnight; }));
    EXPECT_EQ(discCount(looks), 1u);
    EXPECT_TRUE(looks[5 + 12].disc);
}

TEST_F(TodayMark, NeighbouringMonthsAreDimmedAndTheVisibleMonthIsPrimary) {
    const auto looks = daysOf(berlinWinter2025(3, 12, 10), berlinWinter2025(6, 1, 12));
    for (std::size_t index = 0; index < looks.size(); ++index) {
        // 23 February to 1 March: 6 leading days; March has 31 days.
        const bool inMarch = index >= 6 && index < 6 + 31;
        const ShapeStyle expected =
            inMarch ? ShapeStyle{SemanticColor::primary} : ShapeStyle{SemanticColor::secondary}.withOpacity(0.4);
        EXPECT_EQ(looks[index].style, expected) << "cell " << index;
    }
}
