#include "TarveloFeature/Onboarding/Step.h"

#include "Platform/Localization/Localization.h"
#include "TarveloFeature/Onboarding/Accessibility.h"
#include "TarveloFeature/Onboarding/LocalizedLabel.h"
#include "TarveloFeature/Onboarding/OnboardingStyle.h"

namespace tarvelo {

namespace {

constexpr int badgeSpacing = 12;

Gtk::Label& makeBadge(std::int64_t number) {
    auto* badge = Gtk::make_managed<Gtk::Label>(platform::localizedFormat("%lld", number));
    badge->set_justify(Gtk::Justification::CENTER);
    badge->add_css_class(OnboardingStyle::stepBadge);
    Accessibility::hide(*badge);
    return *badge;
}

} // namespace

Step::Step(std::int64_t number, const char* text)
    : LeadingRow(makeBadge(number), *Gtk::make_managed<LocalizedLabel>(text), badgeSpacing,
                 Alignment::firstBaseline)
    , number_(number) {
    set_valign(Gtk::Align::START);
}

} // namespace tarvelo
