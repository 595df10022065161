#include "Platform/WidgetDesktop/GalleryWindow.h"

#include "Platform/WidgetDesktop/WidgetBackground.h"

#include <cmath>

namespace platform {

namespace {

const char* sizeName(WidgetFamily family) {
    return family == WidgetFamily::systemMedium ? "Medium" : "Small";
}

bool matches(const WidgetDescription& widget, const Glib::ustring& search) {
    if (search.empty())
        return true;
    const auto needle = search.casefold();
    for (const auto* text : {&widget.displayName, &widget.description, &widget.kind})
        if (Glib::ustring(*text).casefold().find(needle) != Glib::ustring::npos)
            return true;
    return false;
}

} // namespace

GalleryWindow::GalleryWindow(const Painter& painter, Appearance appearance)
    : painter_(painter)
    , appearance_(appearance) {
    set_title("Edit Widgets");
    set_default_size(520, 560);

    notice_.set_wrap(true);
    notice_.set_xalign(0);
    notice_.set_margin_start(12);
    notice_.set_margin_end(12);
    notice_.set_margin_top(12);
    notice_.set_visible(false);
    content_.append(notice_);

    // GTK 4.8's search entry is no Gtk::Entry; its placeholder is a property.
    g_object_set(search_.gobj(), "placeholder-text", "Search Widgets", nullptr);
    search_.set_margin(12);
    search_.signal_search_changed().connect(sigc::mem_fun(*this, &GalleryWindow::filter));
    content_.append(search_);

    list_.set_margin_start(18);
    list_.set_margin_end(18);
    list_.set_margin_bottom(18);
    empty_.set_text("No widgets");
    empty_.add_css_class("dim-label");
    empty_.set_margin(24);
    list_.append(empty_);
    scroller_.set_child(list_);
    scroller_.set_vexpand(true);
    scroller_.set_policy(Gtk::PolicyType::NEVER, Gtk::PolicyType::AUTOMATIC);
    content_.append(scroller_);
    set_child(content_);
    // Typing anywhere in the window searches.
    search_.set_key_capture_widget(*this);
}

Gtk::Box* GalleryWindow::makeRow(Entry& entry) {
    auto* row = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, 6);
    auto* name = Gtk::make_managed<Gtk::Label>();
    name->set_markup("<b>" + Glib::Markup::escape_text(entry.description.displayName) + "</b>");
    name->set_xalign(0);
    row->append(*name);
    entry.name = name;
    auto* description = Gtk::make_managed<Gtk::Label>(entry.description.description);
    entry.text = description;
    description->set_xalign(0);
    description->set_wrap(true);
    description->add_css_class("dim-label");
    row->append(*description);

    auto* sizes = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, 18);
    sizes->set_margin_top(6);
    for (const auto family : entry.description.families) {
        auto* column = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, 6);
        column->set_valign(Gtk::Align::END);
        auto* area = Gtk::make_managed<Gtk::DrawingArea>();
        const Size size = WidgetHost::size(family);
        area->set_content_width(static_cast<int>(std::lround(size.width * previewScale)));
        area->set_content_height(static_cast<int>(std::lround(size.height * previewScale)));
        const std::string kind = entry.description.kind;
        area->set_draw_func(
            [this, &entry, family](const Cairo::RefPtr<Cairo::Context>& cairo, int width, int height) {
                const auto& preview = entry.previews[family];
                fillWidgetBackground(cairo, width, height, 20.0 * previewScale, appearance_);
                if (!preview.picture)
                    return;
                cairo->scale(previewScale, previewScale);
                painter_.paint(cairo->cobj(), preview.picture->displayList, appearance_);
            });
        column->append(*area);
        auto* label = Gtk::make_managed<Gtk::Label>(sizeName(family));
        label->add_css_class("dim-label");
        column->append(*label);
        auto* add = Gtk::make_managed<Gtk::Button>("Add");
        add->set_tooltip_text(std::string("Put the ") + sizeName(family) + " widget on the desktop");
        add->set_halign(Gtk::Align::CENTER);
        add->signal_clicked().connect([this, kind, family] { add_.emit(kind, family); });
        column->append(*add);
        sizes->append(*column);
        entry.previews[family] = Preview{area, add, std::nullopt};
    }
    row->append(*sizes);
    return row;
}

void GalleryWindow::setWidgets(const std::vector<WidgetDescription>& widgets) {
    for (auto& entry : entries_)
        list_.remove(*entry->row);
    entries_.clear();
    for (const auto& widget : widgets) {
        auto entry = std::make_unique<Entry>();
        entry->description = widget;
        entry->row = makeRow(*entry);
        list_.append(*entry->row);
        entries_.push_back(std::move(entry));
    }
    filter();
}

void GalleryWindow::showPreview(const std::string& kind, WidgetFamily family, WidgetHost::Picture picture) {
    for (auto& entry : entries_) {
        if (entry->description.kind != kind)
            continue;
        auto found = entry->previews.find(family);
        if (found == entry->previews.end())
            continue;
        found->second.picture = std::move(picture);
        found->second.area->queue_draw();
        return;
    }
}

void GalleryWindow::setAppearance(Appearance appearance) {
    appearance_ = appearance;
    for (auto& entry : entries_)
        for (auto& [family, preview] : entry->previews)
            preview.area->queue_draw();
}

void GalleryWindow::setNotice(const std::string& notice) {
    notice_.set_text(notice);
    notice_.set_visible(!notice.empty());
}

void GalleryWindow::filter() {
    const auto search = search_.get_text();
    bool any = false;
    for (auto& entry : entries_) {
        const bool visible = matches(entry->description, search);
        entry->row->set_visible(visible);
        any = any || visible;
    }
    empty_.set_text(entries_.empty() ? "No widgets" : "No Results");
    empty_.set_visible(!any);
}

std::vector<GalleryWindow::Row> GalleryWindow::rows() const {
    std::vector<Row> rows;
    for (const auto& entry : entries_) {
        // What is on screen, read back from the labels themselves.
        Row row{entry->description.kind,   entry->name->get_text(),
                entry->text->get_text(),   {},
                entry->row->get_visible(), 0};
        for (const auto& [family, preview] : entry->previews) {
            if (preview.area->get_parent() && preview.add->get_parent())
                row.families.push_back(family);
            row.previewsPainted += preview.picture ? 1 : 0;
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

bool GalleryWindow::activateAdd(const std::string& kind, WidgetFamily family) {
    for (auto& entry : entries_)
        if (entry->description.kind == kind)
            if (auto found = entry->previews.find(family); found != entry->previews.end()) {
                g_signal_emit_by_name(found->second.add->gobj(), "clicked");
                return true;
            }
    return false;
}

} // namespace platform
