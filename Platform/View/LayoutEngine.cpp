#include "Platform/View/LayoutEngine.h"

#include "Platform/View/Layout.h"
#include "Platform/View/StackLayout.h"
#include "Platform/View/TextFitting.h"
#include "Platform/View/ViewNode.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numeric>

namespace platform {

namespace {

// What a shape or geometry reader takes when offered no length at all.
constexpr double defaultLength = 10.0;

// Never negative: a proposal shrunk by padding can go below zero.
std::optional<double> reduced(std::optional<double> length, double by) {
    if (!length)
        return std::nullopt;
    return std::max(0.0, *length - by);
}

LayoutEnvironment applied(LayoutEnvironment environment, const EnvironmentChange& change) {
    if (change.font)
        environment.font = *change.font;
    if (change.foreground)
        environment.foreground = *change.foreground;
    if (change.lineLimit)
        environment.lineLimit = *change.lineLimit;
    if (change.minimumScaleFactor)
        environment.minimumScaleFactor = *change.minimumScaleFactor;
    if (change.allowsTightening)
        environment.allowsTightening = *change.allowsTightening;
    if (change.buttonStyle)
        environment.buttonStyle = *change.buttonStyle;
    return environment;
}

// Labels of links and buttons in the automatic style read as links.
LayoutEnvironment labelEnvironment(LayoutEnvironment environment) {
    if (environment.buttonStyle == ButtonStyle::automatic)
        environment.foreground = ShapeStyle{SemanticColor::accent};
    return environment;
}

// Leading and trailing on the horizontal axis, as edges: in right to left
// the leading edge is the right one.
AxisAlignment horizontalAxisAlignment(AxisAlignment alignment, LayoutDirection direction) {
    if (direction == LayoutDirection::leftToRight || alignment == AxisAlignment::center)
        return alignment;
    return alignment == AxisAlignment::leading ? AxisAlignment::trailing : AxisAlignment::leading;
}

Rect aligned(Size child, Rect space, Alignment alignment, LayoutDirection direction) {
    const AxisAlignment horizontal = horizontalAxisAlignment(axisAlignment(alignment.horizontal), direction);
    return {
        {space.origin.x + alignedOffset(horizontal, space.size.width, child.width),
         space.origin.y + alignedOffset(axisAlignment(alignment.vertical), space.size.height, child.height)},
        child};
}

// The proposal a flexible frame passes on: the offer clamped to its bounds,
// or its ideal length where nothing was offered.
std::optional<double> flexibleProposal(std::optional<double> offered, std::optional<double> minimum,
                                       std::optional<double> ideal, std::optional<double> maximum) {
    if (!offered)
        return ideal;
    double length = *offered;
    if (minimum)
        length = std::max(length, *minimum);
    if (maximum)
        length = std::min(length, *maximum);
    return length;
}

// The flexible frame's own length on one axis: the child's, pushed up to the
// minimum and up to what was offered when there is a maximum (so an infinite
// maximum fills the offer), and never beyond the bounds.
double flexibleLength(double child, std::optional<double> offered, std::optional<double> minimum,
                      std::optional<double> maximum) {
    if (!minimum && !maximum)
        return child;
    double length = child;
    const double offer = offered.value_or(child);
    if (minimum)
        length = std::max(*minimum, std::min(length, offer));
    if (maximum)
        length = std::min(*maximum, std::max(length, offer));
    return length;
}

std::vector<std::size_t> paintingOrder(const std::vector<const View*>& children) {
    std::vector<std::size_t> order(children.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](std::size_t first, std::size_t second) {
        return children[first]->zIndexValue() < children[second]->zIndexValue();
    });
    return order;
}

} // namespace

LayoutEngine::LayoutEngine(const TextMeasurer& measurer, Rect container)
    : measurer_(measurer)
    , container_(container) {
    list_.size = container.size;
}

DisplayList LayoutEngine::takeDisplayList() {
    return std::move(list_);
}

const View& LayoutEngine::asColumn(const ViewNode& forEach) const {
    // One column per ForEach node for the whole pass, so its answers are kept too.
    for (const auto& [node, column] : columns_)
        if (node == &forEach)
            return column;
    View column = VStack(HorizontalAlignment::center, 0.0, {View(std::make_shared<const ViewNode>(forEach))});
    columns_.emplace_back(&forEach, std::move(column));
    return columns_.back().second;
}

