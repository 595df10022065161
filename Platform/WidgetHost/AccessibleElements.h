#pragma once

#include "Platform/View/DisplayList.h"

#include <cstddef>
#include <string>
#include <vector>

namespace platform {

// What assistive technologies are shown of a widget's picture: its texts,
// its buttons and links by role and name, and its labelled shapes and
// symbols as images. Items marked hidden, and texts that a named button or
// link speaks for, are left out; an unnamed button or link is named by the
// texts inside it.
enum class AccessibleRole { text, button, link, image };

struct AccessibleElement {
    AccessibleRole role = AccessibleRole::text;
    std::string label;
    Rect frame;
    std::size_t line = 0; // index of its line in reading order
};

// The elements of a display list in reading order: line by line from the
// top (an element joins a line when its centre lies within half the
// smaller height of the line's first element's centre), each line in the
// writing direction. At most 512: a widget has a few dozen.
std::vector<AccessibleElement> accessibleElements(const DisplayList& list, bool rightToLeft = false);

} // namespace platform
