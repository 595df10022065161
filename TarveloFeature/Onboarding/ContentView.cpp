#include "TarveloFeature/Onboarding/ContentView.h"

#include "Platform/WidgetHost/WidgetHostProgram.h"
#include "TarveloFeature/Onboarding/Accessibility.h"
#include "TarveloFeature/Onboarding/LeadingRow.h"
#include "TarveloFeature/Onboarding/LocalizedLabel.h"
#include "TarveloFeature/Onboarding/OnboardingStyle.h"
#include "TarveloFeature/Onboarding/PageSize.h"
#include "TarveloFeature/Onboarding/SectionHeading.h"
#include "TarveloFeature/Onboarding/Step.h"

#include <gtkmm/image.h>

namespace tarvelo {

namespace {

// Sizes in points.
constexpr int columnSpacing = 18;
constexpr int columnPadding = 28;
constexpr int warningIconSize = 18;

// The widget extension Edit Widgets lists as Tarvelo (its manifest's identifier).
constexpr const char* tarveloExtension = "today.tarvelo.Tarvelo.TarveloWidget";

// A vertical stack, leading-aligned.
Gtk::Box* makeStack(int spacing) {
    auto* stack = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, spacing);
    stack->set_halign(Gtk::Align::FILL);
    return stack;
}

} // namespace

ContentView::Services ContentView::Services::standard() {
    using platform::WidgetHostProgram::besideThisProgram;
    return Services{CalendarAppPreference::shared(),
                    platform::Workspace::shared(),
                    {},
                    WidgetArt::resourcesFolder(),
                    platform::Screen::mainScreen,
                    [] { platform::WidgetHostProgram::openGallery(besideThisProgram()); },
                    [] {
                        const auto host = besideThisProgram();
                        if (!host)
                            return WidgetHostFinding::noWidgetHost;
                        return platform::WidgetHostProgram::wouldFind(*host, tarveloExtension)
                                   ? WidgetHostFinding::listsTarvelo
                                   : WidgetHostFinding::missesTarvelo;
                    }};
}

ContentView::ContentView()
    : ContentView(Services::standard()) {}

ContentView::ContentView(Services services)
    : services_(std::move(services))
    , pageHeight_(PageSize::height([&]() -> std::optional<double> {
        const auto screen = services_.mainScreen ? services_.mainScreen() : std::nullopt;
        return screen ? std::optional(screen->visibleFrame.size.height) : std::nullopt;
    }()))
    , column_(Gtk::Orientation::VERTICAL, columnSpacing)
    , smallPreview_(WidgetArt::small, "Small", 106, 106, services_.resourcesFolder)
    , mediumPreview_(WidgetArt::medium, "Medium", 222, 106, services_.resourcesFolder)
    , picker_(services_.preference, services_.workspace, services_.makeOpenPanel) {
    OnboardingStyle::install();

    // The page is exactly this size, and so is the window around it.
    set_size_request(static_cast<int>(PageSize::width), static_cast<int>(pageHeight_));
    set_policy(Gtk::PolicyType::NEVER, Gtk::PolicyType::AUTOMATIC);
    set_propagate_natural_width(false);
    set_propagate_natural_height(false);

    column_.set_margin(columnPadding);
    column_.set_halign(Gtk::Align::FILL);
    // Left to fill: the box keeps its sections at the top anyway. Aligned
    // to the start, GTK would ask the column for its width at a given
    // height, and every wrapping label would answer by trial and error.

    buildHeader();
    buildWidgetSection();
    buildWhereItLives();
    column_.append(picker_);
    buildAddToDesktop();
    buildWarningBox();

    set_child(column_);
}

void ContentView::buildHeader() {
    auto* header = makeStack(6);
    auto* title = Gtk::make_managed<LocalizedLabel>(
        "Tarvelo", std::initializer_list<const char*>{OnboardingStyle::appTitle});
    title->property_accessible_role().set_value(Gtk::Accessible::Role::HEADING);
    header->append(*title);
    header->append(*Gtk::make_managed<LocalizedLabel>(
        "A month calendar you can step through without opening Calendar.",
        std::initializer_list<const char*>{OnboardingStyle::title3, OnboardingStyle::secondary}));
    column_.append(*header);
}

