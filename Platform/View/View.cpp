#include "Platform/View/View.h"

#include "Platform/View/ViewNode.h"

#include <algorithm>
#include <cmath>

namespace platform {

namespace {

template <typename Node> std::shared_ptr<const ViewNode> make(Node node) {
    return std::make_shared<const ViewNode>(ViewNode{std::move(node)});
}

const std::shared_ptr<const ViewNode>& emptyNode() {
    static const auto node = make(EmptyNode{});
    return node;
}

// Lengths from callers are clamped to sane values: a negative or NaN size
// would only ever produce a broken picture.
std::optional<double> sanitized(std::optional<double> length) {
    if (!length || std::isnan(*length))
        return std::nullopt;
    return std::max(0.0, *length);
}

View environment(const View& view, EnvironmentChange change) {
    return View(make(EnvironmentNode{view, change}));
}

} // namespace

View::View()
    : node_(emptyNode()) {}

View::View(std::shared_ptr<const ViewNode> node)
    : node_(std::move(node)) {
    if (!node_)
        node_ = emptyNode();
}

View View::wrapped(std::shared_ptr<const ViewNode> node) const {
    View result(std::move(node));
    result.zIndex_ = zIndex_;
    result.layoutPriority_ = layoutPriority_;
    return result;
}

View View::frame(std::optional<double> width, std::optional<double> height, Alignment alignment) const {
    return wrapped(make(FrameNode{*this, sanitized(width), sanitized(height), alignment}));
}

View View::frame(const FlexibleFrame& bounds) const {
    FlexibleFrame clean = bounds;
    for (auto* length : {&clean.minWidth, &clean.idealWidth, &clean.maxWidth, &clean.minHeight,
                         &clean.idealHeight, &clean.maxHeight})
        *length = sanitized(*length);
    // A maximum below the minimum would make the frame contradict itself.
    if (clean.minWidth && clean.maxWidth && *clean.maxWidth < *clean.minWidth)
        clean.maxWidth = clean.minWidth;
    if (clean.minHeight && clean.maxHeight && *clean.maxHeight < *clean.minHeight)
        clean.maxHeight = clean.minHeight;
    return wrapped(make(FlexibleFrameNode{*this, clean}));
}

View View::padding(Edges edges, double length) const {
    return wrapped(make(PaddingNode{*this, EdgeInsets::on(edges, sanitized(length).value_or(0.0))}));
}

View View::zIndex(double value) const {
    View result = *this;
    result.zIndex_ = std::isnan(value) ? 0.0 : value;
    return result;
}

View View::layoutPriority(double value) const {
    View result = *this;
    result.layoutPriority_ = std::isnan(value) ? 0.0 : value;
    return result;
}

View View::fixedSize(bool horizontal, bool vertical) const {
    return wrapped(make(FixedSizeNode{*this, horizontal, vertical}));
}

View View::font(const Font& value) const {
    EnvironmentChange change;
    change.font = value;
    return wrapped(environment(*this, change).node_);
}

View View::foregroundStyle(const ShapeStyle& style) const {
    EnvironmentChange change;
    change.foreground = style;
    return wrapped(environment(*this, change).node_);
}

View View::lineLimit(std::optional<int> lines) const {
    EnvironmentChange change;
    change.lineLimit = lines;
    return wrapped(environment(*this, change).node_);
}

View View::minimumScaleFactor(double factor) const {
    EnvironmentChange change;
    change.minimumScaleFactor = std::isnan(factor) ? 1.0 : std::clamp(factor, 0.01, 1.0);
    return wrapped(environment(*this, change).node_);
}

View View::allowsTightening(bool flag) const {
    EnvironmentChange change;
    change.allowsTightening = flag;
    return wrapped(environment(*this, change).node_);
}

View View::buttonStyle(ButtonStyle style) const {
    EnvironmentChange change;
    change.buttonStyle = style;
    return wrapped(environment(*this, change).node_);
}

View View::opacity(double value) const {
    return wrapped(make(OpacityNode{*this, std::isnan(value) ? 1.0 : std::clamp(value, 0.0, 1.0)}));
}

View View::fill(const ShapeStyle& style) const {
    if (const auto* shape = std::get_if<ShapeNode>(&node_->content)) {
        ShapeNode filled = *shape;
        filled.fill = style;
        return wrapped(make(filled));
    }
    return *this;
}

View View::contentShape(ShapeKind shape) const {
    return wrapped(make(ContentShapeNode{*this, shape}));
}

View View::containerBackground(const ShapeStyle& style) const {
    return wrapped(make(ContainerBackgroundNode{*this, style}));
}

View View::accessibilityLabel(std::string label) const {
    return wrapped(make(AccessibilityNode{*this, std::move(label), std::nullopt}));
}

View View::accessibilityHidden(bool hidden) const {
    return wrapped(make(AccessibilityNode{*this, std::nullopt, hidden}));
}

View Text(std::string text) {
    return View(make(TextNode{std::move(text)}));
}

View Image(std::string systemName) {
    return View(make(SymbolNode{std::move(systemName)}));
}

View Rectangle() {
    return View(make(ShapeNode{ShapeKind::rectangle, 0.0, std::nullopt}));
}

View RoundedRectangle(double cornerRadius) {
    return View(
        make(ShapeNode{ShapeKind::roundedRectangle, sanitized(cornerRadius).value_or(0.0), std::nullopt}));
}

View Circle() {
    return View(make(ShapeNode{ShapeKind::circle, 0.0, std::nullopt}));
}

View VStack(HorizontalAlignment alignment, double spacing, std::vector<View> children) {
    return View(make(StackNode{Axis::vertical, axisAlignment(alignment), sanitized(spacing).value_or(0.0),
                               std::move(children)}));
}

View HStack(VerticalAlignment alignment, double spacing, std::vector<View> children) {
    return View(make(StackNode{Axis::horizontal, axisAlignment(alignment), sanitized(spacing).value_or(0.0),
                               std::move(children)}));
}

View ZStack(Alignment alignment, std::vector<View> children) {
    return View(make(ZStackNode{alignment, std::move(children)}));
}

View GeometryReader(std::function<View(Size)> content) {
    return View(make(GeometryReaderNode{std::move(content)}));
}

View Button(const AppIntent& intent, View label) {
    return View(make(ActionNode{std::move(label), intent.reference()}));
}

View Link(URL destination, View label) {
    return View(make(ActionNode{std::move(label), std::move(destination)}));
}

View ForEach(std::vector<ForEachElement> elements) {
    return View(make(ForEachNode{std::move(elements)}));
}

} // namespace platform