std::size_t LayoutEngine::SizingQuestionHash::operator()(const SizingQuestion& question) const {
    std::uint64_t hash = reinterpret_cast<std::uintptr_t>(question.node) * 0x9e3779b97f4a7c15u;
    const auto mix = [&hash](double value) {
        hash = (hash ^ std::bit_cast<std::uint64_t>(value)) * 0x100000001b3u;
        hash ^= hash >> 29;
    };
    mix(question.proposal.width.value_or(-1.0));
    mix(question.proposal.height.value_or(-1.0));
    mix(question.environment.font.size);
    return static_cast<std::size_t>(hash);
}

std::size_t LayoutEngine::TextQuestionHash::operator()(const TextQuestion& question) const {
    std::uint64_t hash = reinterpret_cast<std::uintptr_t>(question.text) * 0x9e3779b97f4a7c15u;
    hash = (hash ^ std::bit_cast<std::uint64_t>(question.font.size)) * 0x100000001b3u;
    return static_cast<std::size_t>(hash ^ (hash >> 29));
}

Size LayoutEngine::sizeThatFits(const View& view, ProposedSize proposal,
                                const LayoutEnvironment& environment) const {
    // Only stacks ask their children several questions each (the smallest,
    // the largest and the actual share), and stacks inside stacks multiply
    // them; every other view answers with one question to each child and a
    // little arithmetic, which costs less than looking the answer up.
    if (!std::holds_alternative<StackNode>(view.node().content))
        return sizeOfNode(view.node(), proposal, environment);
    SizingQuestion question{&view.node(), proposal, environment};
    const auto found = sizes_.find(question);
    if (found != sizes_.end())
        return found->second;
    const Size size = sizeOfNode(view.node(), proposal, environment);
    sizes_.emplace(question, size);
    return size;
}

const TextMetrics& LayoutEngine::metrics(const TextNode& text, const Font& font) const {
    // A text is asked for its size at many proposals, but its metrics depend
    // on its font alone: measure it once per pass.
    const TextQuestion question{&text, font};
    const auto found = textMetrics_.find(question);
    if (found != textMetrics_.end())
        return found->second;
    return textMetrics_.emplace(question, measurer_.measure(text.text, font)).first->second;
}

void LayoutEngine::place(const View& view, Rect rect, ProposedSize proposal,
                         const LayoutEnvironment& environment) {
    placeView(view, rect, proposal, environment, Placement{});
}

void LayoutEngine::placeView(const View& view, Rect rect, ProposedSize proposal,
                             const LayoutEnvironment& environment, const Placement& placement) {
    placeNode(view.node(), rect, proposal, environment, placement);
}

void LayoutEngine::emit(DisplayItem item, const Placement& placement) {
    // Plain labels are clickable where they draw, unless a content shape
    // already made their whole frame clickable.
    std::optional<Rect> drawn;
    std::visit(
        [&](auto& value) {
            using Item = std::decay_t<decltype(value)>;
            if constexpr (!std::is_same_v<Item, HitRegion>) {
                drawn = value.frame;
                if (placement.label || placement.hidden)
                    value.accessibility = placement.accessibility();
            }
        },
        item);
    list_.items.push_back(std::move(item));
    if (drawn && placement.action && !placement.clickAreaSet)
        list_.items.push_back(HitRegion{*drawn, *placement.action, placement.actionAccessibility()});
}

template <typename FrameOf>
void LayoutEngine::placeChildren(const std::vector<const View*>& children, const FrameOf& frameOf,
                                 const LayoutEnvironment& environment, const Placement& placement) {
    const auto place = [&](std::size_t index) {
        const auto [rect, proposal] = frameOf(index);
        placeView(*children[index], rect, proposal, environment, placement);
    };
    // Nearly always nothing is raised and the order is the children's own.
    const bool inOrder =
        std::is_sorted(children.begin(), children.end(), [](const View* first, const View* second) {
            return first->zIndexValue() < second->zIndexValue();
        });
    if (inOrder) {
        for (std::size_t index = 0; index < children.size(); ++index)
            place(index);
        return;
    }
    for (const std::size_t index : paintingOrder(children))
        place(index);
}

// What a node kind's layout sees of the engine while sizing a node...
struct LayoutEngine::Sizing {
    const LayoutEngine& engine;
    const ViewNode& node;
    ProposedSize proposal;
    const LayoutEnvironment& environment;

