// The page's plain logic: localizable texts show "**…**" as bold and
// "[label](target)" as a link, and nothing else of them ever acts as markup;
// the page's height for a screen; the previews' accessibility labels.
#include "TarveloFeature/Onboarding/MarkdownEmphasis.h"
#include "TarveloFeature/Onboarding/PageSize.h"
#include "TarveloFeature/Onboarding/PreviewLabel.h"

#include <gtest/gtest.h>
#include <limits>
#include <pango/pango.h>

using namespace tarvelo::MarkdownEmphasis;
using Strings = std::vector<std::string>;

namespace {

// What Pango makes of the markup: the text shown, then the byte ranges of
// its bold runs as "start-end"; nothing when it does not parse.
Strings parse(const std::string& markup) {
    PangoAttrList* attributes = nullptr;
    char* text = nullptr;
    if (!pango_parse_markup(markup.c_str(), -1, 0, &attributes, &text, nullptr, nullptr))
        return {};
    Strings result{text};
    PangoAttrIterator* iterator = pango_attr_list_get_iterator(attributes);
    do {
        const auto* weight =
            reinterpret_cast<const PangoAttrInt*>(pango_attr_iterator_get(iterator, PANGO_ATTR_WEIGHT));
        if (weight && weight->value >= PANGO_WEIGHT_BOLD)
            result.push_back(std::to_string(weight->attr.start_index) + "-" +
                             std::to_string(weight->attr.end_index));
    } while (pango_attr_iterator_next(iterator));
    pango_attr_iterator_destroy(iterator);
    pango_attr_list_unref(attributes);
    g_free(text);
    return result;
}

} // namespace

TEST(MarkdownEmphasis, ShowsPairedDoubleAsterisksAsBoldAndEverythingElseAsWritten) {
    struct Case {
        std::string text;
        std::string shown;
        Strings bold; // byte ranges, "start-end"
    } const cases[] = {
        {"Choose **Edit Widgets**.", "Choose Edit Widgets.", {"7-19"}},
        {"choose **Remove Widget**, or **Edit Widgets** for",
         "choose Remove Widget, or Edit Widgets for",
         {"7-20", "25-37"}},
        {"Wähle **Widgets bearbeiten…** ✓", "Wähle Widgets bearbeiten… ✓", {"7-28"}},
        {"**bold <i>with</i> & tags**", "bold <i>with</i> & tags", {"0-23"}},
        // What Pango would read as markup is text.
        {"<b>not bold</b>", "<b>not bold</b>", {}},
        {"a \"quote\" and an 'apostrophe'", "a \"quote\" and an 'apostrophe'", {}},
        {"&amp; stays five characters", "&amp; stays five characters", {}},
        {"1 < 2 > 0", "1 < 2 > 0", {}},
        // Unpaired and empty markers stay.
        {"5 ** 2", "5 ** 2", {}},
        {"a **** b **c**", "a **** b c", {"9-10"}},
        {"**open only", "**open only", {}},
        {"*single*", "*single*", {}},
        {"** spaced **", "** spaced **", {}},
        {"**a **b**", "a **b", {"0-5"}},
    };
    for (const Case& example : cases) {
        SCOPED_TRACE(example.text);
        EXPECT_EQ(plainText(example.text), example.shown);
        Strings expected{example.shown};
        expected.insert(expected.end(), example.bold.begin(), example.bold.end());
        EXPECT_EQ(parse(pangoMarkup(example.text)), expected);
    }
}

TEST(MarkdownEmphasis, ShowsLinksWithTheirLabelsAndKeepsOtherBracketsAsWritten) {
    // GTK's labels read <a> themselves, before Pango sees the markup.
    EXPECT_EQ(pangoMarkup("Open [**Edit Widgets**](edit-widgets) now"),
              "Open <a href=\"edit-widgets\"><b>Edit Widgets</b></a> now");
    EXPECT_EQ(plainText("Open [**Edit Widgets**](edit-widgets) now"), "Open Edit Widgets now");
    EXPECT_EQ(pangoMarkup("[a <b>](x\"y)"), "<a href=\"x&quot;y\">a &lt;b&gt;</a>");
    for (const std::string text :
         {"[1]", "[](x)", "[a]()", "[a] (x)", "[a](x y)", "[a](x", "[a [b] c", "a]("})
        EXPECT_EQ(pangoMarkup(text), text) << text;
    EXPECT_EQ(plainText("[a [b](c)"), "[a b");
}

// The page is as high as the main screen's usable area less 40, between 520 and 960.
TEST(PageSize, LeavesFortyPointsOfTheUsableHeightFreeWithinBounds) {
    using tarvelo::PageSize::height;
    const std::pair<double, double> cases[] = {{800.0, 760.0},
                                               {560.0, 520.0},
                                               {1000.0, 960.0},
                                               {727.5, 687.5},
                                               {500.0, 520.0},
                                               {-300.0, 520.0},
                                               {1200.0, 960.0},
                                               {std::numeric_limits<double>::infinity(), 960.0},
                                               {std::numeric_limits<double>::quiet_NaN(), 960.0}};
    for (const auto& [screen, page] : cases)
        EXPECT_EQ(height(screen), page) << screen;
    EXPECT_EQ(height(std::nullopt), 960.0) << "without a screen";
}

TEST(PreviewLabel, FollowsTheCaptionWithTheSentenceEvenWithConversionsInIt) {
    EXPECT_EQ(tarvelo::previewAccessibilityLabel("%s %d 100%"),
              "%s %d 100% size preview of the Tarvelo widget");
}
