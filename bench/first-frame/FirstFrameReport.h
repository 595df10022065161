#pragma once

#include <cstdio>
#include <ctime>
#include <gdk/gdk.h>
#include <gtkmm/application.h>
#include <gtkmm/window.h>

// Shared by the two probes of first-frame-bench: prints the moment the
// window's first frame has been painted (CLOCK_MONOTONIC nanoseconds, the
// clock the driver reads before starting the probe) and quits.
namespace firstframe {

inline void reportFirstFrame(Gtk::Window& window, const Glib::RefPtr<Gtk::Application>& application) {
    GdkFrameClock* clock = gtk_widget_get_frame_clock(GTK_WIDGET(window.gobj()));
    if (!clock) {
        std::fprintf(stderr, "no frame clock\n");
        application->quit();
        return;
    }
    struct Context {
        Glib::RefPtr<Gtk::Application> application;
        gulong handler = 0;
    };
    auto* context = new Context{application};
    context->handler =
        g_signal_connect(clock, "after-paint", G_CALLBACK(+[](GdkFrameClock* frameClock, Context* data) {
                             timespec now{};
                             clock_gettime(CLOCK_MONOTONIC, &now);
                             std::printf("first-frame %lld\n",
                                         static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
                             std::fflush(stdout);
                             g_signal_handler_disconnect(frameClock, data->handler);
                             data->application->quit();
                             delete data;
                         }),
                         context);
}

} // namespace firstframe
