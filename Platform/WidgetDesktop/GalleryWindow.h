#pragma once

#include "Platform/Painter/Painter.h"
#include "Platform/WidgetHost/WidgetHost.h"

#include <gtkmm.h>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace platform {

// "Edit Widgets": every widget the installed extensions offer, by name and
// description, each size previewed live, with a search field and an "Add"
// button per size.
class GalleryWindow : public Gtk::Window {
public:
    GalleryWindow(const Painter& painter, Appearance appearance);

    // Shows these widgets (replacing any shown before); their previews are
    // blank until `showPreview` brings them.
    void setWidgets(const std::vector<WidgetDescription>& widgets);
    void showPreview(const std::string& kind, WidgetFamily family, WidgetHost::Picture picture);
    void setAppearance(Appearance appearance);
    // One line above the widgets about what this desktop does to them
    // (empty: none).
    void setNotice(const std::string& notice);

    // The user wants a widget of this kind and size on the desktop.
    sigc::signal<void(std::string, WidgetFamily)>& signalAdd() { return add_; }

    // What the gallery offers now (tests): per widget, its texts and sizes,
    // and whether its row passes the search.
    struct Row {
        std::string kind;
        std::string displayName;
        std::string description;
        std::vector<WidgetFamily> families;
        bool visible = false;
        int previewsPainted = 0;
    };
    std::vector<Row> rows() const;
    Gtk::SearchEntry& searchEntry() { return search_; }
    // Activates the "Add" button of a widget's size, as a click would (tests).
    bool activateAdd(const std::string& kind, WidgetFamily family);

    // How big the previews are drawn, relative to the widget on the desktop.
    static constexpr double previewScale = 0.75;

private:
    struct Preview {
        Gtk::DrawingArea* area = nullptr;
        Gtk::Button* add = nullptr;
        std::optional<WidgetHost::Picture> picture;
    };
    struct Entry {
        WidgetDescription description;
        Gtk::Box* row = nullptr;
        Gtk::Label* name = nullptr;
        Gtk::Label* text = nullptr;
        std::map<WidgetFamily, Preview> previews;
    };

    void filter();
    Gtk::Box* makeRow(Entry& entry);

    const Painter& painter_;
    Appearance appearance_;
    Gtk::Box content_{Gtk::Orientation::VERTICAL, 0};
    Gtk::Label notice_;
    Gtk::SearchEntry search_;
    Gtk::ScrolledWindow scroller_;
    Gtk::Box list_{Gtk::Orientation::VERTICAL, 18};
    Gtk::Label empty_;
    std::vector<std::unique_ptr<Entry>> entries_;
    sigc::signal<void(std::string, WidgetFamily)> add_;
};

} // namespace platform
