#include "TarveloFeature/Onboarding/CalendarAppPicker.h"

#include "Platform/Windowing/FileChooserOpenPanel.h"
#include "TarveloFeature/Onboarding/Accessibility.h"
#include "TarveloFeature/Onboarding/OnboardingStyle.h"

#include <giomm/icon.h>
#include <giomm/themedicon.h>
#include <glibmm/main.h>
#include <gtk/gtk.h>
#include <gtkmm/button.h>
#include <gtkmm/separator.h>
#include <gtkmm/window.h>
#include <sigc++/adaptors/track_obj.h>

namespace tarvelo {

namespace {

constexpr int faceIconSize = 18;
constexpr int checkmarkSize = 16;
// Characters of a calendar's name shown before an ellipsis; real names are
// far shorter.
constexpr int longestTitle = 40;
constexpr const char* checkmarkIcon = "object-select-symbolic";
constexpr const char* genericApplicationIcon = "application-x-executable";

Glib::RefPtr<Gio::Icon> iconFromString(const std::string& serialised) {
    try {
        if (auto icon = Gio::Icon::create(serialised))
            return icon;
    } catch (const Glib::Error&) {
        // Not an icon GIO understands: show the generic one.
    }
    return Gio::ThemedIcon::create(genericApplicationIcon);
}

} // namespace

CalendarAppPicker::CalendarAppPicker(CalendarAppPreference& preference)
    : CalendarAppPicker(preference, platform::Workspace::shared(), {}) {}

CalendarAppPicker::CalendarAppPicker(CalendarAppPreference& preference, platform::Workspace& workspace,
                                     CalendarAppPickerModel::OpenPanelMaker makeOpenPanel)
    : Gtk::Box(Gtk::Orientation::VERTICAL, 12)
    , model_(preference, workspace,
             makeOpenPanel
                 ? std::move(makeOpenPanel)
                 : CalendarAppPickerModel::OpenPanelMaker([this]() -> std::unique_ptr<platform::OpenPanel> {
                       return std::make_unique<platform::FileChooserOpenPanel>(
                           dynamic_cast<Gtk::Window*>(get_root()));
                   }))
    , heading_("When you click a date")
    , face_(Gtk::Orientation::HORIZONTAL, 8)
    , entriesBox_(Gtk::Orientation::VERTICAL, 0)
    , warning_(
          "That application is not on this computer right now, so dates open in the system default until "
          "you choose again.",
          {OnboardingStyle::callout, OnboardingStyle::warningText})
    , explanation_("Clicking a day in the widget opens this application. Tarvelo only launches it: your "
                   "calendar is never read, and the choice stays on this computer.",
                   {OnboardingStyle::callout, OnboardingStyle::secondary}) {
    set_halign(Gtk::Align::FILL);

    // The face: icon and title, held at their natural size.
    icon_.set_pixel_size(faceIconSize);
    Accessibility::hide(icon_);
    title_.set_use_markup(false);
    // A stored name can be anything, 100 KB long: it is cut with an ellipsis
    // rather than widen the window, in the middle so that "(not installed)"
    // stays in sight.
    title_.set_ellipsize(Pango::EllipsizeMode::MIDDLE);
    title_.set_max_width_chars(longestTitle);
    face_.set_valign(Gtk::Align::CENTER);
    face_.add_css_class(OnboardingStyle::pickerFace);
    face_.append(icon_);
    face_.append(title_);
    gtk_menu_button_set_child(menuButton_.gobj(), GTK_WIDGET(face_.gobj()));
    menuButton_.set_has_frame(false);
    menuButton_.set_always_show_arrow(true);
    menuButton_.set_halign(Gtk::Align::START);
    menuButton_.set_hexpand(false);

    entriesBox_.property_accessible_role().set_value(Gtk::Accessible::Role::MENU);
    popover_.set_child(entriesBox_);
    popover_.set_has_arrow(false);
    menuButton_.set_popover(popover_);

    append(heading_);
    append(menuButton_);
    append(warning_);
    append(explanation_);

    // The preference announces a change before it writes it: look again
    // once the write is done. Refreshing later also keeps a menu entry
    // from being rebuilt while its own click is being handled.
    model_.candidatesDidChange.connect(sigc::track_obj([this] { scheduleRefresh(); }, *this));
    model_.preference.objectWillChange.connect(sigc::track_obj([this] { scheduleRefresh(); }, *this));
    // "Comes on screen": every time the section is mapped, not at redraws.
    signal_map().connect([this] { model_.reloadCandidates(); });
    refresh();
}

void CalendarAppPicker::scheduleRefresh() {
    if (refreshQueued_)
        return;
    refreshQueued_ = true;
    // Ahead of layout and drawing, so no frame shows the old state.
    Glib::signal_idle().connect(sigc::track_obj(
                                    [this] {
                                        refreshQueued_ = false;
                                        refresh();
                                        return false;
                                    },
                                    *this),
                                Glib::PRIORITY_HIGH_IDLE);
}

void CalendarAppPicker::refresh() {
    title_.set_text(model_.menuTitle());
    // The whole name, where the face shows only its beginning.
    title_.set_tooltip_text(title_.get_text().length() > static_cast<Glib::ustring::size_type>(longestTitle)
                                ? title_.get_text()
                                : Glib::ustring());
    if (const auto icon = model_.menuIcon()) {
        icon_.set(iconFromString(*icon));
        icon_.set_visible(true);
        // Showing a widget makes it readable again; the icon only repeats
        // the title.
        Accessibility::hide(icon_);
    } else {
        icon_.clear();
        icon_.set_visible(false);
    }
    warning_.set_visible(model_.showsMissingWarning());
    rebuildEntries();
}

void CalendarAppPicker::rebuildEntries() {
    shownEntries_ = model_.entries();
    while (Gtk::Widget* child = entriesBox_.get_first_child())
        entriesBox_.remove(*child);

    for (std::size_t index = 0; index < shownEntries_.size(); ++index) {
        const CalendarAppPickerEntry& entry = shownEntries_[index];
        if (entry.kind == CalendarAppPickerEntry::Kind::separator) {
            auto* separator = Gtk::make_managed<Gtk::Separator>(Gtk::Orientation::HORIZONTAL);
            separator->set_margin_top(4);
            separator->set_margin_bottom(4);
            entriesBox_.append(*separator);
            continue;
        }
        auto* row = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, 6);
        // The checkmark's room is kept on every line, so titles line up.
        auto* checkmark = Gtk::make_managed<Gtk::Image>();
        checkmark->set_pixel_size(checkmarkSize);
        checkmark->set_size_request(checkmarkSize, checkmarkSize);
        if (entry.checked)
            checkmark->set_from_icon_name(checkmarkIcon);
        Accessibility::hide(*checkmark);
        auto* title = Gtk::make_managed<Gtk::Label>(entry.title);
        title->set_xalign(0.0F);
        title->set_use_markup(false);
        title->set_ellipsize(Pango::EllipsizeMode::END);
        title->set_max_width_chars(longestTitle);
        row->append(*checkmark);
        row->append(*title);

        auto* button = Gtk::make_managed<Gtk::Button>();
        const bool choosesApplication = entry.kind != CalendarAppPickerEntry::Kind::chooseOther;
        button->property_accessible_role().set_value(
            choosesApplication ? Gtk::Accessible::Role::MENU_ITEM_RADIO : Gtk::Accessible::Role::MENU_ITEM);
        if (choosesApplication)
            gtk_accessible_update_state(
                GTK_ACCESSIBLE(button->gobj()), GTK_ACCESSIBLE_STATE_CHECKED,
                entry.checked ? GTK_ACCESSIBLE_TRISTATE_TRUE : GTK_ACCESSIBLE_TRISTATE_FALSE, -1);
        button->set_child(*row);
        button->set_has_frame(false);
        button->add_css_class(OnboardingStyle::pickerEntry);
        button->signal_clicked().connect([this, index] { activateEntry(index); });
        entriesBox_.append(*button);
    }
}

void CalendarAppPicker::activateEntry(std::size_t index) {
    if (index >= shownEntries_.size())
        return;
    // A copy: the action may rebuild the entries.
    const CalendarAppPickerEntry entry = shownEntries_[index];
    popover_.popdown();
    model_.activate(entry);
}

} // namespace tarvelo
