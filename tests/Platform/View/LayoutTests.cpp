// Layout: how stacks share their space, what frames, padding and geometry
// readers propose and take, how one line of text gives way, and which
// regions are clickable.

#include "Platform/View/Layout.h"
#include "Platform/View/TextFitting.h"
#include "Platform/View/View.h"
#include "tests/Support/FakeTextMeasurer.h"
#include "tests/Support/LayoutTestHelpers.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using namespace platform;
using tarvelo::testsupport::itemsOf;

namespace {

const tarvelo::testsupport::FakeTextMeasurer measurer;
constexpr double infinity = std::numeric_limits<double>::infinity();

// A text at 10 points: 5 points per character, 12 tall.
View label(const std::string& text) {
    return Text(text).font(Font::system(10.0));
}

DisplayList laidOut(const View& view, Size size) {
    return layout(view, size, measurer);
}

FlexibleFrame bounds(std::optional<double> minWidth, std::optional<double> idealWidth,
                     std::optional<double> maxWidth, std::optional<double> idealHeight = std::nullopt) {
    FlexibleFrame frame;
    frame.minWidth = minWidth;
    frame.idealWidth = idealWidth;
    frame.maxWidth = maxWidth;
    frame.idealHeight = idealHeight;
    return frame;
}

class ProbeIntent final : public AppIntent {
public:
    explicit ProbeIntent(int step)
        : step_(step) {}
    IntentResult perform() override { return IntentResult::result(); }
    IntentReference reference() const override { return {"ProbeIntent", {{"step", step_}}}; }

private:
    int step_;
};

} // namespace

TEST(StackLayout, FlexibleChildrenShareWhatTheRigidOnesLeaveAndIdealSizesAdd) {
    const View stack = HStack(
        VerticalAlignment::center, 0.0,
        {Rectangle().fill({SemanticColor::red}), label("abcd"), Rectangle().fill({SemanticColor::orange})});
    const auto list = laidOut(stack.frame(100.0, 20.0), {100.0, 20.0});
    const auto shapes = itemsOf<ShapeItem>(list);
    ASSERT_EQ(shapes.size(), 2u);
    EXPECT_EQ(itemsOf<TextRun>(list).at(0).frame, (Rect{{40.0, 4.0}, {20.0, 12.0}}));
    EXPECT_EQ(shapes[0].frame, (Rect{{0.0, 0.0}, {40.0, 20.0}}));
    EXPECT_EQ(shapes[1].frame, (Rect{{60.0, 0.0}, {40.0, 20.0}}));
    // Unconstrained, a stack is as wide as its children and spacing.
    const View row = HStack(VerticalAlignment::center, 3.0, {label("ab"), label("abc")});
    EXPECT_EQ(sizeThatFits(row, ProposedSize::unspecified(), measurer), (Size{28.0, 12.0}));
}

TEST(StackLayout, HigherLayoutPriorityIsServedFirstThroughFramesAndPadding) {
    // 60 points for two texts of 50: the one with priority stays whole.
    const View stack =
        HStack(VerticalAlignment::center, 0.0,
               {label("aaaaaaaaaa").lineLimit(1), label("bbbbbbbbbb").lineLimit(1).layoutPriority(1)});
    const auto texts = itemsOf<TextRun>(laidOut(stack, {60.0, 20.0}));
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(std::pair(texts[1].frame.size.width, texts[1].truncated), std::pair(50.0, false));
    EXPECT_EQ(std::pair(texts[0].frame.size.width, texts[0].truncated), std::pair(10.0, true));
    // The priority carries through frames and padding.
    const View wrapped = label("bbbbbbbbbb").layoutPriority(1).padding(Edges::horizontal, 1.0);
    EXPECT_DOUBLE_EQ(wrapped.frame(std::nullopt, 5.0).layoutPriorityValue(), 1.0);
}

TEST(StackLayout, SpacingSitsBetweenChildrenOnlyAndAlignmentPlacesTheCrossAxis) {
    const View stack = VStack(HorizontalAlignment::leading, 5.0, {label("ab"), View(), label("abcd")});
    const auto texts = itemsOf<TextRun>(laidOut(stack, {100.0, 100.0}));
    ASSERT_EQ(texts.size(), 2u);
    // 12 + 5 + 12 tall, centred in 100; the empty view takes no spacing.
    EXPECT_DOUBLE_EQ(texts[0].frame.origin.y, (100.0 - 29.0) / 2);
    EXPECT_DOUBLE_EQ(texts[1].frame.origin.y - texts[0].frame.maxY(), 5.0);
    EXPECT_DOUBLE_EQ(texts[0].frame.origin.x, texts[1].frame.origin.x);
    const auto trailing = itemsOf<TextRun>(
        laidOut(VStack(HorizontalAlignment::trailing, 0.0, {label("ab"), label("abcd")}), {100.0, 100.0}));
    EXPECT_DOUBLE_EQ(trailing[0].frame.maxX(), trailing[1].frame.maxX());
}

