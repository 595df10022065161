#pragma once

#include "Platform/View/Geometry.h"
#include "Platform/View/View.h"
#include "Platform/View/ViewNode.h"

#include <functional>
#include <vector>

namespace platform {

// How a child answers a proposal; layout passes its own sizing function.
using SizeOfChild = std::function<Size(const View& child, ProposedSize proposal)>;

// Calls `visit` with `view` as a stack lays it out among its children:
// ForEach elements spliced in (recursively), empty views left out (they
// take no spacing either).
template <typename Visit> void visitStackChild(const View& view, const Visit& visit) {
    if (std::holds_alternative<EmptyNode>(view.node().content))
        return;
    if (const auto* each = std::get_if<ForEachNode>(&view.node().content)) {
        for (const ForEachElement& element : each->elements)
            visitStackChild(element.view, visit);
        return;
    }
    visit(view);
}

// Calls `visit` with each child of a stack as it lays them out, in order.
template <typename Visit> void visitStackChildren(const std::vector<View>& children, const Visit& visit) {
    for (const View& child : children)
        visitStackChild(child, visit);
}

// The children of a stack as it lays them out, as visitStackChildren visits them.
std::vector<const View*> stackChildren(const std::vector<View>& children);

// What a stack offered one child, and what the child took.
struct ChildLayout {
    ProposedSize proposal;
    Size size;
};

// The sizes a stack along `axis` gives its children for `proposal`, in
// child order. The space left after spacing goes first to the children of
// the highest layout priority (the others kept at their minimum), and within
// one priority to the least flexible child first, each offered an equal
// share of what is left, so flexible children take what the rigid ones leave.
std::vector<ChildLayout> stackChildLayouts(const std::vector<const View*>& children, Axis axis,
                                           double spacing, ProposedSize proposal, const SizeOfChild& sizeOf);

// The stack's own size for its children's layouts.
Size stackSize(const std::vector<ChildLayout>& children, Axis axis, double spacing);

} // namespace platform
