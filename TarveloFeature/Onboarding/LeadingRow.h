#pragma once

#include <gtkmm/widget.h>

namespace tarvelo {

// A decoration (a badge, an icon) before a block of wrapping text.
//
// A horizontal Gtk::Box would do the same, but it asks its wrapping labels
// for their width at given heights, and GtkLabel answers that by trying
// width after width, shaping the whole text each time. This row knows the
// decoration has a fixed size and asks the text only for its height at the
// width that is left, once per width: the page lays out several times
// faster, and looks the same.
class LeadingRow : public Gtk::Widget {
public:
    enum class Alignment {
        top,           // the decoration's top on the text's top
        firstBaseline, // the decoration's baseline on the text's first baseline
    };

    // Both widgets, managed and unparented, become the row's: they live as
    // long as it does.
    LeadingRow(Gtk::Widget& leading, Gtk::Widget& content, int spacing, Alignment alignment);
    ~LeadingRow() override;

    LeadingRow(const LeadingRow&) = delete;
    LeadingRow& operator=(const LeadingRow&) = delete;

    Gtk::Widget& leading() const { return *leading_; }
    Gtk::Widget& content() const { return *content_; }

protected:
    Gtk::SizeRequestMode get_request_mode_vfunc() const override;
    void measure_vfunc(Gtk::Orientation orientation, int forSize, int& minimum, int& natural,
                       int& minimumBaseline, int& naturalBaseline) const override;
    void size_allocate_vfunc(int width, int height, int baseline) override;

private:
    struct Placement {
        int leadingWidth;
        int leadingHeight;
        int leadingY;
        int leadingBaseline; // in the decoration's own coordinates, or -1
        int contentHeight;
        int contentY;
        int contentBaseline; // in the text's own coordinates, or -1
        int height;
    };
    void releaseChildren();

    // Where both go in a row `width` wide (-1: as wide as the text likes).
    Placement place(int width, bool natural) const;

    Gtk::Widget* leading_;
    Gtk::Widget* content_;
    int spacing_;
    Alignment alignment_;
};

} // namespace tarvelo