    Size of(const View& child, ProposedSize childProposal) const {
        return engine.sizeThatFits(child, childProposal, environment);
    }
    const TextMetrics& metrics(const TextNode& text) const { return engine.metrics(text, environment.font); }
    const View& asColumn() const { return engine.asColumn(node); }
};

// ... and while placing it at `rect`, the size it asked for when offered `offered`.
struct LayoutEngine::Placing {
    LayoutEngine& engine;
    const ViewNode& node;
    Rect rect;
    ProposedSize offered;
    const LayoutEnvironment& environment;
    Placement placement;

    LayoutDirection direction() const { return environment.layoutDirection; }
    Size sizeOf(const View& child, ProposedSize proposal) const {
        return engine.sizeThatFits(child, proposal, environment);
    }
    Rect aligned(Size child, Rect space, Alignment alignment) const {
        return platform::aligned(child, space, alignment, direction());
    }
    void place(const View& child, Rect childRect, ProposedSize proposal) const {
        engine.placeView(child, childRect, proposal, environment, placement);
    }
    void place(const View& child, const Placement& inner) const {
        engine.placeView(child, rect, offered, environment, inner);
    }
    // A child sized for `proposal`, then aligned in `space`.
    void placeAligned(const View& child, ProposedSize proposal, Rect space, Alignment alignment) const {
        place(child, aligned(sizeOf(child, proposal), space, alignment), proposal);
    }
    template <typename FrameOf>
    void placeChildren(const std::vector<const View*>& children, const FrameOf& frameOf) {
        engine.placeChildren(children, frameOf, environment, placement);
    }
    void emit(DisplayItem item) { engine.emit(std::move(item), placement); }
};

namespace {

// The child takes the node's proposal and rectangle; the node is its size.
struct AroundChild {
    template <typename Sizing, typename Node> static Size size(const Sizing& sizing, const Node& content) {
        return sizing.of(content.child, sizing.proposal);
    }
};

// Shapes and geometry readers take what they are offered.
struct TakesTheOffer {
    template <typename Sizing, typename Node> static Size size(const Sizing& sizing, const Node&) {
        return {sizing.proposal.width.value_or(defaultLength),
                sizing.proposal.height.value_or(defaultLength)};
    }
};

} // namespace

// Each node kind's layout, written once: `size` answers a proposal,
// `place` emits the node's items for the rectangle it was given. Every
// container sizes its children again from the proposal it was given (not
// from the rectangle it ended up with, which may be larger when a child
// overflows), so a child is placed at exactly the size it asked for.
template <> struct LayoutEngine::NodeLayout<EmptyNode> {
    static Size size(const Sizing&, const EmptyNode&) { return {}; }
    static void place(Placing&, const EmptyNode&) {}
};

template <> struct LayoutEngine::NodeLayout<TextNode> {
    static FittedText fitted(const TextMetrics& metrics, const LayoutEnvironment& environment,
                             ProposedSize offered) {
        return fitText(metrics, environment.font.size, offered.width,
                       {environment.minimumScaleFactor, environment.allowsTightening});
    }
    static Size size(const Sizing& sizing, const TextNode& text) {
        return fitted(sizing.metrics(text), sizing.environment, sizing.proposal).size;
    }
    static void place(Placing& placing, const TextNode& text) {
        const LayoutEnvironment& environment = placing.environment;
        const Font& font = environment.font;
        const FittedText fit = fitted(placing.engine.metrics(text, font), environment, placing.offered);
        const Font shown{font.size * fit.scale, font.weight, font.design};
        placing.emit(TextRun{text.text, placing.aligned(fit.size, placing.rect, Alignment::center()), shown,
                             fit.tracking, fit.truncated,
                             environment.foreground.withOpacity(placing.placement.opacity),
                             placing.direction()});
    }
};

template <> struct LayoutEngine::NodeLayout<SymbolNode> {
    static double side(const LayoutEnvironment& environment) {
        return environment.font.size * symbolSizePerPoint;
    }
    static Size size(const Sizing& sizing, const SymbolNode&) {
        return {side(sizing.environment), side(sizing.environment)};
    }
    static void place(Placing& placing, const SymbolNode& symbol) {
        const double length = side(placing.environment);
        // A symbol that points along the line points the other way in right to left.
        const std::string name = placing.direction() == LayoutDirection::rightToLeft
                                     ? std::string(mirroredSymbolName(symbol.systemName))
                                     : symbol.systemName;
        placing.emit(SymbolItem{name, placing.aligned({length, length}, placing.rect, Alignment::center()),
                                placing.environment.font,
                                placing.environment.foreground.withOpacity(placing.placement.opacity)});
    }
};

