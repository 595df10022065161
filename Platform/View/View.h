#pragma once

#include "Platform/Intents/AppIntent.h"
#include "Platform/URL/URL.h"
#include "Platform/View/Alignment.h"
#include "Platform/View/DisplayList.h"
#include "Platform/View/Edges.h"
#include "Platform/View/Font.h"
#include "Platform/View/Geometry.h"
#include "Platform/View/ShapeStyle.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace platform {

struct ViewNode;

// How buttons and links draw their label: `plain` draws the label only;
// `automatic` tints it with the accent colour, as a link in running text.
enum class ButtonStyle { automatic, plain };

// The bounds of a flexible frame, per axis; absent bounds leave the child's
// own size through. An infinite maximum takes all the space offered.
struct FlexibleFrame {
    std::optional<double> minWidth;
    std::optional<double> idealWidth;
    std::optional<double> maxWidth;
    std::optional<double> minHeight;
    std::optional<double> idealHeight;
    std::optional<double> maxHeight;
    Alignment alignment = Alignment::center();
};

// A declarative view: an immutable value describing what to show, built from
// the functions below (Text, VStack, Button ...) and refined by modifiers,
// each of which returns a new view wrapping the old one. Copies are cheap
// (the description is shared). Layout turns a view and a size into a
// display list.
class View {
public:
    // The empty view: takes no space and draws nothing.
    View();
    explicit View(std::shared_ptr<const ViewNode> node);

    // Layout modifiers.
    View frame(std::optional<double> width, std::optional<double> height,
               Alignment alignment = Alignment::center()) const;
    View frame(const FlexibleFrame& bounds) const;
    View padding(Edges edges, double length) const;
    // Draws above siblings with a lower value; does not change positions.
    View zIndex(double value) const;
    // Stacks give space to higher priorities first.
    View layoutPriority(double value) const;
    // Proposes the ideal size on the chosen axes, whatever the parent offers.
    View fixedSize(bool horizontal, bool vertical) const;

    // Text settings; they apply to every text inside.
    View font(const Font& value) const;
    View foregroundStyle(const ShapeStyle& style) const;
    // Texts are set on one line; a limit only documents intent (see docs).
    View lineLimit(std::optional<int> lines) const;
    View minimumScaleFactor(double factor) const;
    View allowsTightening(bool flag) const;

    // Drawing modifiers.
    View opacity(double value) const;
    // Fills a shape (Circle, RoundedRectangle, Rectangle); other views are unchanged.
    View fill(const ShapeStyle& style) const;
    // Inside a button or link: the whole frame of this view is clickable,
    // not only what its label draws.
    View contentShape(ShapeKind shape) const;
    View buttonStyle(ButtonStyle style) const;
    // The background of the whole container the view is laid out in (the
    // widget), drawn behind everything, outside any padding.
    View containerBackground(const ShapeStyle& style) const;

    // What assistive technologies read for this view instead of its own
    // text; on a button or link it speaks for the whole label.
    View accessibilityLabel(std::string label) const;
    // Leaves this view and everything inside out for assistive
    // technologies: decoration, or meaning another view already carries.
    View accessibilityHidden(bool hidden) const;

    const ViewNode& node() const { return *node_; }
    double zIndexValue() const { return zIndex_; }
    double layoutPriorityValue() const { return layoutPriority_; }

private:
    // Wraps this view in `node`, keeping the traits its parent reads.
    View wrapped(std::shared_ptr<const ViewNode> node) const;

    std::shared_ptr<const ViewNode> node_;
    double zIndex_ = 0.0;
    double layoutPriority_ = 0.0;
};

// Identity of one element of a ForEach: a number or a text.
using ViewIdentity = std::variant<std::int64_t, std::string>;

struct ForEachElement {
    ViewIdentity identity;
    View view;
};

View Text(std::string text);
// A symbol by its system name ("chevron.left"), sized by the font.
View Image(std::string systemName);
View Rectangle();
View RoundedRectangle(double cornerRadius);
View Circle();
View VStack(HorizontalAlignment alignment, double spacing, std::vector<View> children);
View HStack(VerticalAlignment alignment, double spacing, std::vector<View> children);
View ZStack(Alignment alignment, std::vector<View> children);
// Calls `content` with the size it is given at layout time.
View GeometryReader(std::function<View(Size)> content);
// Clicking the label runs the intent, rebuilt from its reference.
View Button(const AppIntent& intent, View label);
// Clicking the label opens the URL.
View Link(URL destination, View label);
// Elements inside a stack take part in it as if listed one by one.
View ForEach(std::vector<ForEachElement> elements);

// ForEach over a collection, identifying each element by `identify(element)`.
template <typename Collection, typename Identify, typename Make>
View ForEach(const Collection& data, Identify identify, Make make) {
    std::vector<ForEachElement> elements;
    for (const auto& element : data)
        elements.push_back({ViewIdentity(identify(element)), make(element)});
    return ForEach(std::move(elements));
}

} // namespace platform
