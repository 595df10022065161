#include "Platform/WidgetHost/AccessibleElements.h"

#include <algorithm>
#include <cmath>

namespace platform {

namespace {

Point centre(const Rect& frame) {
    return {frame.midX(), frame.midY()};
}

} // namespace

std::vector<AccessibleElement> accessibleElements(const DisplayList& list, bool rightToLeft) {
    std::vector<AccessibleElement> elements;
    // Buttons and links first: texts inside one read as part of it.
    std::vector<std::size_t> regions;
    for (const DisplayItem& item : list.items)
        if (const auto* region = std::get_if<HitRegion>(&item); region && !region->accessibility.hidden) {
            regions.push_back(elements.size());
            elements.push_back({region->isLink() ? AccessibleRole::link : AccessibleRole::button,
                                region->accessibility.label, region->frame});
        }
    // An unnamed button or link is named by the texts it shows. (What a
    // named one shows is hidden already; other texts over its click area,
    // such as a weekday beneath a step button, stand on their own.)
    // Of overlapping regions the later one lies on top, as for clicks.
    const auto unnamedRegionAt = [&](Point point) -> AccessibleElement* {
        for (auto index = regions.rbegin(); index != regions.rend(); ++index)
            if (elements[*index].frame.contains(point))
                return elements[*index].label.empty() ? &elements[*index] : nullptr;
        return nullptr;
    };
    std::vector<std::string> unlabelled(elements.size());
    std::vector<AccessibleElement> others;
    for (const DisplayItem& item : list.items) {
        std::visit(
            [&](const auto& value) {
                using Item = std::decay_t<decltype(value)>;
                if constexpr (!std::is_same_v<Item, HitRegion>) {
                    if (value.accessibility.hidden)
                        return;
                    std::string label = value.accessibility.label;
                    if constexpr (std::is_same_v<Item, TextRun>)
                        if (label.empty())
                            label = value.text;
                    if (label.empty())
                        return;
                    if (AccessibleElement* region = unnamedRegionAt(centre(value.frame))) {
                        std::string& gathered =
                            unlabelled[static_cast<std::size_t>(region - elements.data())];
                        gathered += (gathered.empty() ? "" : " ") + label;
                        return;
                    }
                    others.push_back(
                        {std::is_same_v<Item, TextRun> ? AccessibleRole::text : AccessibleRole::image, label,
                         value.frame});
                }
            },
            item);
    }
    for (std::size_t index = 0; index < unlabelled.size(); ++index)
        if (elements[index].label.empty())
            elements[index].label = unlabelled[index];
    elements.insert(elements.end(), others.begin(), others.end());

    // Reading order: by lines from the top; an element joins the line when
    // its centre lies within half the smaller height of the line's first
    // element's centre. Within a line, in the writing direction.
    std::stable_sort(elements.begin(), elements.end(),
                     [](const AccessibleElement& first, const AccessibleElement& second) {
                         return first.frame.midY() < second.frame.midY();
                     });
    std::size_t line = 0;
    const AccessibleElement* anchor = nullptr;
    for (AccessibleElement& element : elements) {
        if (anchor && std::abs(element.frame.midY() - anchor->frame.midY()) >=
                          std::min(element.frame.size.height, anchor->frame.size.height) / 2) {
            ++line;
            anchor = nullptr;
        }
        if (!anchor)
            anchor = &element;
        element.line = line;
    }
    std::stable_sort(elements.begin(), elements.end(),
                     [rightToLeft](const AccessibleElement& first, const AccessibleElement& second) {
                         if (first.line != second.line)
                             return first.line < second.line;
                         return rightToLeft ? first.frame.midX() > second.frame.midX()
                                            : first.frame.midX() < second.frame.midX();
                     });
    // A widget has a few dozen; a list of thousands would only make the
    // window slow (a child widget each): the first ones in reading order.
    constexpr std::size_t mostElements = 512;
    if (elements.size() > mostElements)
        elements.resize(mostElements);
    return elements;
}

} // namespace platform