template <> struct LayoutEngine::NodeLayout<ShapeNode> : TakesTheOffer {
    static void place(Placing& placing, const ShapeNode& shape) {
        const Rect& rect = placing.rect;
        Rect frame = rect;
        if (shape.kind == ShapeKind::circle) {
            const double side = std::min(rect.size.width, rect.size.height);
            frame = placing.aligned({side, side}, rect, Alignment::center());
        }
        const ShapeStyle fill =
            shape.fill.value_or(placing.environment.foreground).withOpacity(placing.placement.opacity);
        placing.emit(ShapeItem{shape.kind, frame, shape.cornerRadius, fill});
    }
};

template <> struct LayoutEngine::NodeLayout<GeometryReaderNode> : TakesTheOffer {
    static void place(Placing& placing, const GeometryReaderNode& reader) {
        if (!reader.content)
            return;
        // The reader offers its content the whole of its own size, and puts
        // it at its top-leading corner.
        auto& made = placing.engine.madeDuringPass_;
        made.push_back(reader.content(placing.rect.size));
        const View inside = made.back();
        placing.placeAligned(inside, ProposedSize::of(placing.rect.size), placing.rect,
                             Alignment::topLeading());
    }
};

template <> struct LayoutEngine::NodeLayout<StackNode> {
    static Size size(const Sizing& sizing, const StackNode& stack) {
        const auto children = stackChildren(stack.children);
        return stackSize(stackChildLayouts(children, stack.axis, stack.spacing, sizing.proposal,
                                           [&](const View& child, ProposedSize childProposal) {
                                               return sizing.of(child, childProposal);
                                           }),
                         stack.axis, stack.spacing);
    }
    static void place(Placing& placing, const StackNode& stack) {
        const Rect& rect = placing.rect;
        const auto children = stackChildren(stack.children);
        const auto layouts = stackChildLayouts(
            children, stack.axis, stack.spacing, placing.offered,
            [&](const View& child, ProposedSize proposal) { return placing.sizeOf(child, proposal); });
        const bool horizontal = stack.axis == Axis::horizontal;
        std::vector<Rect> rects;
        rects.reserve(layouts.size());
        // In right to left a horizontal stack runs from its right edge
        // leftwards, and a vertical one's leading children stand at its
        // right edge.
        const bool rightToLeft = placing.direction() == LayoutDirection::rightToLeft;
        const AxisAlignment crossAlignment =
            horizontal ? stack.alignment : horizontalAxisAlignment(stack.alignment, placing.direction());
        double position = horizontal ? rect.origin.x : rect.origin.y;
        double rightToLeftPosition = rect.maxX();
        for (const ChildLayout& layout : layouts) {
            const Size& size = layout.size;
            const double crossSpace = horizontal ? rect.size.height : rect.size.width;
            const double crossOffset =
                alignedOffset(crossAlignment, crossSpace, horizontal ? size.height : size.width);
            if (horizontal && rightToLeft) {
                rightToLeftPosition -= size.width;
                rects.push_back({{rightToLeftPosition, rect.origin.y + crossOffset}, size});
                rightToLeftPosition -= stack.spacing;
            } else if (horizontal) {
                rects.push_back({{position, rect.origin.y + crossOffset}, size});
            } else {
                rects.push_back({{rect.origin.x + crossOffset, position}, size});
            }
            position += (horizontal ? size.width : size.height) + stack.spacing;
        }
        placing.placeChildren(
            children, [&](std::size_t index) { return std::pair(rects[index], layouts[index].proposal); });
    }
};

// Outside a stack the elements stand one above the other.
template <> struct LayoutEngine::NodeLayout<ForEachNode> {
    static Size size(const Sizing& sizing, const ForEachNode&) {
        return sizing.of(sizing.asColumn(), sizing.proposal);
    }
    static void place(Placing& placing, const ForEachNode&) {
        placing.place(placing.engine.asColumn(placing.node), placing.placement);
    }
};

