// How stacks share their space: rigid children first, flexible ones take
// the rest, layout priority before flexibility, spacing and alignment.

#include "Platform/View/Layout.h"
#include "Platform/View/View.h"
#include "tests/Support/FakeTextMeasurer.h"
#include "tests/Support/LayoutTestHelpers.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using namespace platform;
using tarvelo::testsupport::FakeTextMeasurer;
using tarvelo::testsupport::itemsOf;

namespace {

const FakeTextMeasurer measurer;

// A text at 10 points: 5 points per character, 12 tall.
View label(const std::string& text) {
    return Text(text).font(Font::system(10.0));
}

} // namespace

TEST(StackLayout, FlexibleChildrenShareWhatTheRigidOnesLeaveAndIdealSizesAdd) {
    const View stack = HStack(
        VerticalAlignment::center, 0.0,
        {Rectangle().fill({SemanticColor::red}), label("abcd"), Rectangle().fill({SemanticColor::orange})});
    const auto list = layout(stack.frame(100.0, 20.0), {100.0, 20.0}, measurer);
    const auto shapes = itemsOf<ShapeItem>(list);
    const auto texts = itemsOf<TextRun>(list);
    ASSERT_EQ(shapes.size(), 2u);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_DOUBLE_EQ(texts[0].frame.size.width, 20.0);
    EXPECT_DOUBLE_EQ(shapes[0].frame.size.width, 40.0);
    EXPECT_DOUBLE_EQ(shapes[1].frame.size.width, 40.0);
    EXPECT_DOUBLE_EQ(texts[0].frame.origin.x, 40.0);
    EXPECT_DOUBLE_EQ(shapes[1].frame.origin.x, 60.0);
    // Unconstrained, a stack is as wide as its children and spacing.
    const View row = HStack(VerticalAlignment::center, 3.0, {label("ab"), label("abc")});
    EXPECT_EQ(sizeThatFits(row, ProposedSize::unspecified(), measurer), (Size{28.0, 12.0}));
}

TEST(StackLayout, HigherLayoutPriorityIsServedFirstThroughFramesAndPadding) {
    // 60 points for two texts of 50: the one with priority stays whole.
    const View stack =
        HStack(VerticalAlignment::center, 0.0,
               {label("aaaaaaaaaa").lineLimit(1), label("bbbbbbbbbb").lineLimit(1).layoutPriority(1)});
    const auto texts = itemsOf<TextRun>(layout(stack, {60.0, 20.0}, measurer));
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_DOUBLE_EQ(texts[1].frame.size.width, 50.0);
    EXPECT_FALSE(texts[1].truncated);
    EXPECT_DOUBLE_EQ(texts[0].frame.size.width, 10.0);
    EXPECT_TRUE(texts[0].truncated);
    // The priority carries through frames and padding.
    const View wrapped = label("bbbbbbbbbb").layoutPriority(1).padding(Edges::horizontal, 1.0);
    EXPECT_DOUBLE_EQ(wrapped.layoutPriorityValue(), 1.0);
    EXPECT_DOUBLE_EQ(wrapped.frame(std::nullopt, 5.0).layoutPriorityValue(), 1.0);
}

TEST(StackLayout, SpacingSitsBetweenChildrenOnlyAndAlignmentPlacesTheCrossAxis) {
    const View stack = VStack(HorizontalAlignment::leading, 5.0, {label("ab"), View(), label("abcd")});
    const auto list = layout(stack, {100.0, 100.0}, measurer);
    const auto texts = itemsOf<TextRun>(list);
    ASSERT_EQ(texts.size(), 2u);
    // 12 + 5 + 12 tall, centred in 100; the empty view takes no spacing.
    EXPECT_DOUBLE_EQ(texts[0].frame.origin.y, (100.0 - 29.0) / 2);
    EXPECT_DOUBLE_EQ(texts[1].frame.origin.y - texts[0].frame.maxY(), 5.0);
    EXPECT_DOUBLE_EQ(texts[0].frame.origin.x, texts[1].frame.origin.x);

    const auto trailing = itemsOf<TextRun>(layout(
        VStack(HorizontalAlignment::trailing, 0.0, {label("ab"), label("abcd")}), {100.0, 100.0}, measurer));
    EXPECT_DOUBLE_EQ(trailing[0].frame.maxX(), trailing[1].frame.maxX());
}

