#include "TarveloFeature/Onboarding/LeadingRow.h"

#include <algorithm>

namespace tarvelo {

namespace {

struct Size {
    int minimum = 0;
    int natural = 0;
    int minimumBaseline = -1;
    int naturalBaseline = -1;
};

Size measureChild(const Gtk::Widget& widget, Gtk::Orientation orientation, int forSize) {
    Size size;
    widget.measure(orientation, forSize, size.minimum, size.natural, size.minimumBaseline,
                   size.naturalBaseline);
    return size;
}

} // namespace

LeadingRow::LeadingRow(Gtk::Widget& leading, Gtk::Widget& content, int spacing, Alignment alignment)
    : leading_(&leading)
    , content_(&content)
    , spacing_(spacing)
    , alignment_(alignment) {
    // GTK reports a widget's baseline only when it is to be aligned by it.
    if (alignment_ == Alignment::firstBaseline) {
        leading_->set_valign(Gtk::Align::BASELINE);
        content_->set_valign(Gtk::Align::BASELINE);
    }
    leading_->set_parent(*this);
    content_->set_parent(*this);
    // A row that its window destroys is disposed of before this object is
    // deleted, and GTK wants the children gone by then.
    signal_destroy().connect([this] { releaseChildren(); });
}

LeadingRow::~LeadingRow() {
    releaseChildren();
}

void LeadingRow::releaseChildren() {
    // Unparented, a managed child is gone.
    for (Gtk::Widget** child : {&leading_, &content_}) {
        if (*child)
            (*child)->unparent();
        *child = nullptr;
    }
}

Gtk::SizeRequestMode LeadingRow::get_request_mode_vfunc() const {
    return Gtk::SizeRequestMode::HEIGHT_FOR_WIDTH;
}

LeadingRow::Placement LeadingRow::place(int width, bool natural) const {
    const Size leadingWidth = measureChild(*leading_, Gtk::Orientation::HORIZONTAL, -1);
    const Size leadingHeight = measureChild(*leading_, Gtk::Orientation::VERTICAL, -1);
    const int contentWidth = width < 0 ? -1 : std::max(0, width - leadingWidth.natural - spacing_);
    const Size contentHeight = measureChild(*content_, Gtk::Orientation::VERTICAL, contentWidth);

    Placement placement{};
    placement.leadingBaseline = -1;
    placement.contentBaseline = -1;
    placement.leadingWidth = leadingWidth.natural;
    placement.leadingHeight = leadingHeight.natural;
    placement.contentHeight = natural ? contentHeight.natural : contentHeight.minimum;
    const int leadingBaseline = leadingHeight.naturalBaseline;
    const int contentBaseline = natural ? contentHeight.naturalBaseline : contentHeight.minimumBaseline;
    if (alignment_ == Alignment::firstBaseline && leadingBaseline >= 0 && contentBaseline >= 0) {
        const int baseline = std::max(leadingBaseline, contentBaseline);
        placement.leadingY = baseline - leadingBaseline;
        placement.contentY = baseline - contentBaseline;
        // Handed on, so that each draws its text on that line rather than
        // centred in its box.
        placement.leadingBaseline = leadingBaseline;
        placement.contentBaseline = contentBaseline;
    }
    placement.height =
        std::max(placement.leadingY + placement.leadingHeight, placement.contentY + placement.contentHeight);
    return placement;
}

void LeadingRow::measure_vfunc(Gtk::Orientation orientation, int forSize, int& minimum, int& natural,
                               int& minimumBaseline, int& naturalBaseline) const {
    minimumBaseline = -1;
    naturalBaseline = -1;
    minimum = 0;
    natural = 0;
    if (!leading_ || !content_)
        return;
    if (orientation == Gtk::Orientation::HORIZONTAL) {
        // Widths never depend on a height here: asking the text for its
        // width at a height is exactly the costly question this row avoids.
        const Size leading = measureChild(*leading_, orientation, -1);
        const Size content = measureChild(*content_, orientation, -1);
        minimum = leading.natural + spacing_ + content.minimum;
        natural = leading.natural + spacing_ + content.natural;
        return;
    }
    minimum = place(forSize, false).height;
    natural = place(forSize, true).height;
}

void LeadingRow::size_allocate_vfunc(int width, int height, int) {
    if (!leading_ || !content_)
        return;
    const Placement placement = place(width, true);
    const int contentX = placement.leadingWidth + spacing_;
    const int contentWidth = std::max(0, width - contentX);
    const bool rightToLeft = get_direction() == Gtk::TextDirection::RTL;
    leading_->size_allocate({rightToLeft ? width - placement.leadingWidth : 0, placement.leadingY,
                             placement.leadingWidth, placement.leadingHeight},
                            placement.leadingBaseline);
    content_->size_allocate({rightToLeft ? 0 : contentX, placement.contentY, contentWidth,
                             std::max(placement.contentHeight, height - placement.contentY)},
                            placement.contentBaseline);
}

} // namespace tarvelo
