#include "Step.h"

#include "Accessibility.h"
#include "Localization.h"
#include "OnboardingStyle.h"

namespace tarvelo {

namespace {

constexpr int badgeDiameter = 22;

} // namespace

Step::Step(std::int64_t number, const char* text)
    : Gtk::Box(Gtk::Orientation::HORIZONTAL, 12)
    , number_(number)
    , text_(text) {
    set_valign(Gtk::Align::START);

    badge_.set_text(platform::localizedFormat("%lld", number_));
    badge_.set_size_request(badgeDiameter, badgeDiameter);
    badge_.set_justify(Gtk::Justification::CENTER);
    badge_.set_valign(Gtk::Align::BASELINE);
    badge_.add_css_class(OnboardingStyle::stepBadge);
    Accessibility::hide(badge_);

    text_.set_valign(Gtk::Align::BASELINE);
    text_.set_hexpand(true);

    append(badge_);
    append(text_);
}

} // namespace tarvelo
