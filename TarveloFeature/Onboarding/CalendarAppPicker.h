#pragma once

#include "TarveloFeature/CalendarChoice/CalendarAppPickerModel.h"
#include "TarveloFeature/Onboarding/LocalizedLabel.h"
#include "TarveloFeature/Onboarding/SectionHeading.h"

#include <gtkmm/box.h>
#include <gtkmm/image.h>
#include <gtkmm/label.h>
#include <gtkmm/menubutton.h>
#include <gtkmm/popover.h>
#include <vector>

namespace tarvelo {

// The section in which the user chooses the application that opens a
// clicked date: a heading, a menu button showing the current choice with its
// icon, an orange warning while the chosen application is missing, and an
// explanation. The list of applications is asked for each time the section
// comes on screen; the stored choice is read at every refresh.
class CalendarAppPicker : public Gtk::Box {
public:
    // Chooses for `preference` among the desktop's applications, picking
    // others in the desktop's file chooser.
    explicit CalendarAppPicker(CalendarAppPreference& preference);
    // Over another workspace and open panel (tests); an empty `makeOpenPanel`
    // means the desktop's file chooser.
    CalendarAppPicker(CalendarAppPreference& preference, platform::Workspace& workspace,
                      CalendarAppPickerModel::OpenPanelMaker makeOpenPanel);

    CalendarAppPickerModel& model() { return model_; }

    // What is on screen, for tests and assistive checks.
    Gtk::MenuButton& menuButton() { return menuButton_; }
    Gtk::Label& menuTitleLabel() { return title_; }
    Gtk::Image& menuIcon() { return icon_; }
    Gtk::Label& warningLabel() { return warning_; }
    const std::vector<CalendarAppPickerEntry>& shownEntries() const { return shownEntries_; }
    // Performs the shown entry at `index`, as a click on it does.
    void activateEntry(std::size_t index);

private:
    void refresh();
    void scheduleRefresh();
    void rebuildEntries();

    CalendarAppPickerModel model_;
    SectionHeading heading_;
    Gtk::MenuButton menuButton_;
    Gtk::Box face_;
    Gtk::Image icon_;
    Gtk::Label title_;
    Gtk::Popover popover_;
    Gtk::Box entriesBox_;
    LocalizedLabel warning_;
    LocalizedLabel explanation_;
    std::vector<CalendarAppPickerEntry> shownEntries_;
    bool refreshQueued_ = false;
};

} // namespace tarvelo
