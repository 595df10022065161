#pragma once

#include "Platform/View/DisplayList.h"
#include "Platform/View/LayoutEnvironment.h"
#include "Platform/View/TextMeasurer.h"
#include "Platform/View/View.h"

#include <deque>
#include <memory>
#include <memory_resource>
#include <unordered_map>
#include <variant>
#include <vector>

namespace platform {

struct TextNode;
struct ViewNode;

// One layout pass over a view tree: sizing (what a view wants for a
// proposal) and placing (emitting display items for the rectangle a view
// was given). Every container first asks its children for their sizes and
// then places each child at exactly the size it asked for.
class LayoutEngine {
public:
    LayoutEngine(const TextMeasurer& measurer, Rect container);

    Size sizeThatFits(const View& view, ProposedSize proposal, const LayoutEnvironment& environment) const;
    // Places `view` at `rect`, the size it asked for when offered `proposal`.
    void place(const View& view, Rect rect, ProposedSize proposal, const LayoutEnvironment& environment);

    DisplayList takeDisplayList();

private:
    // A ForEach outside a stack, as the column it is laid out as.
    const View& asColumn(const ViewNode& forEach) const;

private:
    // What placing carries down besides the environment.
    struct Placement {
        double opacity = 1.0;
        const std::variant<IntentReference, URL>* action = nullptr; // inside a button or link
        bool clickAreaSet = false; // a content shape already made the whole label clickable
        // Accessibility of the items placed, and of the enclosing button or link.
        const std::string* label = nullptr;
        bool hidden = false;
        const std::string* actionLabel = nullptr;
        bool actionHidden = false;
        Accessibility accessibility() const { return {label ? *label : std::string(), hidden}; }
        Accessibility actionAccessibility() const {
            return {actionLabel ? *actionLabel : std::string(), actionHidden};
        }
    };

    // Each node kind's layout, written once in the source: NodeLayout<Kind>
    // sizes a node of that kind and places it, seeing the engine through
    // Sizing and Placing.
    template <typename Node> struct NodeLayout;
    struct Sizing;
    struct Placing;

    Size sizeOfNode(const ViewNode& node, ProposedSize proposal, const LayoutEnvironment& environment) const;
    const TextMetrics& metrics(const TextNode& text, const Font& font) const;
    void placeView(const View& view, Rect rect, ProposedSize proposal, const LayoutEnvironment& environment,
                   const Placement& placement);
    void placeNode(const ViewNode& node, Rect rect, ProposedSize offered,
                   const LayoutEnvironment& environment, Placement placement);
    // Places children in painting order (by z-index, then in order);
    // `frameOf(index)` gives a child's rectangle and the proposal it was sized for.
    template <typename FrameOf>
    void placeChildren(const std::vector<const View*>& children, const FrameOf& frameOf,
                       const LayoutEnvironment& environment, const Placement& placement);
    void emit(DisplayItem item, const Placement& placement);

    // Sizing asks the same child the same question many times (stacks ask
    // for the smallest, the largest and the actual size, at every level), so
    // stacks' answers and texts' metrics are kept for the pass. A node is
    // identified by its address; the nodes made during the pass are kept
    // alive so no address is reused.
    struct SizingQuestion {
        const ViewNode* node;
        ProposedSize proposal;
        LayoutEnvironment environment;
        bool operator==(const SizingQuestion&) const = default;
    };
    struct SizingQuestionHash {
        std::size_t operator()(const SizingQuestion& question) const;
    };
    struct TextQuestion {
        const TextNode* text;
        Font font;
        bool operator==(const TextQuestion&) const = default;
    };
    struct TextQuestionHash {
        std::size_t operator()(const TextQuestion& question) const;
    };

    const TextMeasurer& measurer_;
    Rect container_;
    DisplayList list_;
    // The answers live in an arena: dozens of them per pass, freed at once.
    mutable std::pmr::monotonic_buffer_resource arena_{16 * 1024};
    mutable std::pmr::unordered_map<SizingQuestion, Size, SizingQuestionHash> sizes_{128, &arena_};
    mutable std::pmr::unordered_map<TextQuestion, TextMetrics, TextQuestionHash> textMetrics_{128, &arena_};
    mutable std::vector<View> madeDuringPass_;
    mutable std::deque<std::pair<const ViewNode*, View>> columns_;
};

} // namespace platform
