#include "LayoutEngine.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cmath>
#include <limits>
#include <numeric>

#include "Layout.h"
#include "StackLayout.h"
#include "TextFitting.h"
#include "ViewNode.h"

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
    return {{space.origin.x + alignedOffset(horizontal, space.size.width, child.width),
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

LayoutEngine::LayoutEngine(const TextMeasurer& measurer, Rect container) : measurer_(measurer), container_(container) {
    list_.size = container.size;
}

DisplayList LayoutEngine::takeDisplayList() { return std::move(list_); }

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

Size LayoutEngine::sizeThatFits(const View& view, ProposedSize proposal, const LayoutEnvironment& environment) const {
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
    sizes_.emplace(std::move(question), size);
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

Size LayoutEngine::sizeOfNode(const ViewNode& node, ProposedSize proposal,
                              const LayoutEnvironment& environment) const {
    const auto sizeOf = [&](const View& child, ProposedSize childProposal) {
        return sizeThatFits(child, childProposal, environment);
    };
    return std::visit(
        [&](const auto& content) -> Size {
            using Node = std::decay_t<decltype(content)>;
            if constexpr (std::is_same_v<Node, EmptyNode>) {
                return {};
            } else if constexpr (std::is_same_v<Node, TextNode>) {
                return fitText(metrics(content, environment.font), environment.font.size, proposal.width,
                               {environment.minimumScaleFactor, environment.allowsTightening})
                    .size;
            } else if constexpr (std::is_same_v<Node, SymbolNode>) {
                const double side = environment.font.size * symbolSizePerPoint;
                return {side, side};
            } else if constexpr (std::is_same_v<Node, ShapeNode> || std::is_same_v<Node, GeometryReaderNode>) {
                return {proposal.width.value_or(defaultLength), proposal.height.value_or(defaultLength)};
            } else if constexpr (std::is_same_v<Node, StackNode>) {
                const auto children = stackChildren(content.children);
                return stackSize(stackChildLayouts(children, content.axis, content.spacing, proposal, sizeOf),
                                 content.axis, content.spacing);
            } else if constexpr (std::is_same_v<Node, ForEachNode>) {
                // Outside a stack the elements stand one above the other.
                return sizeThatFits(asColumn(node), proposal, environment);
            } else if constexpr (std::is_same_v<Node, ZStackNode>) {
                Size result;
                visitStackChildren(content.children, [&](const View& child) {
                    const Size size = sizeOf(child, proposal);
                    result = {std::max(result.width, size.width), std::max(result.height, size.height)};
                });
                return result;
            } else if constexpr (std::is_same_v<Node, FrameNode>) {
                const ProposedSize childProposal{content.width ? content.width : proposal.width,
                                                 content.height ? content.height : proposal.height};
                if (content.width && content.height)
                    return {*content.width, *content.height};
                const Size child = sizeOf(content.child, childProposal);
                return {content.width.value_or(child.width), content.height.value_or(child.height)};
            } else if constexpr (std::is_same_v<Node, FlexibleFrameNode>) {
                const FlexibleFrame& bounds = content.bounds;
                const ProposedSize childProposal{
                    flexibleProposal(proposal.width, bounds.minWidth, bounds.idealWidth, bounds.maxWidth),
                    flexibleProposal(proposal.height, bounds.minHeight, bounds.idealHeight, bounds.maxHeight)};
                const Size child = sizeOf(content.child, childProposal);
                return {flexibleLength(child.width, childProposal.width, bounds.minWidth, bounds.maxWidth),
                        flexibleLength(child.height, childProposal.height, bounds.minHeight, bounds.maxHeight)};
            } else if constexpr (std::is_same_v<Node, PaddingNode>) {
                const EdgeInsets& insets = content.insets;
                const Size child = sizeOf(content.child, {reduced(proposal.width, insets.horizontal()),
                                                          reduced(proposal.height, insets.vertical())});
                return {child.width + insets.horizontal(), child.height + insets.vertical()};
            } else if constexpr (std::is_same_v<Node, FixedSizeNode>) {
                return sizeOf(content.child, {content.horizontal ? std::nullopt : proposal.width,
                                              content.vertical ? std::nullopt : proposal.height});
            } else if constexpr (std::is_same_v<Node, EnvironmentNode>) {
                return sizeThatFits(content.child, proposal, applied(environment, content.change));
            } else if constexpr (std::is_same_v<Node, ActionNode>) {
                return sizeThatFits(content.label, proposal, labelEnvironment(environment));
            } else {
                // Opacity, content shape, container background: the child's size.
                return sizeOf(content.child, proposal);
            }
        },
        node.content);
}

void LayoutEngine::place(const View& view, Rect rect, ProposedSize proposal, const LayoutEnvironment& environment) {
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
    const bool inOrder = std::is_sorted(children.begin(), children.end(), [](const View* first, const View* second) {
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

// Every container sizes its children again from the proposal it was given
// (not from the rectangle it ended up with, which may be larger when a child
// overflows), so a child is placed at exactly the size it asked for.
void LayoutEngine::placeNode(const ViewNode& node, Rect rect, ProposedSize offered,
                             const LayoutEnvironment& environment, Placement placement) {
    const auto sizeOf = [&](const View& child, ProposedSize proposal) {
        return sizeThatFits(child, proposal, environment);
    };
    const LayoutDirection direction = environment.layoutDirection;
    std::visit(
        [&](const auto& content) {
            using Node = std::decay_t<decltype(content)>;
            if constexpr (std::is_same_v<Node, EmptyNode>) {
                return;
            } else if constexpr (std::is_same_v<Node, TextNode>) {
                const Font& font = environment.font;
                const FittedText fitted = fitText(metrics(content, font), font.size, offered.width,
                                                  {environment.minimumScaleFactor, environment.allowsTightening});
                const Font shown{font.size * fitted.scale, font.weight, font.design};
                emit(TextRun{content.text, aligned(fitted.size, rect, Alignment::center(), direction), shown,
                             fitted.tracking, fitted.truncated, environment.foreground.withOpacity(placement.opacity),
                             direction},
                     placement);
            } else if constexpr (std::is_same_v<Node, SymbolNode>) {
                const double side = environment.font.size * symbolSizePerPoint;
                // A symbol that points along the line points the other way in right to left.
                const std::string name = direction == LayoutDirection::rightToLeft
                                             ? std::string(mirroredSymbolName(content.systemName))
                                             : content.systemName;
                emit(SymbolItem{name, aligned({side, side}, rect, Alignment::center(), direction), environment.font,
                                environment.foreground.withOpacity(placement.opacity)},
                     placement);
            } else if constexpr (std::is_same_v<Node, ShapeNode>) {
                Rect frame = rect;
                if (content.kind == ShapeKind::circle) {
                    const double side = std::min(rect.size.width, rect.size.height);
                    frame = aligned({side, side}, rect, Alignment::center(), direction);
                }
                const ShapeStyle fill = content.fill.value_or(environment.foreground).withOpacity(placement.opacity);
                emit(ShapeItem{content.kind, frame, content.cornerRadius, fill}, placement);
            } else if constexpr (std::is_same_v<Node, StackNode>) {
                const auto children = stackChildren(content.children);
                const auto layouts = stackChildLayouts(children, content.axis, content.spacing, offered, sizeOf);
                const bool horizontal = content.axis == Axis::horizontal;
                std::vector<Rect> rects;
                rects.reserve(layouts.size());
                // In right to left a horizontal stack runs from its right
                // edge leftwards, and a vertical one's leading children
                // stand at its right edge.
                const bool rightToLeft = direction == LayoutDirection::rightToLeft;
                const AxisAlignment crossAlignment =
                    horizontal ? content.alignment : horizontalAxisAlignment(content.alignment, direction);
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
                        rightToLeftPosition -= content.spacing;
                    } else if (horizontal) {
                        rects.push_back({{position, rect.origin.y + crossOffset}, size});
                    } else {
                        rects.push_back({{rect.origin.x + crossOffset, position}, size});
                    }
                    position += (horizontal ? size.width : size.height) + content.spacing;
                }
                placeChildren(
                    children, [&](std::size_t index) { return std::pair(rects[index], layouts[index].proposal); },
                    environment, placement);
            } else if constexpr (std::is_same_v<Node, ForEachNode>) {
                placeView(asColumn(node), rect, offered, environment, placement);
            } else if constexpr (std::is_same_v<Node, ZStackNode>) {
                const auto children = stackChildren(content.children);
                const auto frameOf = [&](std::size_t index) {
                    return std::pair(aligned(sizeOf(*children[index], offered), rect, content.alignment, direction),
                                     offered);
                };
                placeChildren(children, frameOf, environment, placement);
            } else if constexpr (std::is_same_v<Node, GeometryReaderNode>) {
                if (!content.content)
                    return;
                // The reader offers its content the whole of its own size,
                // and puts it at its top-leading corner.
                madeDuringPass_.push_back(content.content(rect.size));
                const View inside = madeDuringPass_.back();
                const ProposedSize whole = ProposedSize::of(rect.size);
                placeView(inside, aligned(sizeOf(inside, whole), rect, Alignment::topLeading(), direction), whole,
                          environment, placement);
            } else if constexpr (std::is_same_v<Node, FrameNode>) {
                const ProposedSize childProposal{content.width ? content.width : offered.width,
                                                 content.height ? content.height : offered.height};
                const Size child = sizeOf(content.child, childProposal);
                placeView(content.child, aligned(child, rect, content.alignment, direction), childProposal, environment,
                          placement);
            } else if constexpr (std::is_same_v<Node, FlexibleFrameNode>) {
                const FlexibleFrame& bounds = content.bounds;
                const ProposedSize childProposal{
                    flexibleProposal(offered.width, bounds.minWidth, bounds.idealWidth, bounds.maxWidth),
                    flexibleProposal(offered.height, bounds.minHeight, bounds.idealHeight, bounds.maxHeight)};
                const Size child = sizeOf(content.child, childProposal);
                placeView(content.child, aligned(child, rect, bounds.alignment, direction), childProposal, environment,
                          placement);
            } else if constexpr (std::is_same_v<Node, PaddingNode>) {
                const EdgeInsets& insets = content.insets;
                // The leading inset is on the right in right to left.
                const double left = direction == LayoutDirection::rightToLeft ? insets.trailing : insets.leading;
                const Rect inner{{rect.origin.x + left, rect.origin.y + insets.top},
                                 {std::max(0.0, rect.size.width - insets.horizontal()),
                                  std::max(0.0, rect.size.height - insets.vertical())}};
                const ProposedSize childProposal{reduced(offered.width, insets.horizontal()),
                                                 reduced(offered.height, insets.vertical())};
                const Size child = sizeOf(content.child, childProposal);
                placeView(content.child, aligned(child, inner, Alignment::topLeading(), direction), childProposal,
                          environment, placement);
            } else if constexpr (std::is_same_v<Node, FixedSizeNode>) {
                const ProposedSize childProposal{content.horizontal ? std::nullopt : offered.width,
                                                 content.vertical ? std::nullopt : offered.height};
                const Size child = sizeOf(content.child, childProposal);
                placeView(content.child, aligned(child, rect, Alignment::center(), direction), childProposal,
                          environment,
                          placement);
            } else if constexpr (std::is_same_v<Node, EnvironmentNode>) {
                placeView(content.child, rect, offered, applied(environment, content.change), placement);
            } else if constexpr (std::is_same_v<Node, OpacityNode>) {
                placement.opacity *= content.opacity;
                placeView(content.child, rect, offered, environment, placement);
            } else if constexpr (std::is_same_v<Node, ContentShapeNode>) {
                const bool claims = placement.action && !placement.clickAreaSet;
                Placement inner = placement;
                inner.clickAreaSet = inner.clickAreaSet || claims;
                placeView(content.child, rect, offered, environment, inner);
                if (claims)
                    list_.items.push_back(HitRegion{rect, *placement.action, placement.actionAccessibility()});
            } else if constexpr (std::is_same_v<Node, ActionNode>) {
                Placement inner = placement;
                inner.action = &content.action;
                inner.clickAreaSet = false;
                // The button or link is the element; a label it was given
                // speaks for everything its own label draws.
                inner.actionLabel = placement.label;
                inner.actionHidden = placement.hidden;
                inner.hidden = placement.hidden || placement.label;
                inner.label = nullptr;
                placeView(content.label, rect, offered, labelEnvironment(environment), inner);
            } else if constexpr (std::is_same_v<Node, AccessibilityNode>) {
                if (content.label)
                    placement.label = &*content.label;
                if (content.hidden)
                    placement.hidden = placement.hidden || *content.hidden;
                placeView(content.child, rect, offered, environment, placement);
            } else if constexpr (std::is_same_v<Node, ContainerBackgroundNode>) {
                list_.items.push_back(
                    ShapeItem{ShapeKind::rectangle, container_, 0.0, content.style.withOpacity(placement.opacity)});
                placeView(content.child, rect, offered, environment, placement);
            }
        },
        node.content);
}

DisplayList layout(const View& view, Size size, const TextMeasurer& measurer, const LayoutEnvironment& environment) {
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
