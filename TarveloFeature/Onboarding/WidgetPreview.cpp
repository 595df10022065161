#include "TarveloFeature/Onboarding/WidgetPreview.h"

#include "TarveloFeature/Onboarding/Accessibility.h"
#include "TarveloFeature/Onboarding/OnboardingStyle.h"
#include "TarveloFeature/Onboarding/PreviewLabel.h"

#include <cmath>

namespace tarvelo {

WidgetPreview::WidgetPreview(const WidgetArt::Asset& asset, const std::string& label, double width,
                             double height)
    : WidgetPreview(asset, label, width, height, WidgetArt::resourcesFolder()) {}

WidgetPreview::WidgetPreview(const WidgetArt::Asset& asset, const std::string& label, double width,
                             double height, const std::filesystem::path& resourcesFolder)
    : WidgetPreview(asset, label, width, height,
                    WidgetArt::loadPreviewImage(asset.resourceName, resourcesFolder)) {}

WidgetPreview::WidgetPreview(const WidgetArt::Asset& asset, const std::string& label, double width,
                             double height, const Glib::RefPtr<Gdk::Texture>& image)
    : Gtk::Box(Gtk::Orientation::VERTICAL, 8)
    , asset_(asset)
    , label_(label)
    , frame_(image, static_cast<int>(std::lround(width)), static_cast<int>(std::lround(height)))
    , caption_(label) {
    set_halign(Gtk::Align::CENTER);
    set_valign(Gtk::Align::START);
    frame_.set_halign(Gtk::Align::CENTER);
    caption_.set_use_markup(false);
    caption_.add_css_class(OnboardingStyle::callout);
    caption_.add_css_class(OnboardingStyle::secondary);
    append(frame_);
    append(caption_);

    // One element for assistive technologies: an image with a spoken label;
    // the caption is not read again on its own.
    property_accessible_role().set_value(Gtk::Accessible::Role::IMG);
    Accessibility::setLabel(*this, previewAccessibilityLabel(label_));
    Accessibility::hide(frame_);
    Accessibility::hide(caption_);
}

} // namespace tarvelo