template <> struct LayoutEngine::NodeLayout<ZStackNode> {
    static Size size(const Sizing& sizing, const ZStackNode& stack) {
        Size result;
        visitStackChildren(stack.children, [&](const View& child) {
            const Size size = sizing.of(child, sizing.proposal);
            result = {std::max(result.width, size.width), std::max(result.height, size.height)};
        });
        return result;
    }
    static void place(Placing& placing, const ZStackNode& stack) {
        const auto children = stackChildren(stack.children);
        placing.placeChildren(children, [&](std::size_t index) {
            return std::pair(placing.aligned(placing.sizeOf(*children[index], placing.offered), placing.rect,
                                             stack.alignment),
                             placing.offered);
        });
    }
};

template <> struct LayoutEngine::NodeLayout<FrameNode> {
    static ProposedSize childProposal(const FrameNode& frame, ProposedSize offered) {
        return {frame.width ? frame.width : offered.width, frame.height ? frame.height : offered.height};
    }
    static Size size(const Sizing& sizing, const FrameNode& frame) {
        if (frame.width && frame.height)
            return {*frame.width, *frame.height};
        const Size child = sizing.of(frame.child, childProposal(frame, sizing.proposal));
        return {frame.width.value_or(child.width), frame.height.value_or(child.height)};
    }
    static void place(Placing& placing, const FrameNode& frame) {
        placing.placeAligned(frame.child, childProposal(frame, placing.offered), placing.rect,
                             frame.alignment);
    }
};

template <> struct LayoutEngine::NodeLayout<FlexibleFrameNode> {
    static ProposedSize childProposal(const FlexibleFrame& bounds, ProposedSize offered) {
        return {flexibleProposal(offered.width, bounds.minWidth, bounds.idealWidth, bounds.maxWidth),
                flexibleProposal(offered.height, bounds.minHeight, bounds.idealHeight, bounds.maxHeight)};
    }
    static Size size(const Sizing& sizing, const FlexibleFrameNode& frame) {
        const FlexibleFrame& bounds = frame.bounds;
        const ProposedSize proposal = childProposal(bounds, sizing.proposal);
        const Size child = sizing.of(frame.child, proposal);
        return {flexibleLength(child.width, proposal.width, bounds.minWidth, bounds.maxWidth),
                flexibleLength(child.height, proposal.height, bounds.minHeight, bounds.maxHeight)};
    }
    static void place(Placing& placing, const FlexibleFrameNode& frame) {
        placing.placeAligned(frame.child, childProposal(frame.bounds, placing.offered), placing.rect,
                             frame.bounds.alignment);
    }
};

template <> struct LayoutEngine::NodeLayout<PaddingNode> {
    static ProposedSize childProposal(const EdgeInsets& insets, ProposedSize offered) {
        return {reduced(offered.width, insets.horizontal()), reduced(offered.height, insets.vertical())};
    }
    static Size size(const Sizing& sizing, const PaddingNode& padding) {
        const EdgeInsets& insets = padding.insets;
        const Size child = sizing.of(padding.child, childProposal(insets, sizing.proposal));
        return {child.width + insets.horizontal(), child.height + insets.vertical()};
    }
    static void place(Placing& placing, const PaddingNode& padding) {
        const EdgeInsets& insets = padding.insets;
        const Rect& rect = placing.rect;
        // The leading inset is on the right in right to left.
        const double left =
            placing.direction() == LayoutDirection::rightToLeft ? insets.trailing : insets.leading;
        const Rect inner{{rect.origin.x + left, rect.origin.y + insets.top},
                         {std::max(0.0, rect.size.width - insets.horizontal()),
                          std::max(0.0, rect.size.height - insets.vertical())}};
        placing.placeAligned(padding.child, childProposal(insets, placing.offered), inner,
                             Alignment::topLeading());
    }
};

template <> struct LayoutEngine::NodeLayout<FixedSizeNode> {
    static ProposedSize childProposal(const FixedSizeNode& fixed, ProposedSize offered) {
        return {fixed.horizontal ? std::nullopt : offered.width,
                fixed.vertical ? std::nullopt : offered.height};
    }
    static Size size(const Sizing& sizing, const FixedSizeNode& fixed) {
        return sizing.of(fixed.child, childProposal(fixed, sizing.proposal));
    }
    static void place(Placing& placing, const FixedSizeNode& fixed) {
        placing.placeAligned(fixed.child, childProposal(fixed, placing.offered), placing.rect,
                             Alignment::center());
    }
};

