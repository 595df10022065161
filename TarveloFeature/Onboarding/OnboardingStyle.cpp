#include "TarveloFeature/Onboarding/OnboardingStyle.h"

#include <gdkmm/display.h>
#include <gtkmm/cssprovider.h>
#include <gtkmm/stylecontext.h>

namespace tarvelo::OnboardingStyle {

namespace {

// Colours are derived from the theme's own where they touch text, so the
// page reads well in light and dark alike: the orange of text is mixed
// towards the foreground (darker on light, lighter on dark).
constexpr const char* styleSheet = R"css(
@define-color tarvelo_orange #ff9500;

.tarvelo-app-title { font-size: 28px; font-weight: 600; }
.tarvelo-section-heading { font-size: 17px; font-weight: 600; }
.tarvelo-title3 { font-size: 115%; }
.tarvelo-headline { font-weight: 600; }
.tarvelo-callout { font-size: 92%; }
.tarvelo-caption { font-size: 77%; }

.tarvelo-warning-text { color: mix(@tarvelo_orange, @theme_fg_color, 0.35); }
.tarvelo-warning-icon { color: @tarvelo_orange; }
.tarvelo-warning-box {
  background-color: alpha(@tarvelo_orange, 0.1);
  border: 1px solid alpha(@tarvelo_orange, 0.35);
  border-radius: 10px;
  padding: 16px;
}

.tarvelo-step-badge {
  background-color: @theme_selected_bg_color;
  color: white;
  border-radius: 11px;
  min-width: 22px;
  min-height: 22px;
  font-size: 13px;
  font-weight: 600;
  font-feature-settings: "tnum";
}

.tarvelo-preview-frame {
  border-radius: 12px;
  box-shadow: 0 2px 12px alpha(black, 0.18);
}
.tarvelo-preview-border {
  border: 1px solid alpha(@theme_fg_color, 0.12);
  border-radius: 12px;
}
.tarvelo-preview-placeholder { background-color: alpha(@theme_fg_color, 0.08); }

.tarvelo-picker-face { margin-top: 3px; margin-bottom: 3px; }
button.tarvelo-picker-entry { padding: 4px 10px 4px 6px; font-weight: normal; }
)css";

} // namespace

void install() {
    static bool installed = false;
    auto display = Gdk::Display::get_default();
    if (installed || !display)
        return;
    auto provider = Gtk::CssProvider::create();
    provider->load_from_data(styleSheet);
    Gtk::StyleContext::add_provider_for_display(display, provider, GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    installed = true;
}

} // namespace tarvelo::OnboardingStyle
