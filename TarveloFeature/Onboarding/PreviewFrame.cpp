#include "TarveloFeature/Onboarding/PreviewFrame.h"

#include "TarveloFeature/Onboarding/OnboardingStyle.h"

namespace tarvelo {

PreviewFrame::PreviewFrame(const Glib::RefPtr<Gdk::Texture>& image, int width, int height)
    : width_(width)
    , height_(height)
    , showsPlaceholder_(!image) {
    add_css_class(OnboardingStyle::previewFrame);
    // Children are clipped to the frame's rounded corners.
    set_overflow(Gtk::Overflow::HIDDEN);

    if (image) {
        picture_.set_paintable(image);
        picture_.set_content_fit(Gtk::ContentFit::CONTAIN);
        picture_.set_can_shrink(true);
        overlay_.set_child(picture_);
    } else {
        placeholderText_.set_text("Preview unavailable");
        placeholderText_.set_wrap(true);
        placeholderText_.set_justify(Gtk::Justification::CENTER);
        placeholderText_.set_margin(6);
        placeholderText_.set_halign(Gtk::Align::CENTER);
        placeholderText_.set_valign(Gtk::Align::CENTER);
        placeholderText_.set_hexpand(true);
        placeholderText_.set_vexpand(true);
        placeholderText_.add_css_class(OnboardingStyle::caption);
        placeholderText_.add_css_class(OnboardingStyle::secondary);
        placeholder_.add_css_class(OnboardingStyle::previewPlaceholder);
        placeholder_.append(placeholderText_);
        overlay_.set_child(placeholder_);
    }
    border_.add_css_class(OnboardingStyle::previewBorder);
    border_.set_can_target(false);
    overlay_.add_overlay(border_);
    overlay_.set_parent(*this);
}

PreviewFrame::~PreviewFrame() {
    overlay_.unparent();
}

Gtk::SizeRequestMode PreviewFrame::get_request_mode_vfunc() const {
    return Gtk::SizeRequestMode::CONSTANT_SIZE;
}

void PreviewFrame::measure_vfunc(Gtk::Orientation orientation, int, int& minimum, int& natural,
                                 int& minimumBaseline, int& naturalBaseline) const {
    // Exactly the frame's size: the picture is fitted into it, never the
    // other way round.
    minimum = natural = orientation == Gtk::Orientation::HORIZONTAL ? width_ : height_;
    minimumBaseline = naturalBaseline = -1;
}

void PreviewFrame::size_allocate_vfunc(int width, int height, int baseline) {
    overlay_.size_allocate(Gtk::Allocation(0, 0, width, height), baseline);
}

} // namespace tarvelo
