#pragma once

namespace platform::SoftwareDrawing {

// For a program with a few small windows, mostly text: GTK's Cairo renderer,
// which starts sooner and takes about half the memory of the GL one, and no
// probe for OpenGL when GTK opens the display (about a third of GTK's start
// on X11, for nothing once the renderer is Cairo). A renderer or GDK debug
// flags the user chose win. The programs this one launches inherit neither.
//
// Call it first thing, before GTK starts (before the Gtk::Application is
// made) and before any other thread runs: it sets environment variables.
void prefer();

} // namespace platform::SoftwareDrawing
