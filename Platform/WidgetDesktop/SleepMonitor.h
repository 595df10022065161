#pragma once

#include <giomm.h>

namespace platform {

// Tells when the computer wakes from suspend (logind's PrepareForSleep on
// the system bus), since timers of the main loop do not count the sleep.
// Without logind or a system bus it simply never tells.
class SleepMonitor {
public:
    SleepMonitor();
    sigc::signal<void()>& signalResumed() { return resumed_; }

private:
    Glib::RefPtr<Gio::DBus::Proxy> login_;
    sigc::signal<void()> resumed_;
};

} // namespace platform
