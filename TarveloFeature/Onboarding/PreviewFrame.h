#pragma once

#include <gdkmm/texture.h>
#include <gtkmm/box.h>
#include <gtkmm/label.h>
#include <gtkmm/overlay.h>
#include <gtkmm/picture.h>
#include <gtkmm/widget.h>

namespace tarvelo {

// A picture in a frame of exactly the given size, whatever the picture's
// own: fitted with its aspect ratio kept, clipped to rounded corners (radius
// 12), with a hairline inner border and a soft shadow. Without a picture it
// shows the placeholder "Preview unavailable" in the same frame.
class PreviewFrame : public Gtk::Widget {
public:
    // `image` may be null. Sizes are in points.
    PreviewFrame(const Glib::RefPtr<Gdk::Texture>& image, int width, int height);
    ~PreviewFrame() override;

    PreviewFrame(const PreviewFrame&) = delete;
    PreviewFrame& operator=(const PreviewFrame&) = delete;

    bool showsPlaceholder() const { return showsPlaceholder_; }

protected:
    Gtk::SizeRequestMode get_request_mode_vfunc() const override;
    void measure_vfunc(Gtk::Orientation orientation, int forSize, int& minimum, int& natural,
                       int& minimumBaseline, int& naturalBaseline) const override;
    void size_allocate_vfunc(int width, int height, int baseline) override;

private:
    int width_;
    int height_;
    bool showsPlaceholder_;
    Gtk::Overlay overlay_;
    Gtk::Picture picture_;
    Gtk::Box placeholder_;
    Gtk::Label placeholderText_;
    // Drawn over the picture, so the border stays visible on any image.
    Gtk::Box border_;
};

} // namespace tarvelo
