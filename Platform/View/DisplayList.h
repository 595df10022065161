#pragma once

#include "Platform/Intents/AppIntent.h"
#include "Platform/URL/URL.h"
#include "Platform/View/Font.h"
#include "Platform/View/Geometry.h"
#include "Platform/View/LayoutDirection.h"
#include "Platform/View/ShapeStyle.h"

#include <string>
#include <variant>
#include <vector>

namespace platform {

// What assistive technologies (screen readers) are told about an item; the
// host exposes text runs as text, buttons and links by their role, and
// shapes and symbols only when they carry a label.
struct Accessibility {
    std::string label;   // what is read; empty: a text run's own text, a button's or link's texts
    bool hidden = false; // not an element of its own: decoration, or content its button or link speaks for
    bool operator==(const Accessibility&) const = default;
};

// One line of text, laid out: the painter sets it at the frame's top-left
// corner in the given font (already shrunk where the layout had to shrink it).
struct TextRun {
    std::string text;       // the whole text, even when it is shown truncated
    Rect frame;             // where it goes, in points
    Font font;              // final size, weight and design
    double tracking = 0.0;  // extra space between characters, in points (negative when tightened)
    bool truncated = false; // the text does not fit: end it with an ellipsis at the frame's width
    ShapeStyle style;       // colour and opacity (the view's opacity folded in)
    // The paragraph's direction where its own letters do not decide it
    // (digits, punctuation), and the end that truncation cuts.
    LayoutDirection direction = LayoutDirection::leftToRight;
    Accessibility accessibility = {};
    bool operator==(const TextRun&) const = default;
};

enum class ShapeKind { rectangle, roundedRectangle, circle };

// A filled shape. A circle is the largest one centred in its frame.
struct ShapeItem {
    ShapeKind kind = ShapeKind::rectangle;
    Rect frame;
    double cornerRadius = 0.0; // rounded rectangles only
    ShapeStyle fill;
    Accessibility accessibility = {};
    bool operator==(const ShapeItem&) const = default;
};

// A symbolic icon ("chevron.left"), drawn in one colour, fitted to its frame.
struct SymbolItem {
    std::string name;
    Rect frame;
    Font font; // the font the symbol was sized for; its weight guides the stroke where the painter can
    ShapeStyle style;
    Accessibility accessibility = {};
    bool operator==(const SymbolItem&) const = default;
};

// A clickable area. Not painted: the host hit-tests clicks against these, and
// of overlapping regions the one later in the list wins (it lies on top).
// Its accessible role follows the action: a button runs an intent, a link
// opens a URL.
struct HitRegion {
    Rect frame;
    std::variant<IntentReference, URL> action; // run the intent, or open the URL
    Accessibility accessibility = {};
    bool isLink() const { return std::holds_alternative<URL>(action); }
    bool operator==(const HitRegion&) const = default;
};

using DisplayItem = std::variant<TextRun, ShapeItem, SymbolItem, HitRegion>;

// A laid-out view: everything to paint, in painting order (back to front),
// and everything clickable. Sizes are in points; colours are semantic.
struct DisplayList {
    Size size;
    std::vector<DisplayItem> items;
    bool operator==(const DisplayList&) const = default;
};

} // namespace platform
