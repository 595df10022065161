#include "Platform/View/DisplayListJSON.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <stdexcept>
#include <string_view>

namespace platform {

namespace {

using nlohmann::json;

// Bounds that no real widget comes near; past them the input is garbage.
constexpr double largestLength = 100000.0;
constexpr std::size_t largestItemCount = 10000;
constexpr std::size_t largestTextLength = 4096;
constexpr double largestFontSize = 1000.0;

// Thrown inside the reader only, and turned into a refusal at its top.
struct Refusal : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// A whole number goes out without its ".0"; any other keeps every digit, so
// a list reads back exactly as it was.
json lengthJSON(double value) {
    constexpr double largestWhole = 1e15;
    if (std::abs(value) < largestWhole && value == std::trunc(value) &&
        !(value == 0.0 && std::signbit(value)))
        return static_cast<std::int64_t>(value);
    return value;
}

json frameJSON(const Rect& rect) {
    return json::array({lengthJSON(rect.origin.x), lengthJSON(rect.origin.y), lengthJSON(rect.size.width),
                        lengthJSON(rect.size.height)});
}

json fontJSON(const Font& font) {
    return {{"size", lengthJSON(font.size)},
            {"weight", std::string(name(font.weight))},
            {"design", std::string(name(font.design))}};
}

// What a reader takes as said when it is missing goes unsaid.
void addOpacity(json& object, double opacity) {
    if (opacity != 1.0)
        object["opacity"] = lengthJSON(opacity);
}

std::string_view shapeTypeName(ShapeKind kind) {
    switch (kind) {
    case ShapeKind::rectangle:
        return "rectangle";
    case ShapeKind::roundedRectangle:
        return "roundedRectangle";
    case ShapeKind::circle:
        return "circle";
    }
    return "rectangle";
}

// Written only where they say something, so older readers see the lists
// they always saw, and a missing field reads as "nothing to add".
void addAccessibility(json& object, const Accessibility& accessibility) {
    if (!accessibility.label.empty())
        object["label"] = accessibility.label;
    if (accessibility.hidden)
        object["hidden"] = true;
}

json itemJSON(const DisplayItem& item) {
    json object = std::visit(
        [](const auto& value) -> json {
            using Item = std::decay_t<decltype(value)>;
            if constexpr (std::is_same_v<Item, TextRun>) {
                json result = {{"type", "text"},
                               {"frame", frameJSON(value.frame)},
                               {"text", value.text},
                               {"font", fontJSON(value.font)},
                               {"color", std::string(name(value.style.color))}};
                addOpacity(result, value.style.opacity);
                if (value.tracking != 0.0)
                    result["tracking"] = lengthJSON(value.tracking);
                if (value.truncated)
                    result["truncated"] = true;
                // Left to right goes unsaid, as before there was a choice.
                if (value.direction != LayoutDirection::leftToRight)
                    result["direction"] = std::string(name(value.direction));
                return result;
            } else if constexpr (std::is_same_v<Item, ShapeItem>) {
                json result = {{"type", std::string(shapeTypeName(value.kind))},
                               {"frame", frameJSON(value.frame)},
                               {"fill", std::string(name(value.fill.color))}};
                addOpacity(result, value.fill.opacity);
                if (value.kind == ShapeKind::roundedRectangle)
                    result["cornerRadius"] = lengthJSON(value.cornerRadius);
                return result;
            } else if constexpr (std::is_same_v<Item, SymbolItem>) {
                json result = {{"type", "symbol"},
                               {"frame", frameJSON(value.frame)},
                               {"name", value.name},
                               {"font", fontJSON(value.font)},
                               {"color", std::string(name(value.style.color))}};
                addOpacity(result, value.style.opacity);
                return result;
            } else {
                if (const auto* intent = std::get_if<IntentReference>(&value.action))
                    return {{"type", "button"},
                            {"frame", frameJSON(value.frame)},
                            {"intent", {{"type", intent->type}, {"parameters", intent->parameters}}}};
                return {{"type", "link"},
                        {"frame", frameJSON(value.frame)},
                        {"url", std::get<URL>(value.action).absoluteString()}};
            }
        },
        item);
    std::visit([&](const auto& value) { addAccessibility(object, value.accessibility); }, item);
    return object;
}

// The fields an item may take from the list's style table.
constexpr const char* styleKeys[] = {"font", "color", "fill", "opacity"};

// An item's fields: its own, then (for the keys of `styleKeys`) those of
// the style it names.
struct Fields {
    const json& item;
    const json* style = nullptr;