TEST(StackLayout, ForEachElementsTakePartOneByOne) {
    std::vector<std::int64_t> numbers{1, 2, 3};
    const View row = HStack(VerticalAlignment::center, 2.0,
                            {ForEach(
                                numbers, [](std::int64_t number) { return number; },
                                [](std::int64_t) { return Rectangle().frame(FlexibleFrame{}); })});
    const auto shapes = itemsOf<ShapeItem>(layout(row.frame(34.0, 10.0), {34.0, 10.0}, measurer));
    ASSERT_EQ(shapes.size(), 3u);
    for (const auto& shape : shapes)
        EXPECT_DOUBLE_EQ(shape.frame.size.width, 10.0);
    EXPECT_DOUBLE_EQ(shapes[2].frame.origin.x, 24.0);
}

TEST(StackLayout, ZIndexChangesThePaintingOrderNotThePositions) {
    const View stack = VStack(HorizontalAlignment::center, 0.0,
                              {Rectangle().fill({SemanticColor::red}).frame(10.0, 10.0).zIndex(1),
                               Rectangle().fill({SemanticColor::orange}).frame(10.0, 10.0)});
    const auto shapes = itemsOf<ShapeItem>(layout(stack, {10.0, 20.0}, measurer));
    ASSERT_EQ(shapes.size(), 2u);
    EXPECT_EQ(shapes[0].fill.color, SemanticColor::orange);
    EXPECT_EQ(shapes[1].fill.color, SemanticColor::red);
    EXPECT_DOUBLE_EQ(shapes[1].frame.origin.y, 0.0);
    EXPECT_DOUBLE_EQ(shapes[0].frame.origin.y, 10.0);
}

TEST(StackLayout, ZStackIsAsLargeAsItsLargestChildAndAlignsTheRest) {
    const View stack =
        ZStack(Alignment::topLeading(), {Rectangle().frame(30.0, 10.0), Circle().frame(8.0, 20.0)});
    const auto shapes = itemsOf<ShapeItem>(layout(stack, {100.0, 100.0}, measurer));
    ASSERT_EQ(shapes.size(), 2u);
    EXPECT_EQ(sizeThatFits(stack, ProposedSize::of({100.0, 100.0}), measurer), (Size{30.0, 20.0}));
    EXPECT_DOUBLE_EQ(shapes[0].frame.origin.x, shapes[1].frame.origin.x);
    // The circle is the largest circle in its 8 × 20 frame, centred there.
    EXPECT_DOUBLE_EQ(shapes[1].frame.size.width, 8.0);
    EXPECT_DOUBLE_EQ(shapes[1].frame.origin.y - shapes[0].frame.origin.y, 6.0);
}

TEST(StackLayout, RightToLeftIsTheMirrorImageOfLeftToRight) {
    // Stacks, leading and trailing alignments, one-sided padding, a pointing symbol.
    const View page =
        VStack(HorizontalAlignment::leading, 4.0,
               {HStack(VerticalAlignment::top, 3.0,
                       {label("a"), Image("chevron.left").font(Font::system(10.0)), label("bcd")}),
                label("ef").padding(Edges::leading, 10.0),
                label("g").frame(50.0, 20.0, Alignment::trailing()),
                ZStack(Alignment::topLeading(), {Rectangle().frame(30.0, 10.0), label("h")})})
            .padding(Edges::trailing, 7.0);
    const Size size{100.0, 90.0};
    LayoutEnvironment rightToLeft;
    rightToLeft.layoutDirection = LayoutDirection::rightToLeft;
    const DisplayList ltr = layout(page, size, measurer);
    const DisplayList rtl = layout(page, size, measurer, rightToLeft);
    ASSERT_EQ(rtl.items.size(), ltr.items.size());
    const auto mirrored = [&](Rect frame) {
        frame.origin.x = size.width - frame.maxX();
        return frame;
    };
    const auto near = [](const Rect& one, const Rect& other) {
        return std::abs(one.minX() - other.minX()) < 1e-9 && one.origin.y == other.origin.y &&
               one.size == other.size;
    };
    for (std::size_t index = 0; index < ltr.items.size(); ++index) {
        if (const auto* text = std::get_if<TextRun>(&ltr.items[index])) {
            const auto& other = std::get<TextRun>(rtl.items[index]);
            EXPECT_TRUE(near(mirrored(text->frame), other.frame)) << text->text;
            EXPECT_EQ(text->direction, LayoutDirection::leftToRight);
            EXPECT_EQ(other.direction, LayoutDirection::rightToLeft);
        } else if (const auto* symbol = std::get_if<SymbolItem>(&ltr.items[index])) {
            const auto& other = std::get<SymbolItem>(rtl.items[index]);
            EXPECT_TRUE(near(mirrored(symbol->frame), other.frame));
            EXPECT_EQ(symbol->name, "chevron.left");
            EXPECT_EQ(other.name, "chevron.right");
        } else {
            EXPECT_TRUE(near(mirrored(std::get<ShapeItem>(ltr.items[index]).frame),
                             std::get<ShapeItem>(rtl.items[index]).frame));
        }
    }
}