TEST(StackLayout, ZStackIsAsLargeAsItsLargestChildAndAlignsTheRest) {
    const View stack =
        ZStack(Alignment::topLeading(), {Rectangle().frame(30.0, 10.0), Circle().frame(8.0, 20.0)});
    const auto shapes = itemsOf<ShapeItem>(laidOut(stack, {100.0, 100.0}));
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
    const DisplayList ltr = laidOut(page, size);
    const DisplayList rtl = layout(page, size, measurer, rightToLeft);
    ASSERT_EQ(rtl.items.size(), ltr.items.size());
    for (std::size_t index = 0; index < ltr.items.size(); ++index) {
        std::visit(
            [&](const auto& item) {
                const auto& other = std::get<std::decay_t<decltype(item)>>(rtl.items[index]);
                EXPECT_NEAR(item.frame.minX(), size.width - other.frame.maxX(), 1e-9);
                EXPECT_EQ(item.frame.origin.y, other.frame.origin.y);
                EXPECT_EQ(item.frame.size, other.frame.size);
            },
            ltr.items[index]);
        const auto* text = std::get_if<TextRun>(&ltr.items[index]);
        EXPECT_TRUE(!text || (text->direction == LayoutDirection::leftToRight &&
                              std::get<TextRun>(rtl.items[index]).direction == LayoutDirection::rightToLeft));
    }
    EXPECT_EQ(itemsOf<SymbolItem>(ltr).at(0).name + " " + itemsOf<SymbolItem>(rtl).at(0).name,
              "chevron.left chevron.right");
}