    const json* find(const char* key) const {
        if (const auto found = item.find(key); found != item.end())
            return &*found;
        if (style)
            for (const char* shared : styleKeys)
                if (std::string_view(shared) == key)
                    if (const auto found = style->find(key); found != style->end())
                        return &*found;
        return nullptr;
    }
};

const json& member(const Fields& object, const char* key) {
    const json* found = object.find(key);
    if (!found)
        throw Refusal(std::string("missing \"") + key + "\"");
    return *found;
}

const json& member(const json& object, const char* key) {
    return member(Fields{object}, key);
}

double number(const json& value, const char* what, double lowest, double highest) {
    if (!value.is_number())
        throw Refusal(std::string(what) + " is not a number");
    const double result = value.get<double>();
    if (!std::isfinite(result) || result < lowest || result > highest)
        throw Refusal(std::string(what) + " is out of range");
    return result;
}

double optionalNumber(const Fields& object, const char* key, double fallback, double lowest, double highest) {
    const json* found = object.find(key);
    return found ? number(*found, key, lowest, highest) : fallback;
}

std::string text(const json& value, const char* what) {
    if (!value.is_string())
        throw Refusal(std::string(what) + " is not a string");
    std::string result = value.get<std::string>();
    if (result.size() > largestTextLength)
        throw Refusal(std::string(what) + " is too long");
    return result;
}

Rect frameFrom(const json& object) {
    const json& frame = member(object, "frame");
    if (!frame.is_array() || frame.size() != 4)
        throw Refusal("\"frame\" is not [x, y, width, height]");
    return {{number(frame[0], "x", -largestLength, largestLength),
             number(frame[1], "y", -largestLength, largestLength)},
            {number(frame[2], "width", 0.0, largestLength), number(frame[3], "height", 0.0, largestLength)}};
}

SemanticColor colorFrom(const Fields& object, const char* key) {
    const auto color = semanticColorNamed(text(member(object, key), key));
    if (!color)
        throw Refusal(std::string("unknown colour in \"") + key + "\"");
    return *color;
}

ShapeStyle styleFrom(const Fields& object, const char* key) {
    return {colorFrom(object, key), optionalNumber(object, "opacity", 1.0, 0.0, 1.0)};
}

Font fontFrom(const Fields& object) {
    const json& font = member(object, "font");
    if (!font.is_object())
        throw Refusal("\"font\" is not an object");
    const auto weight = fontWeightNamed(text(member(font, "weight"), "weight"));
    const auto design = fontDesignNamed(text(member(font, "design"), "design"));
    if (!weight || !design)
        throw Refusal("unknown font weight or design");
    return {number(member(font, "size"), "font size", 0.0, largestFontSize), *weight, *design};
}

bool flag(const json& object, const char* key) {
    const auto found = object.find(key);
    if (found == object.end())
        return false;
    if (!found->is_boolean())
        throw Refusal(std::string(key) + " is not true or false");
    return found->get<bool>();
}

LayoutDirection directionFrom(const json& object) {
    const auto found = object.find("direction");
    if (found == object.end())
        return LayoutDirection::leftToRight;
    const auto direction = layoutDirectionNamed(text(*found, "direction"));
    if (!direction)
        throw Refusal("unknown direction");
    return *direction;
}

DisplayItem plainItemFrom(const Fields& object) {
    const std::string type = text(member(object, "type"), "type");
    const Rect frame = frameFrom(object.item);
    if (type == "text")
        return TextRun{text(member(object, "text"), "text"),
                       frame,
                       fontFrom(object),
                       optionalNumber(object, "tracking", 0.0, -largestFontSize, largestFontSize),
                       flag(object.item, "truncated"),
                       styleFrom(object, "color"),
                       directionFrom(object.item)};
    if (type == "rectangle" || type == "roundedRectangle" || type == "circle") {
        const ShapeKind kind = type == "circle"             ? ShapeKind::circle
                               : type == "roundedRectangle" ? ShapeKind::roundedRectangle
                                                            : ShapeKind::rectangle;
        // Only rounded rectangles have a corner radius; one on another shape
        // is checked but dropped, as writing the list back would drop it.
        const double cornerRadius = optionalNumber(object, "cornerRadius", 0.0, 0.0, largestLength);
        return ShapeItem{kind, frame, kind == ShapeKind::roundedRectangle ? cornerRadius : 0.0,
                         styleFrom(object, "fill")};
    }
    if (type == "symbol")
        return SymbolItem{text(member(object, "name"), "name"), frame, fontFrom(object),
                          styleFrom(object, "color")};
    if (type == "button") {
        const json& intent = member(object, "intent");
        if (!intent.is_object())
            throw Refusal("\"intent\" is not an object");
        const json& parameters = member(intent, "parameters");
        if (!parameters.is_object())
            throw Refusal("intent parameters are not an object");
        return HitRegion{frame, IntentReference{text(member(intent, "type"), "intent type"), parameters}};
    }
    if (type == "link") {
        auto url = URL::string(text(member(object, "url"), "url"));
        if (!url)
            throw Refusal("\"url\" is not a valid URL");
        return HitRegion{frame, std::move(*url)};
    }
    throw Refusal("unknown item type \"" + type + "\"");
}

Accessibility accessibilityFrom(const json& object) {
    const auto label = object.find("label");
    return {label == object.end() ? std::string() : text(*label, "label"), flag(object, "hidden")};
}

DisplayItem itemFrom(const json& object, const json& styles) {
    if (!object.is_object())
        throw Refusal("an item is not an object");
    const json* style = nullptr;
    if (const auto found = object.find("style"); found != object.end()) {
        if (!found->is_number_unsigned() || found->get<std::uint64_t>() >= styles.size())
            throw Refusal("\"style\" is not the index of a style");
        style = &styles[found->get<std::size_t>()];
    }
    DisplayItem item = plainItemFrom(Fields{object, style});
    std::visit([&](auto& value) { value.accessibility = accessibilityFrom(object); }, item);
    return item;
}

} // namespace

nlohmann::json toJSON(const DisplayList& list) {
    // Items share their fonts, colours and opacities through the style
    // table: a widget has a handful of styles and a hundred items.
    json styles = json::array();
    json items = json::array();
    for (const DisplayItem& item : list.items) {
        json object = itemJSON(item);
        json style = json::object();
        for (const char* key : styleKeys)
            if (const auto found = object.find(key); found != object.end()) {
                style[key] = std::move(*found);
                object.erase(found);
            }
        if (!style.empty()) {
            const auto known = std::find(styles.begin(), styles.end(), style);
            object["style"] = static_cast<std::size_t>(known - styles.begin());
            if (known == styles.end())
                styles.push_back(std::move(style));
        }
        items.push_back(std::move(object));
    }
    json result = {{"size", json::array({lengthJSON(list.size.width), lengthJSON(list.size.height)})}};
    if (!styles.empty())
        result["styles"] = std::move(styles);
    result["items"] = std::move(items);
    return result;
}

DisplayListReading displayListFromJSON(const nlohmann::json& input) {
    try {
        if (!input.is_object())
            throw Refusal("not a JSON object");
        const json& size = member(input, "size");
        if (!size.is_array() || size.size() != 2)
            throw Refusal("\"size\" is not [width, height]");
        DisplayList list;
        list.size = {number(size[0], "width", 0.0, largestLength),
                     number(size[1], "height", 0.0, largestLength)};
        const json& items = member(input, "items");
        if (!items.is_array())
            throw Refusal("\"items\" is not an array");
        if (items.size() > largestItemCount)
            throw Refusal("too many items");
        static const json noStyles = json::array();
        const auto styles = input.find("styles");
        if (styles != input.end() && (!styles->is_array() || styles->size() > largestItemCount ||
                                      std::any_of(styles->begin(), styles->end(),
                                                  [](const json& style) { return !style.is_object(); })))
            throw Refusal("\"styles\" is not an array of objects");
        list.items.reserve(items.size());
        for (const json& item : items)
            list.items.push_back(itemFrom(item, styles == input.end() ? noStyles : *styles));
        return {std::move(list), {}};
    } catch (const Refusal& refusal) {
        return {std::nullopt, refusal.what()};
    } catch (const std::exception& exception) {
        // nlohmann throws on type mismatches we did not foresee; still a refusal.
        return {std::nullopt, std::string("malformed display list: ") + exception.what()};
    }
}

DisplayListReading displayListFromJSONText(std::string_view text) {
    // The JSON parser and its values are not recursive, so deep nesting
    // cannot exhaust the stack; the size bound keeps memory in check.
    constexpr std::size_t largestInput = 16 * 1024 * 1024;
    if (text.size() > largestInput)
        return {std::nullopt, "input too large"};
    json parsed = json::parse(text.begin(), text.end(), nullptr, false);
    if (parsed.is_discarded())
        return {std::nullopt, "not valid JSON"};
    return displayListFromJSON(parsed);
}

} // namespace platform
