// Frames, padding, fixed size and geometry readers: what they propose and
// what size they take.

#include "Platform/View/Layout.h"
#include "Platform/View/View.h"
#include "tests/Support/FakeTextMeasurer.h"
#include "tests/Support/LayoutTestHelpers.h"

#include <gtest/gtest.h>
#include <limits>

using namespace platform;
using tarvelo::testsupport::FakeTextMeasurer;
using tarvelo::testsupport::itemsOf;

namespace {

const FakeTextMeasurer measurer;
constexpr double infinity = std::numeric_limits<double>::infinity();

View label(const std::string& text) {
    return Text(text).font(Font::system(10.0));
}

} // namespace

FlexibleFrame bounds(std::optional<double> minWidth, std::optional<double> idealWidth,
                     std::optional<double> maxWidth, std::optional<double> idealHeight = std::nullopt) {
    FlexibleFrame frame;
    frame.minWidth = minWidth;
    frame.idealWidth = idealWidth;
    frame.maxWidth = maxWidth;
    frame.idealHeight = idealHeight;
    return frame;
}

TEST(FrameLayout, FramesTakeTheSizeTheirLengthsAndBoundsGive) {
    const auto none = std::nullopt;
    struct Case {
        const char* what;
        View view;
        ProposedSize proposal;
        Size expected;
    } cases[] = {
        {"fixed frame", label("ab").frame(40.0, 30.0), ProposedSize::of({5.0, 5.0}), {40.0, 30.0}},
        {"one length keeps the child's other",
         label("abc").frame(std::nullopt, 50.0),
         ProposedSize::infinity(),
         {15.0, 50.0}},
        {"infinite maximum fills the offer",
         label("abc").frame(bounds(none, none, infinity)),
         ProposedSize::of({80.0, 40.0}),
         {80.0, 12.0}},
        {"but not the ideal",
         label("abc").frame(bounds(none, none, infinity)),
         ProposedSize::unspecified(),
         {15.0, 12.0}},
        {"minimum", label("a").frame(bounds(30.0, none, 50.0)), ProposedSize::of({10.0, 10.0}), {30.0, 12.0}},
        {"grows to the offer within bounds",
         label("a").frame(bounds(30.0, none, 50.0)),
         ProposedSize::of({40.0, 10.0}),
         {40.0, 12.0}},
        {"maximum",
         Rectangle().frame(bounds(30.0, none, 50.0)),
         ProposedSize::of({90.0, 10.0}),
         {50.0, 10.0}},
        {"ideal answers an unspecified proposal",
         Rectangle().frame(bounds(none, 33.0, none, 22.0)),
         ProposedSize::unspecified(),
         {33.0, 22.0}},
        {"contradictory bounds made consistent",
         Rectangle().frame(bounds(50.0, none, 10.0)),
         ProposedSize::of({5.0, 5.0}),
         {50.0, 5.0}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(sizeThatFits(c.view, c.proposal, measurer), c.expected) << c.what;
    // A fixed frame aligns its child.
    const auto texts = itemsOf<TextRun>(
        layout(label("ab").frame(40.0, 30.0, Alignment::topLeading()), {40.0, 30.0}, measurer));
    EXPECT_EQ(texts.at(0).frame, (Rect{{0.0, 0.0}, {10.0, 12.0}}));
}

TEST(FrameLayout, PaddingOnChosenEdgesOnlyAndNeverNegative) {
    const View padded = Rectangle().padding(Edges::leading | Edges::top, 4.0);
    EXPECT_EQ(itemsOf<ShapeItem>(layout(padded, {20.0, 20.0}, measurer)).at(0).frame,
              (Rect{{4.0, 4.0}, {16.0, 16.0}}));
    // Padding larger than the offer leaves nothing negative.
    const auto shapes =
        itemsOf<ShapeItem>(layout(Rectangle().padding(Edges::all, 30.0), {20.0, 20.0}, measurer));
    ASSERT_EQ(shapes.size(), 1u);
    EXPECT_GE(shapes[0].frame.size.width, 0.0);
    EXPECT_GE(shapes[0].frame.size.height, 0.0);
}

TEST(FrameLayout, FixedSizeKeepsTheNaturalWidthWhenOfferedLess) {
    const View text = label("abcdefghij").lineLimit(1).fixedSize(true, false);
    const auto texts = itemsOf<TextRun>(layout(text.frame(20.0, 20.0), {20.0, 20.0}, measurer));
    EXPECT_DOUBLE_EQ(texts.at(0).frame.size.width, 50.0);
    EXPECT_FALSE(texts[0].truncated);
    // Centred on the space it overflows.
    EXPECT_DOUBLE_EQ(texts[0].frame.midX(), 10.0);
}

TEST(FrameLayout, GeometryReaderGetsTheOfferedSizeAndPlacesAtTopLeading) {
    Size seen;
    const View reader = GeometryReader([&seen](Size size) {
        seen = size;
        return Rectangle().frame(size.width / 2, size.height / 4);
    });
    const auto shapes =
        itemsOf<ShapeItem>(layout(reader.padding(Edges::horizontal, 8.0), {100.0, 60.0}, measurer));
    EXPECT_EQ(seen, (Size{84.0, 60.0}));
    EXPECT_EQ(shapes.at(0).frame, (Rect{{8.0, 0.0}, {42.0, 15.0}}));
}

TEST(FrameLayout, ContainerBackgroundCoversTheWholeContainerBehindEverything) {
    const View content =
        label("a").padding(Edges::all, 10.0).containerBackground({SemanticColor::tertiaryFill});
    const auto list = layout(content, {64.0, 48.0}, measurer);
    const auto* background = std::get_if<ShapeItem>(&list.items.at(0));
    ASSERT_NE(background, nullptr);
    EXPECT_EQ(background->frame, (Rect{{0.0, 0.0}, {64.0, 48.0}}));
    EXPECT_EQ(background->fill.color, SemanticColor::tertiaryFill);
}

TEST(FrameLayout, OpacityMultipliesIntoEveryItem) {
    const View faded =
        VStack(HorizontalAlignment::center, 0.0,
               {label("a").foregroundStyle(ShapeStyle{SemanticColor::secondary}.withOpacity(0.5)),
                Circle().frame(4.0, 4.0)})
            .opacity(0.5);
    const auto list = layout(faded, {20.0, 20.0}, measurer);
    EXPECT_DOUBLE_EQ(itemsOf<TextRun>(list).at(0).style.opacity, 0.25);
    EXPECT_DOUBLE_EQ(itemsOf<ShapeItem>(list).at(0).fill.opacity, 0.5);
}
