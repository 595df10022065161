// Localizable texts show "**…**" as bold and "[label](target)" as a link, and
// nothing else of them ever acts as markup.
#include "MarkdownEmphasis.h"

#include <gtest/gtest.h>
#include <pango/pango.h>

using tarvelo::MarkdownEmphasis::pangoMarkup;
using tarvelo::MarkdownEmphasis::plainText;

namespace {

// What Pango makes of the markup: the text shown, and whether it parsed.
struct Parsed {
    bool valid = false;
    std::string text;
    // Byte ranges of bold runs, as "start-end".
    std::vector<std::string> boldRanges;
};

Parsed parse(const std::string& markup) {
    Parsed result;
    PangoAttrList* attributes = nullptr;
    char* text = nullptr;
    if (!pango_parse_markup(markup.c_str(), -1, 0, &attributes, &text, nullptr, nullptr))
        return result;
    result.valid = true;
    result.text = text;
    PangoAttrIterator* iterator = pango_attr_list_get_iterator(attributes);
    do {
        if (const PangoAttribute* weight = pango_attr_iterator_get(iterator, PANGO_ATTR_WEIGHT)) {
            if (reinterpret_cast<const PangoAttrInt*>(weight)->value >= PANGO_WEIGHT_BOLD)
                result.boldRanges.push_back(std::to_string(weight->start_index) + "-" +
                                            std::to_string(weight->end_index));
        }
    } while (pango_attr_iterator_next(iterator));
    pango_attr_iterator_destroy(iterator);
    pango_attr_list_unref(attributes);
    g_free(text);
    return result;
}

} // namespace

TEST(MarkdownEmphasisTest, ShowsDoubleAsterisksAsBoldWithoutTheAsterisks) {
    const Parsed parsed = parse(pangoMarkup("Choose **Edit Widgets**."));
    ASSERT_TRUE(parsed.valid);
    EXPECT_EQ(parsed.text, "Choose Edit Widgets.");
    EXPECT_EQ(parsed.boldRanges, std::vector<std::string>{"7-19"});
    EXPECT_EQ(plainText("Choose **Edit Widgets**."), "Choose Edit Widgets.");
}

TEST(MarkdownEmphasisTest, ShowsSeveralBoldSpansInOneText) {
    const Parsed parsed = parse(pangoMarkup("choose **Remove Widget**, or **Edit Widgets** for"));
    ASSERT_TRUE(parsed.valid);
    EXPECT_EQ(parsed.text, "choose Remove Widget, or Edit Widgets for");
    EXPECT_EQ(parsed.boldRanges, (std::vector<std::string>{"7-20", "25-37"}));
}

TEST(MarkdownEmphasisTest, ShowsLinksWithTheirLabelsAndKeepsOtherBracketsAsWritten) {
    // GTK's labels read <a> themselves, before Pango sees the markup.
    EXPECT_EQ(pangoMarkup("Open [**Edit Widgets**](edit-widgets) now"),
              "Open <a href=\"edit-widgets\"><b>Edit Widgets</b></a> now");
    EXPECT_EQ(plainText("Open [**Edit Widgets**](edit-widgets) now"), "Open Edit Widgets now");
    EXPECT_EQ(pangoMarkup("[a <b>](x\"y)"), "<a href=\"x&quot;y\">a &lt;b&gt;</a>");
    for (const std::string text : {"[1]", "[](x)", "[a]()", "[a] (x)", "[a](x y)", "[a](x", "[a [b] c", "a]("})
        EXPECT_EQ(pangoMarkup(text), text) << text;
    EXPECT_EQ(plainText("[a [b](c)"), "[a b");
}

TEST(MarkdownEmphasisTest, EscapesEverythingThatPangoWouldReadAsMarkup) {
    for (const std::string text : {"<b>not bold</b>", "Tom & Jerry", "a \"quote\" and an 'apostrophe'",
                                   "&amp; stays five characters", "<span foreground='red'>x</span>",
                                   "**bold <i>with</i> & tags**", "1 < 2 > 0"}) {
        const Parsed parsed = parse(pangoMarkup(text));
        ASSERT_TRUE(parsed.valid) << text;
        EXPECT_EQ(parsed.text, plainText(text)) << text;
    }
    EXPECT_EQ(parse(pangoMarkup("<b>not bold</b>")).boldRanges, std::vector<std::string>{});
}

TEST(MarkdownEmphasisTest, LeavesUnpairedAndEmptyMarkersAsWritten) {
    EXPECT_EQ(plainText("5 ** 2"), "5 ** 2");
    EXPECT_EQ(plainText("****"), "****");
    EXPECT_EQ(plainText("a **** b **c**"), "a **** b c");
    EXPECT_EQ(plainText("**open only"), "**open only");
    EXPECT_EQ(plainText("*single*"), "*single*");
    EXPECT_EQ(plainText("** spaced **"), "** spaced **");
    EXPECT_EQ(plainText("**a **b**"), "a **b");
    EXPECT_EQ(parse(pangoMarkup("5 ** 2")).boldRanges, std::vector<std::string>{});
}

TEST(MarkdownEmphasisTest, KeepsTextOutsideAsciiIntact) {
    const Parsed parsed = parse(pangoMarkup("Wähle **Widgets bearbeiten…** ✓"));
    ASSERT_TRUE(parsed.valid);
    EXPECT_EQ(parsed.text, "Wähle Widgets bearbeiten… ✓");
    EXPECT_EQ(parsed.boldRanges.size(), 1U);
}
