#include <gtest/gtest.h>

#include "FakeTextMeasurer.h"
#include "Layout.h"
#include "MonthStepIntent.h"
#include "TarveloWidget.h"

using namespace tarvelo;

TEST(WidgetRegistration, OneWidgetInTwoSizesWithItsNameAndDescription) {
    const auto contents = TarveloWidgetBundle().body();
    ASSERT_EQ(contents.widgets.size(), 1u);
    const auto& widget = contents.widgets.front();
    EXPECT_EQ(TarveloWidget().kind, "TarveloWidget");
    EXPECT_EQ(widget.kind(), "TarveloWidget");
    EXPECT_EQ(widget.displayName(), "Tarvelo");
    EXPECT_EQ(widget.descriptionText(), "A month calendar you can step through without opening Calendar.");
    EXPECT_EQ(widget.families(),
              (std::vector{platform::WidgetFamily::systemSmall, platform::WidgetFamily::systemMedium}));
    EXPECT_TRUE(widget.contentMarginsAreDisabled());

    ASSERT_EQ(contents.intents.size(), 1u);
    EXPECT_EQ(contents.intents.front().typeName, MonthStepIntent::typeName);
}

TEST(WidgetRegistration, ThePlaceholderRendersOnTheTertiaryFillWithoutMargins) {
    const auto widget = TarveloWidgetBundle().body().widgets.front();
    const auto placeholder = widget.placeholder({false, platform::WidgetFamily::systemSmall, {170, 170}});
    const platform::View content = widget.content(placeholder);
    // The background is the container's, behind everything: the first thing painted covers the widget.
    const tarvelo::testsupport::FakeTextMeasurer measurer;
    const auto list = platform::layout(content, {170, 170}, measurer);
    ASSERT_FALSE(list.items.empty());
    const auto* background = std::get_if<platform::ShapeItem>(&list.items.front());
    ASSERT_NE(background, nullptr);
    EXPECT_EQ(background->frame, (platform::Rect{{0, 0}, {170, 170}}));
    EXPECT_EQ(background->fill.color, platform::SemanticColor::tertiaryFill);
}