void ContentView::buildWidgetSection() {
    auto* section = makeStack(12);
    section->append(*Gtk::make_managed<SectionHeading>("This is the widget"));
    section->append(
        *Gtk::make_managed<LocalizedLabel>("It comes in two sizes. Pick either one when you add it.",
                                           std::initializer_list<const char*>{OnboardingStyle::secondary}));
    auto* previews = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, 24);
    previews->set_margin_top(4);
    previews->set_halign(Gtk::Align::START);
    previews->set_valign(Gtk::Align::START);
    previews->append(smallPreview_);
    previews->append(mediumPreview_);
    section->append(*previews);
    column_.append(*section);
}

void ContentView::buildWhereItLives() {
    auto* section = makeStack(12);
    section->append(*Gtk::make_managed<SectionHeading>("Where it lives"));
    section->append(*Gtk::make_managed<LocalizedLabel>(
        "The widget sits on your **desktop**, below your windows and on every workspace. It does not appear "
        "in the taskbar, and this window is not the widget. This app exists to install the widget and to "
        "open "
        "your calendar when you click a date."));
    column_.append(*section);
}

void ContentView::buildAddToDesktop() {
    auto* section = makeStack(14);
    section->append(*Gtk::make_managed<SectionHeading>("Add it to your desktop"));
    auto* steps = makeStack(10);
    auto* open = Gtk::make_managed<Step>(
        1,
        "Open [**Edit Widgets**](edit-widgets) from the applications menu or a widget's right-click menu.");
    // The link is the first step done: whatever a translation names as its
    // target, it opens Edit Widgets and nothing else.
    open->textLabel().signal_activate_link().connect(
        [this](const Glib::ustring&) {
            if (services_.openGallery)
                services_.openGallery();
            return true;
        },
        false);
    steps->append(*open);
    steps->append(*Gtk::make_managed<Step>(2, "Search for **Tarvelo**."));
    steps->append(*Gtk::make_managed<Step>(3, "Choose **Add** under the size you want."));
    steps->append(*Gtk::make_managed<Step>(4, "Drag it where you like on your desktop."));
    section->append(*steps);
    auto* staying = Gtk::make_managed<LocalizedLabel>(
        "The widget comes back at every login. To take it off your desktop, right-click it and choose "
        "**Remove Widget**.",
        std::initializer_list<const char*>{OnboardingStyle::callout, OnboardingStyle::secondary});
    staying->set_margin_top(2);
    section->append(*staying);
    column_.append(*section);
}

void ContentView::buildWarningBox() {
    auto* icon = Gtk::make_managed<Gtk::Image>();
    icon->set_from_icon_name("dialog-warning-symbolic");
    icon->set_pixel_size(warningIconSize);
    icon->add_css_class(OnboardingStyle::warningIcon);
    Accessibility::hide(*icon);

    auto* texts = makeStack(6);
    texts->append(*Gtk::make_managed<LocalizedLabel>(
        "If Tarvelo is not in the list", std::initializer_list<const char*>{OnboardingStyle::headline}));
    texts->append(*Gtk::make_managed<LocalizedLabel>(
        "Edit Widgets lists the widgets it finds in your data folders ($XDG_DATA_HOME, $XDG_DATA_DIRS) and "
        "beside its own program. Tarvelo installed anywhere else, or no widget host installed, leaves it "
        "out. "
        "Install the tarvelo package, or add Tarvelo's share folder to $XDG_DATA_DIRS, then log in again."));
    // What this computer's widget host would do now, when the window can tell.
    const auto finding =
        services_.findWidgetHost ? services_.findWidgetHost() : WidgetHostFinding::listsTarvelo;
    if (finding == WidgetHostFinding::missesTarvelo)
        texts->append(*Gtk::make_managed<LocalizedLabel>(
            "**Right now, Edit Widgets would not find Tarvelo:** its widget is in none of those folders."));
    if (finding == WidgetHostFinding::noWidgetHost)
        texts->append(*Gtk::make_managed<LocalizedLabel>(
            "**No widget host was found beside Tarvelo,** so Edit Widgets may not open on this computer."));
    texts->append(*Gtk::make_managed<LocalizedLabel>(
        "There is no error message for this. The widget is just missing from the list, which is why it is "
        "worth saying out loud.",
        std::initializer_list<const char*>{OnboardingStyle::callout, OnboardingStyle::secondary}));

    auto* box = Gtk::make_managed<LeadingRow>(*icon, *texts, 12, LeadingRow::Alignment::top);
    box->add_css_class(OnboardingStyle::warningBox);
    box->set_halign(Gtk::Align::FILL);
    column_.append(*box);
}

} // namespace tarvelo
