#include "TarveloFeature/Onboarding/SectionHeading.h"

#include "TarveloFeature/Onboarding/OnboardingStyle.h"

namespace tarvelo {

SectionHeading::SectionHeading(const std::string& text)
    : text_(text) {
    set_text(text_);
    set_use_markup(false);
    set_use_underline(false);
    // One line as a rule; a very long heading wraps rather than widening the page.
    set_wrap(true);
    set_xalign(0.0F);
    set_halign(Gtk::Align::START);
    add_css_class(OnboardingStyle::sectionHeading);
    // Read as a heading, so that the page can be skimmed section by section.
    property_accessible_role().set_value(Gtk::Accessible::Role::HEADING);
}

} // namespace tarvelo