template <> struct LayoutEngine::NodeLayout<EnvironmentNode> {
    static Size size(const Sizing& sizing, const EnvironmentNode& change) {
        return sizing.engine.sizeThatFits(change.child, sizing.proposal,
                                          applied(sizing.environment, change.change));
    }
    static void place(Placing& placing, const EnvironmentNode& change) {
        placing.engine.placeView(change.child, placing.rect, placing.offered,
                                 applied(placing.environment, change.change), placing.placement);
    }
};

template <> struct LayoutEngine::NodeLayout<OpacityNode> : AroundChild {
    static void place(Placing& placing, const OpacityNode& opacity) {
        placing.placement.opacity *= opacity.opacity;
        placing.place(opacity.child, placing.placement);
    }
};

template <> struct LayoutEngine::NodeLayout<ContentShapeNode> : AroundChild {
    static void place(Placing& placing, const ContentShapeNode& shape) {
        const auto& placement = placing.placement;
        const bool claims = placement.action && !placement.clickAreaSet;
        auto inner = placement;
        inner.clickAreaSet = inner.clickAreaSet || claims;
        placing.place(shape.child, inner);
        if (claims)
            placing.engine.list_.items.push_back(
                HitRegion{placing.rect, *placement.action, placement.actionAccessibility()});
    }
};

template <> struct LayoutEngine::NodeLayout<ActionNode> {
    static Size size(const Sizing& sizing, const ActionNode& action) {
        return sizing.engine.sizeThatFits(action.label, sizing.proposal,
                                          labelEnvironment(sizing.environment));
    }
    static void place(Placing& placing, const ActionNode& action) {
        const auto& placement = placing.placement;
        auto inner = placement;
        inner.action = &action.action;
        inner.clickAreaSet = false;
        // The button or link is the element; a label it was given speaks for
        // everything its own label draws.
        inner.actionLabel = placement.label;
        inner.actionHidden = placement.hidden;
        inner.hidden = placement.hidden || placement.label;
        inner.label = nullptr;
        placing.engine.placeView(action.label, placing.rect, placing.offered,
                                 labelEnvironment(placing.environment), inner);
    }
};

template <> struct LayoutEngine::NodeLayout<AccessibilityNode> : AroundChild {
    static void place(Placing& placing, const AccessibilityNode& accessibility) {
        if (accessibility.label)
            placing.placement.label = &*accessibility.label;
        if (accessibility.hidden)
            placing.placement.hidden = placing.placement.hidden || *accessibility.hidden;
        placing.place(accessibility.child, placing.placement);
    }
};

template <> struct LayoutEngine::NodeLayout<ContainerBackgroundNode> : AroundChild {
    static void place(Placing& placing, const ContainerBackgroundNode& background) {
        placing.engine.list_.items.push_back(
            ShapeItem{ShapeKind::rectangle, placing.engine.container_, 0.0,
                      background.style.withOpacity(placing.placement.opacity)});
        placing.place(background.child, placing.placement);
    }
};

Size LayoutEngine::sizeOfNode(const ViewNode& node, ProposedSize proposal,
                              const LayoutEnvironment& environment) const {
    const Sizing sizing{*this, node, proposal, environment};
    return std::visit(
        [&](const auto& content) {
            return NodeLayout<std::decay_t<decltype(content)>>::size(sizing, content);
        },
        node.content);
}

void LayoutEngine::placeNode(const ViewNode& node, Rect rect, ProposedSize offered,
                             const LayoutEnvironment& environment, Placement placement) {
    Placing placing{*this, node, rect, offered, environment, placement};
    std::visit(
        [&](const auto& content) { NodeLayout<std::decay_t<decltype(content)>>::place(placing, content); },
        node.content);
}

DisplayList layout(const View& view, Size size, const TextMeasurer& measurer,
                   const LayoutEnvironment& environment) {
    const Rect container{{0.0, 0.0}, size};
    LayoutEngine engine(measurer, container);
    const Size wanted = engine.sizeThatFits(view, ProposedSize::of(size), environment);
    engine.place(view, aligned(wanted, container, Alignment::center(), environment.layoutDirection),
                 ProposedSize::of(size), environment);
    return engine.takeDisplayList();
}

Size sizeThatFits(const View& view, ProposedSize proposal, const TextMeasurer& measurer) {
    return LayoutEngine(measurer, Rect{}).sizeThatFits(view, proposal, LayoutEnvironment{});
}

} // namespace platform
