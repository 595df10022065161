// The display list's JSON form: what goes out comes back the same, and
// garbage is refused without harm.

#include "Platform/View/DisplayListJSON.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {

DisplayList sample() {
    const Font title{10.4, FontWeight::semibold, FontDesign::standard};
    const Font digits{10.0, FontWeight::regular, FontDesign::monospaced};
    const Font symbol{11.0, FontWeight::semibold, FontDesign::standard};
    const ShapeStyle dimmed{SemanticColor::secondary, 0.4};
    const IntentReference back{"MonthStepIntent", {{"delta", -1}}};
    return {{170.0, 170.0},
            {ShapeItem{ShapeKind::rectangle, {{0, 0}, {170, 170}}, 0.0, {SemanticColor::tertiaryFill}},
             ShapeItem{ShapeKind::roundedRectangle, {{2, 2}, {20, 10}}, 4.5, {SemanticColor::orange, 0.5}},
             ShapeItem{ShapeKind::circle, {{10.25, 20.5}, {17, 17}}, 0.0, {SemanticColor::red}, {"", true}},
             TextRun{"Dezember 2026", {{52, 14.6}, {66, 15.6}}, title, -0.52, true, {SemanticColor::primary}},
             TextRun{"٣١", {{1, 2}, {11, 12}}, digits, 0.0, false, dimmed, LayoutDirection::rightToLeft},
             SymbolItem{"chevron.left", {{15.4, 18.4}, {13.2, 13.2}}, symbol, {SemanticColor::primary}},
             HitRegion{{{0, 3}, {44, 44}}, back, {"Previous month"}},
             HitRegion{{{8, 50}, {20, 17}}, *URL::string("tarvelo://date?t=-86400")}}};
}

} // namespace

TEST(DisplayListJSON, RoundTripsKeepEveryItem) {
    const DisplayList list = sample();
    const auto reading = displayListFromJSONText(toJSON(list).dump());
    ASSERT_TRUE(reading.displayList) << reading.error;
    EXPECT_EQ(*reading.displayList, list);

    // A list read in, written out and read again: a corner radius on a shape
    // other than a rounded rectangle used to be kept on reading, dropped on writing.
    const auto read = displayListFromJSONText(
        R"({"size":[10,10],"items":[{"type":"rectangle","frame":[0,0,5,5],"cornerRadius":4,"fill":"accent"},
                                    {"type":"circle","frame":[0,0,5,5],"cornerRadius":2,"fill":"accent"}]})");
    ASSERT_TRUE(read.displayList) << read.error;
    const auto again = displayListFromJSON(toJSON(*read.displayList));
    ASSERT_TRUE(again.displayList) << again.error;
    EXPECT_EQ(*again.displayList, *read.displayList);
}

TEST(DisplayListJSON, ItemsCarryTheDocumentedFields) {
    const nlohmann::json json = toJSON(sample());
    const auto& items = json["items"];
    for (const auto& item : items)
        EXPECT_TRUE(item["type"].is_string() && item["frame"].is_array() && item["frame"].size() == 4)
            << item;
    // Fonts, colours and opacities are shared through the style table;
    // what readers take as said when missing (opacity 1, no tracking, left to right) goes unsaid.
    const auto styleOf = [&](int index) { return json["styles"][items[index]["style"].get<std::size_t>()]; };
    EXPECT_EQ(styleOf(0), (nlohmann::json{{"fill", "tertiaryFill"}}));
    EXPECT_FALSE(items[5].contains("tracking") || styleOf(5).contains("opacity") ||
                 items[3].contains("direction"));
    EXPECT_EQ(items[0]["frame"].dump(), "[0,0,170,170]");
    EXPECT_EQ(items[3]["text"], "Dezember 2026");
    EXPECT_EQ(items[4]["direction"], "rightToLeft");
    EXPECT_EQ(items[6]["type"], "button");
    EXPECT_EQ(items[6]["intent"].dump(), R"({"parameters":{"delta":-1},"type":"MonthStepIntent"})");
    EXPECT_EQ(items[7]["url"], "tarvelo://date?t=-86400");
    // Accessibility is written only where it says something, so readers
    // that predate it see the lists they always saw.
    EXPECT_EQ(items[2]["hidden"], true);
    EXPECT_EQ(items[6]["label"], "Previous month");
    EXPECT_FALSE(items[7].contains("label") || items[7].contains("hidden"));
}

TEST(DisplayListJSON, RefusesMalformedDeepOrHugeInput) {
    const auto listOf = [](const std::string& item) {
        return R"({"size": [10, 10], "items": [)" + item + "]}";
    };
    const std::string text = R"({"type": "text", "frame": [0, 0, 1, 1], "text": "a", "color": "primary", )";
    const std::string link = R"({"type": "link", "frame": [0, 0, 1, 1], "url": "a:b", )";
    const std::string garbage[] = {
        "",
        "[]",
        R"({"size": [10, 10]})",
        R"({"size": [10], "items": []})",
        R"({"size": [-1, 10], "items": []})",
        R"({"size": [1e300, 10], "items": []})",
        R"({"size": ["10", 10], "items": []})",
        R"({"size": [10, 10], "items": {}})",
        listOf("42"),
        listOf(R"({"type": "sparkle", "frame": [0, 0, 1, 1]})"),
        listOf(R"({"type": "circle", "frame": [0, 0, 1], "fill": "red"})"),
        listOf(R"({"type": "circle", "frame": [0, 0, 1, 1], "fill": "mauve"})"),
        listOf(R"({"type": "circle", "frame": [0, 0, 1, 1], "fill": "red", "opacity": 7})"),
        listOf(R"({"type": "link", "frame": [0, 0, 1, 1], "url": "no url"})"),
        listOf(R"({"type": "button", "frame": [0, 0, 1, 1], "intent": {"type": "X", "parameters": []}})"),
        listOf(R"({"type": "text", "frame": [0, 0, 1, 1], "text": 5})"),
        listOf(text + R"("font": {"size": 10, "weight": "hefty", "design": "default"}})"),
        listOf(text +
               R"("font": {"size": 10, "weight": "bold", "design": "default"}, "direction": "upwards"})"),
        listOf(link + R"("label": 7})"),
        listOf(link + R"("hidden": "yes"})"),
        R"({"size": [10, 10], "styles": {}, "items": []})",
        R"({"size": [10, 10], "styles": [3], "items": []})",
        R"({"size": [10, 10], "styles": [{"fill": "red"}], "items": [{"type": "circle", "frame": [0, 0, 1, 1], "style": 1}]})",
        std::string(200000, '['),
        std::string(50000, '[') + std::string(50000, ']'),
    };
    for (const auto& input : garbage) {
        const auto reading = displayListFromJSONText(input);
        EXPECT_TRUE(!reading.displayList && !reading.error.empty()) << input.substr(0, 200);
    }
}
