#include "TarveloFeature/Onboarding/LocalizedLabel.h"

#include "Platform/Localization/Localization.h"
#include "TarveloFeature/Onboarding/MarkdownEmphasis.h"

namespace tarvelo {

LocalizedLabel::LocalizedLabel(const char* key, std::initializer_list<const char*> styleClasses) {
    set_markup(MarkdownEmphasis::pangoMarkup(platform::localized(key)));
    set_wrap(true);
    set_wrap_mode(Pango::WrapMode::WORD_CHAR);
    // The label fills the column anyway: skip GTK's search for a pleasant
    // natural wrap width, which shapes the text over and over.
    set_natural_wrap_mode(Gtk::NaturalWrapMode::NONE);
    set_xalign(0.0F);
    // Across the whole column: a wrapping label left to its natural width
    // would wrap early, at a width GTK guesses for a pleasant shape.
    set_halign(Gtk::Align::FILL);
    for (const char* styleClass : styleClasses)
        add_css_class(styleClass);
}

} // namespace tarvelo