TEST(FrameLayout, FramesTakeTheSizeTheirLengthsAndBoundsGive) {
    const auto none = std::nullopt;
    const auto offer = [](double width, double height) { return ProposedSize::of({width, height}); };
    const ProposedSize unspecified = ProposedSize::unspecified();
    const FlexibleFrame unbounded = bounds(none, none, infinity), between30And50 = bounds(30.0, none, 50.0);
    struct Case {
        const char* what;
        View view;
        ProposedSize proposal;
        Size expected;
    } cases[] = {
        {"fixed frame", label("ab").frame(40.0, 30.0), offer(5, 5), {40, 30}},
        {"one length keeps the other", label("abc").frame(none, 50.0), ProposedSize::infinity(), {15, 50}},
        {"infinite maximum fills the offer", label("abc").frame(unbounded), offer(80, 40), {80, 12}},
        {"but not the ideal", label("abc").frame(unbounded), unspecified, {15, 12}},
        {"minimum", label("a").frame(between30And50), offer(10, 10), {30, 12}},
        {"grows to the offer within bounds", label("a").frame(between30And50), offer(40, 10), {40, 12}},
        {"maximum", Rectangle().frame(between30And50), offer(90, 10), {50, 10}},
        {"ideal when unspecified", Rectangle().frame(bounds(none, 33.0, none, 22.0)), unspecified, {33, 22}},
        {"contradictory bounds", Rectangle().frame(bounds(50.0, none, 10.0)), offer(5, 5), {50, 5}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(sizeThatFits(c.view, c.proposal, measurer), c.expected) << c.what;
    // A fixed frame aligns its child.
    const auto texts =
        itemsOf<TextRun>(laidOut(label("ab").frame(40.0, 30.0, Alignment::topLeading()), {40.0, 30.0}));
    EXPECT_EQ(texts.at(0).frame, (Rect{{0.0, 0.0}, {10.0, 12.0}}));
}

TEST(FrameLayout, PaddingOnChosenEdgesOnlyAndNeverNegative) {
    const View padded = Rectangle().padding(Edges::leading | Edges::top, 4.0);
    EXPECT_EQ(itemsOf<ShapeItem>(laidOut(padded, {20.0, 20.0})).at(0).frame,
              (Rect{{4.0, 4.0}, {16.0, 16.0}}));
    // Padding larger than the offer leaves nothing negative.
    const auto shape = itemsOf<ShapeItem>(laidOut(Rectangle().padding(Edges::all, 30.0), {20.0, 20.0})).at(0);
    EXPECT_GE(std::min(shape.frame.size.width, shape.frame.size.height), 0.0);
}

TEST(FrameLayout, FixedSizeKeepsTheNaturalWidthCentredWhenOfferedLess) {
    const View text = label("abcdefghij").lineLimit(1).fixedSize(true, false);
    const auto run = itemsOf<TextRun>(laidOut(text.frame(20.0, 20.0), {20.0, 20.0})).at(0);
    EXPECT_EQ(run.frame, (Rect{{-15.0, 4.0}, {50.0, 12.0}}));
    EXPECT_FALSE(run.truncated);
}

TEST(FrameLayout, GeometryReaderGetsTheOfferedSizeAndPlacesAtTopLeading) {
    Size seen;
    const View reader = GeometryReader([&seen](Size size) {
        seen = size;
        return Rectangle().frame(size.width / 2, size.height / 4);
    });
    const auto shapes = itemsOf<ShapeItem>(laidOut(reader.padding(Edges::horizontal, 8.0), {100.0, 60.0}));
    EXPECT_EQ(seen, (Size{84.0, 60.0}));
    EXPECT_EQ(shapes.at(0).frame, (Rect{{8.0, 0.0}, {42.0, 15.0}}));
}

TEST(FrameLayout, ContainerBackgroundCoversTheWholeContainerBehindAndOpacityMultiplies) {
    const View content =
        label("a").padding(Edges::all, 10.0).containerBackground({SemanticColor::tertiaryFill});
    const auto background = std::get<ShapeItem>(laidOut(content, {64.0, 48.0}).items.at(0));
    EXPECT_EQ(background.frame, (Rect{{0.0, 0.0}, {64.0, 48.0}}));
    EXPECT_EQ(background.fill.color, SemanticColor::tertiaryFill);

    const View faded =
        VStack(HorizontalAlignment::center, 0.0,
               {label("a").foregroundStyle(ShapeStyle{SemanticColor::secondary}.withOpacity(0.5)),
                Circle().frame(4.0, 4.0)})
            .opacity(0.5);
    const auto list = laidOut(faded, {20.0, 20.0});
    EXPECT_DOUBLE_EQ(itemsOf<TextRun>(list).at(0).style.opacity, 0.25);
    EXPECT_DOUBLE_EQ(itemsOf<ShapeItem>(list).at(0).fill.opacity, 0.5);
}

// "ten chars!" at 10 points: 50 wide, 10 graphemes, 9 gaps.
TEST(TextFitting, TightensThenShrinksThenTruncates) {
    const TextMetrics tenCharacters{50.0, 12.0, 10.0, 10};
    struct Case {
        const char* what;
        std::optional<double> width;
        TextFitting fitting;
        FittedText expected; // size, scale, tracking, truncated
    } cases[] = {
        {"room enough", 60.0, {0.5, true}, {{50.0, 12.0}, 1.0, 0.0, false}},
        {"no proposal", std::nullopt, {}, {{50.0, 12.0}, 1.0, 0.0, false}},
        // Tightening may save 0.4 points per gap: 3.6 in all.
        {"tightened before shrunk", 48.2, {0.5, true}, {{48.2, 12.0}, 1.0, -0.2, false}},
        {"shrunk just enough", 40.0, {0.5, false}, {{40.0, 12.0 * 0.8}, 0.8, 0.0, false}},
        {"truncated at the minimum scale", 30.0, {0.8, false}, {{30.0, 12.0 * 0.8}, 0.8, 0.0, true}},
        {"truncated at full size without permission", 49.0, {}, {{49.0, 12.0}, 1.0, 0.0, true}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const FittedText fitted = fitText(tenCharacters, 10.0, c.width, c.fitting);
        EXPECT_DOUBLE_EQ(fitted.size.width, c.expected.size.width);
        EXPECT_DOUBLE_EQ(fitted.size.height, c.expected.size.height);
        EXPECT_DOUBLE_EQ(fitted.scale, c.expected.scale);
        EXPECT_NEAR(fitted.tracking, c.expected.tracking, 1e-12);
        EXPECT_EQ(fitted.truncated, c.expected.truncated);
    }
}

TEST(ClickRegions, PlainButtonIsClickableWhereItsLabelDrawsAndNothingElseIs) {
    const View button = Button(ProbeIntent(3), Text("ab").font(Font::system(10.0)).frame(40.0, 40.0))
                            .buttonStyle(ButtonStyle::plain);
    const auto list = laidOut(button, {40.0, 40.0});
    const auto regions = itemsOf<HitRegion>(list);
    ASSERT_EQ(regions.size(), 1u);
    EXPECT_EQ(regions[0].frame, itemsOf<TextRun>(list).at(0).frame);
    EXPECT_EQ(std::get<IntentReference>(regions[0].action), (IntentReference{"ProbeIntent", {{"step", 3}}}));
    // Plain style keeps the label's own colour.
    EXPECT_EQ(itemsOf<TextRun>(list).at(0).style.color, SemanticColor::primary);
    // Nothing outside buttons and links is clickable, content shape or not.
    const View view = Text("plain").contentShape(ShapeKind::rectangle).padding(Edges::all, 5.0);
    EXPECT_TRUE(itemsOf<HitRegion>(laidOut(view, {80.0, 40.0})).empty());
}

TEST(ClickRegions, ContentShapeMakesTheWholeFrameClickableAndLinksTakeTheAccent) {
    const View link =
        Link(*URL::string("tarvelo://date?t=0"),
             Text("1").font(Font::system(10.0)).frame(44.0, 44.0).contentShape(ShapeKind::rectangle))
            .buttonStyle(ButtonStyle::plain);
    const auto regions = itemsOf<HitRegion>(laidOut(link.frame(100.0, 20.0), {100.0, 20.0}));
    ASSERT_EQ(regions.size(), 1u);
    EXPECT_EQ(regions[0].frame.size, (Size{44.0, 44.0}));
    EXPECT_EQ(std::get<URL>(regions[0].action).absoluteString(), "tarvelo://date?t=0");
    // The automatic style tints links with the accent colour.
    const auto texts =
        itemsOf<TextRun>(laidOut(Link(*URL::string("https://example.org"), Text("more")), {80.0, 20.0}));
    EXPECT_EQ(texts.at(0).style.color, SemanticColor::accent);
}
