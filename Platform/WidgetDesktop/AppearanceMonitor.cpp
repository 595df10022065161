#include "Platform/WidgetDesktop/AppearanceMonitor.h"

namespace platform {

namespace {

constexpr const char* appearanceNamespace = "org.freedesktop.appearance";

// The portal wraps its answer in one or more variants; the scheme is a
// uint32: 0 no preference, 1 dark, 2 light.
std::optional<Appearance> schemeFrom(Glib::VariantBase value) {
    while (value && value.is_of_type(Glib::VARIANT_TYPE_VARIANT))
        value = Glib::VariantBase::cast_dynamic<Glib::Variant<Glib::VariantBase>>(value).get();
    if (!value || !value.is_of_type(Glib::Variant<guint32>::variant_type()))
        return std::nullopt;
    switch (Glib::VariantBase::cast_dynamic<Glib::Variant<guint32>>(value).get()) {
    case 1:
        return Appearance::dark;
    case 2:
        return Appearance::light;
    default:
        return std::nullopt;
    }
}

} // namespace

AppearanceMonitor::AppearanceMonitor() {
    gtkSettings_ = Gtk::Settings::get_default();
    if (gtkSettings_) {
        gtkSettings_->property_gtk_application_prefer_dark_theme().signal_changed().connect(
            sigc::mem_fun(*this, &AppearanceMonitor::recompute));
        gtkSettings_->property_gtk_theme_name().signal_changed().connect(
            sigc::mem_fun(*this, &AppearanceMonitor::recompute));
    }
    // Only ask for a schema that is installed: Gio::Settings aborts otherwise.
    if (auto source = Gio::SettingsSchemaSource::get_default())
        if (auto schema = source->lookup("org.gnome.desktop.interface", true);
            schema && schema->has_key("color-scheme")) {
            interfaceSettings_ = Gio::Settings::create("org.gnome.desktop.interface");
            interfaceSettings_->signal_changed("color-scheme").connect([this](const Glib::ustring&) {
                recompute();
            });
        }
    Gio::DBus::Proxy::create_for_bus(Gio::DBus::BusType::SESSION, "org.freedesktop.portal.Desktop",
                                     "/org/freedesktop/portal/desktop", "org.freedesktop.portal.Settings",
                                     sigc::mem_fun(*this, &AppearanceMonitor::portalReady), {},
                                     Gio::DBus::ProxyFlags::DO_NOT_LOAD_PROPERTIES);
    recompute();
}

void AppearanceMonitor::portalReady(const Glib::RefPtr<Gio::AsyncResult>& result) {
    try {
        portal_ = Gio::DBus::Proxy::create_for_bus_finish(result);
    } catch (const Glib::Error&) {
        return; // no session bus: the other sources decide
    }
    portal_->signal_signal().connect([this](const Glib::ustring&, const Glib::ustring& name,
                                            const Glib::VariantContainerBase& constParameters) {
        auto parameters = constParameters; // reading children is not const in glibmm
        if (name != "SettingChanged" || parameters.get_n_children() != 3)
            return;
        Glib::Variant<Glib::ustring> group, key;
        parameters.get_child(group, 0);
        parameters.get_child(key, 1);
        if (group.get() == appearanceNamespace && key.get() == "color-scheme")
            readPortalValue(parameters.get_child(2));
    });
    const auto arguments =
        Glib::VariantContainerBase::create_tuple({Glib::Variant<Glib::ustring>::create(appearanceNamespace),
                                                  Glib::Variant<Glib::ustring>::create("color-scheme")});
    // An absent portal is activated on demand or fails; either way quietly.
    portal_->call(
        "Read",
        [this](const Glib::RefPtr<Gio::AsyncResult>& reply) {
            try {
                auto answer = portal_->call_finish(reply);
                if (answer.get_n_children() == 1)
                    readPortalValue(answer.get_child(0));
            } catch (const Glib::Error&) {
            }
        },
        arguments, 2000);
}

void AppearanceMonitor::readPortalValue(const Glib::VariantBase& value) {
    portalAppearance_ = schemeFrom(value);
    recompute();
}

Appearance AppearanceMonitor::appearance() const {
    return appearance_;
}

void AppearanceMonitor::recompute() {
    Appearance now = Appearance::light;
    if (portalAppearance_) {
        now = *portalAppearance_;
    } else if (interfaceSettings_ && interfaceSettings_->get_string("color-scheme") == "prefer-dark") {
        now = Appearance::dark;
    } else if (gtkSettings_) {
        const Glib::ustring theme = gtkSettings_->property_gtk_theme_name().get_value();
        const bool darkTheme = theme.size() > 5 && (theme.substr(theme.size() - 5) == "-dark" ||
                                                    theme.substr(theme.size() - 5) == ":dark");
        if (gtkSettings_->property_gtk_application_prefer_dark_theme().get_value() || darkTheme)
            now = Appearance::dark;
    }
    if (now == appearance_)
        return;
    appearance_ = now;
    changed_.emit();
}

} // namespace platform
