#pragma once

#include "Platform/Windowing/Screen.h"
#include "TarveloFeature/CalendarChoice/CalendarAppPreference.h"
#include "TarveloFeature/Onboarding/CalendarAppPicker.h"
#include "TarveloFeature/Onboarding/WidgetPreview.h"

#include <filesystem>
#include <functional>
#include <gtkmm/box.h>
#include <gtkmm/scrolledwindow.h>
#include <optional>

namespace tarvelo {

// The host application's page: what the widget looks like, where it lives,
// which application opens a clicked date, how to add the widget, and what to
// do when it is missing from the list. A scrolling column 640 points wide,
// as high as the main screen allows (520 to 960).
class ContentView : public Gtk::ScrolledWindow {
public:
    // What the window can tell about Edit Widgets listing Tarvelo.
    enum class WidgetHostFinding {
        listsTarvelo,
        // No widget host program beside this one.
        noWidgetHost,
        // The host would find no manifest of Tarvelo's widget extension.
        missesTarvelo,
    };

    // What the page is built over; `standard()` is the desktop's.
    struct Services {
        CalendarAppPreference& preference;
        platform::Workspace& workspace;
        // Empty: the desktop's file chooser.
        CalendarAppPickerModel::OpenPanelMaker makeOpenPanel;
        // Where the widget's pictures lie.
        std::filesystem::path resourcesFolder;
        std::function<std::optional<platform::Screen>()> mainScreen;
        // Opens Edit Widgets, for the link in the first step.
        std::function<void()> openGallery;
        // Asked once, when the page is built; empty: nothing to tell.
        std::function<WidgetHostFinding()> findWidgetHost;

        static Services standard();
    };

    // The page over the shared preference, the desktop's workspace and the
    // application's resources, sized for the current main screen.
    ContentView();
    explicit ContentView(Services services);

    // The page's height, as computed from the main screen when it was built.
    double pageHeight() const { return pageHeight_; }

    CalendarAppPicker& picker() { return picker_; }
    WidgetPreview& smallPreview() { return smallPreview_; }
    WidgetPreview& mediumPreview() { return mediumPreview_; }
    // The column that holds the six sections, in order.
    Gtk::Box& column() { return column_; }

private:
    void buildHeader();
    void buildWidgetSection();
    void buildWhereItLives();
    void buildAddToDesktop();
    void buildWarningBox();

    Services services_;
    double pageHeight_;
    Gtk::Box column_;
    WidgetPreview smallPreview_;
    WidgetPreview mediumPreview_;
    CalendarAppPicker picker_;
};

} // namespace tarvelo
