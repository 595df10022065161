#pragma once

#include "TarveloFeature/Onboarding/PreviewFrame.h"
#include "TarveloFeature/Onboarding/WidgetArt.h"

#include <gtkmm/box.h>
#include <gtkmm/label.h>
#include <string>

namespace tarvelo {

// One picture of the widget with its caption under it. Assistive
// technologies read it as one image: "<label> size preview of the Tarvelo
// widget".
class WidgetPreview : public Gtk::Box {
public:
    // Loads the asset's picture from the application's resources.
    WidgetPreview(const WidgetArt::Asset& asset, const std::string& label, double width, double height);
    // Loads the picture from `resourcesFolder` instead.
    WidgetPreview(const WidgetArt::Asset& asset, const std::string& label, double width, double height,
                  const std::filesystem::path& resourcesFolder);

    const std::string& label() const { return label_; }
    PreviewFrame& frame() { return frame_; }
    Gtk::Label& caption() { return caption_; }

private:
    WidgetPreview(const WidgetArt::Asset& asset, const std::string& label, double width, double height,
                  const Glib::RefPtr<Gdk::Texture>& image);

    WidgetArt::Asset asset_;
    std::string label_;
    PreviewFrame frame_;
    Gtk::Label caption_;
};

} // namespace tarvelo
