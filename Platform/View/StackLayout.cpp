#include "Platform/View/StackLayout.h"

#include "Platform/View/ViewNode.h"

#include <algorithm>
#include <limits>

namespace platform {

namespace {

double& along(Size& size, Axis axis) {
    return axis == Axis::horizontal ? size.width : size.height;
}
double along(const Size& size, Axis axis) {
    return axis == Axis::horizontal ? size.width : size.height;
}
double across(const Size& size, Axis axis) {
    return axis == Axis::horizontal ? size.height : size.width;
}

std::optional<double>& along(ProposedSize& proposal, Axis axis) {
    return axis == Axis::horizontal ? proposal.width : proposal.height;
}

ProposedSize withMain(ProposedSize proposal, Axis axis, std::optional<double> length) {
    along(proposal, axis) = length;
    return proposal;
}

} // namespace

std::vector<const View*> stackChildren(const std::vector<View>& children) {
    std::size_t count = 0;
    visitStackChildren(children, [&count](const View&) { ++count; });
    std::vector<const View*> result;
    result.reserve(count);
    visitStackChildren(children, [&result](const View& child) { result.push_back(&child); });
    return result;
}

std::vector<ChildLayout> stackChildLayouts(const std::vector<const View*>& children, Axis axis,
                                           double spacing, ProposedSize proposal, const SizeOfChild& sizeOf) {
    const std::size_t count = children.size();
    std::vector<ChildLayout> sizes(count);
    if (count == 0)
        return sizes;

    // Without a length on the main axis every child takes its ideal size.
    const std::optional<double> offered = along(proposal, axis);
    if (!offered) {
        for (std::size_t index = 0; index < count; ++index)
            sizes[index] = {proposal, sizeOf(*children[index], proposal)};
        return sizes;
    }

    // Pass 1: each child's smallest and largest length, and so its flexibility.
    constexpr double infinity = std::numeric_limits<double>::infinity();
    std::vector<double> minimum(count);
    std::vector<double> flexibility(count);
    for (std::size_t index = 0; index < count; ++index) {
        minimum[index] = along(sizeOf(*children[index], withMain(proposal, axis, 0.0)), axis);
        const double maximum = along(sizeOf(*children[index], withMain(proposal, axis, infinity)), axis);
        flexibility[index] = maximum - minimum[index];
    }

    // Pass 2: the priorities, highest first.
    std::vector<double> priorities;
    priorities.reserve(children.size());
    for (const View* child : children)
        priorities.push_back(child->layoutPriorityValue());
    std::sort(priorities.begin(), priorities.end(), std::greater<>());
    priorities.erase(std::unique(priorities.begin(), priorities.end()), priorities.end());

    // Pass 3: hand out the space group by group; a group may use what is
    // left once the lower groups have their minimum.
    double available = *offered - spacing * static_cast<double>(count - 1);
    for (const double priority : priorities) {
        std::vector<std::size_t> group;
        double lowerMinimum = 0.0;
        for (std::size_t index = 0; index < count; ++index) {
            const double childPriority = children[index]->layoutPriorityValue();
            if (childPriority == priority)
                group.push_back(index);
            else if (childPriority < priority)
                lowerMinimum += minimum[index];
        }
        std::stable_sort(group.begin(), group.end(), [&](std::size_t first, std::size_t second) {
            return flexibility[first] < flexibility[second];
        });
        double groupAvailable = available - lowerMinimum;
        std::size_t remaining = group.size();
        for (const std::size_t index : group) {
            const double share = std::max(0.0, groupAvailable / static_cast<double>(remaining));
            const ProposedSize offer = withMain(proposal, axis, share);
            sizes[index] = {offer, sizeOf(*children[index], offer)};
            groupAvailable -= along(sizes[index].size, axis);
            available -= along(sizes[index].size, axis);
            --remaining;
        }
    }
    return sizes;
}

Size stackSize(const std::vector<ChildLayout>& children, Axis axis, double spacing) {
    Size result;
    if (children.empty())
        return result;
    double main = spacing * static_cast<double>(children.size() - 1);
    double cross = 0.0;
    for (const ChildLayout& child : children) {
        main += along(child.size, axis);
        cross = std::max(cross, across(child.size, axis));
    }
    along(result, axis) = main;
    if (axis == Axis::horizontal)
        result.height = cross;
    else
        result.width = cross;
    return result;
}

} // namespace platform
