#pragma once

#include "TarveloFeature/Onboarding/LeadingRow.h"

#include <cstdint>
#include <gtkmm/label.h>

namespace tarvelo {

// One numbered instruction: a round badge with the number, then the text,
// aligned on the text's first baseline. Assistive technologies read only
// the text; the number is decoration.
class Step : public LeadingRow {
public:
    // `text` is a localizable key and may carry "**…**" emphasis.
    Step(std::int64_t number, const char* text);

    std::int64_t number() const { return number_; }
    const Gtk::Label& textLabel() const { return static_cast<const Gtk::Label&>(content()); }
    Gtk::Label& textLabel() { return static_cast<Gtk::Label&>(content()); }

private:
    std::int64_t number_;
};

} // namespace tarvelo
