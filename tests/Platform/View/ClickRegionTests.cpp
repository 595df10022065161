// Buttons and links: what is clickable, what it carries, and which region
// wins where they overlap.

#include "Platform/View/Layout.h"
#include "Platform/View/View.h"
#include "tests/Support/FakeTextMeasurer.h"
#include "tests/Support/LayoutTestHelpers.h"

#include <gtest/gtest.h>

using namespace platform;
using tarvelo::testsupport::FakeTextMeasurer;
using tarvelo::testsupport::itemsOf;

namespace {

const FakeTextMeasurer measurer;

class ProbeIntent final : public AppIntent {
public:
    explicit ProbeIntent(int step)
        : step_(step) {}
    IntentResult perform() override { return IntentResult::result(); }
    IntentReference reference() const override { return {"ProbeIntent", {{"step", step_}}}; }

private:
    int step_;
};

URL url(const char* text) {
    return *URL::string(text);
}

} // namespace

TEST(ClickRegions, PlainButtonIsClickableWhereItsLabelDrawsAndNothingElseIs) {
    const View button = Button(ProbeIntent(3), Text("ab").font(Font::system(10.0)).frame(40.0, 40.0))
                            .buttonStyle(ButtonStyle::plain);
    const auto list = layout(button, {40.0, 40.0}, measurer);
    const auto regions = itemsOf<HitRegion>(list);
    ASSERT_EQ(regions.size(), 1u);
    EXPECT_EQ(regions[0].frame, itemsOf<TextRun>(list).at(0).frame);
    EXPECT_EQ(std::get<IntentReference>(regions[0].action), (IntentReference{"ProbeIntent", {{"step", 3}}}));
    // Plain style keeps the label's own colour.
    EXPECT_EQ(itemsOf<TextRun>(list).at(0).style.color, SemanticColor::primary);
    // Nothing outside buttons and links is clickable, content shape or not.
    const View view = Text("plain").contentShape(ShapeKind::rectangle).padding(Edges::all, 5.0);
    EXPECT_TRUE(itemsOf<HitRegion>(layout(view, {80.0, 40.0}, measurer)).empty());
}

TEST(ClickRegions, ContentShapeMakesTheWholeFrameClickableAndLinksTakeTheAccent) {
    const View link =
        Link(url("tarvelo://date?t=0"),
             Text("1").font(Font::system(10.0)).frame(44.0, 44.0).contentShape(ShapeKind::rectangle))
            .buttonStyle(ButtonStyle::plain);
    const auto regions = itemsOf<HitRegion>(layout(link.frame(100.0, 20.0), {100.0, 20.0}, measurer));
    ASSERT_EQ(regions.size(), 1u);
    EXPECT_EQ(regions[0].frame.size, (Size{44.0, 44.0}));
    EXPECT_EQ(std::get<URL>(regions[0].action).absoluteString(), "tarvelo://date?t=0");
    // The automatic style tints links with the accent colour.
    const auto texts =
        itemsOf<TextRun>(layout(Link(url("https://example.org"), Text("more")), {80.0, 20.0}, measurer));
    EXPECT_EQ(texts.at(0).style.color, SemanticColor::accent);
}

TEST(ClickRegions, RegionsOfRaisedViewsComeLaterSoTheyWin) {
    const View raised =
        Button(ProbeIntent(1), Rectangle().frame(30.0, 30.0).contentShape(ShapeKind::rectangle))
            .buttonStyle(ButtonStyle::plain)
            .frame(std::nullopt, 10.0)
            .zIndex(1);
    const View below =
        Link(url("tarvelo://date?t=5"), Rectangle().frame(30.0, 30.0).contentShape(ShapeKind::rectangle))
            .buttonStyle(ButtonStyle::plain);
    const auto regions = itemsOf<HitRegion>(
        layout(VStack(HorizontalAlignment::center, 0.0, {raised, below}), {30.0, 40.0}, measurer));
    ASSERT_EQ(regions.size(), 2u);
    EXPECT_TRUE(std::holds_alternative<URL>(regions[0].action));
    EXPECT_TRUE(std::holds_alternative<IntentReference>(regions[1].action));
    // The button's 30-point region overlaps the link below its 10-point row.
    EXPECT_GT(regions[1].frame.maxY(), regions[0].frame.minY());
}
