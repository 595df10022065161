#include "Platform/WidgetDesktop/SleepMonitor.h"

namespace platform {

SleepMonitor::SleepMonitor() {
    Gio::DBus::Proxy::create_for_bus(
        Gio::DBus::BusType::SYSTEM, "org.freedesktop.login1", "/org/freedesktop/login1",
        "org.freedesktop.login1.Manager",
        [this](const Glib::RefPtr<Gio::AsyncResult>& result) {
            try {
                login_ = Gio::DBus::Proxy::create_for_bus_finish(result);
            } catch (const Glib::Error&) {
                return;
            }
            login_->signal_signal().connect([this](const Glib::ustring&, const Glib::ustring& name,
                                                   const Glib::VariantContainerBase& constParameters) {
                // Reading children is not const in glibmm.
                auto parameters = constParameters; // NOLINT(performance-unnecessary-copy-initialization)
                if (name != "PrepareForSleep" || parameters.get_n_children() != 1)
                    return;
                Glib::Variant<bool> starting;
                parameters.get_child(starting, 0);
                if (!starting.get())
                    resumed_.emit();
            });
        },
        {}, Gio::DBus::ProxyFlags::DO_NOT_LOAD_PROPERTIES | Gio::DBus::ProxyFlags::DO_NOT_AUTO_START);
}

} // namespace platform
