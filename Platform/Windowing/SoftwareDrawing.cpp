#include "SoftwareDrawing.h"

#include "Workspace.h"

#include <cstdlib>

namespace platform::SoftwareDrawing {

namespace {

// Whether `prefer` set GDK_DEBUG, which is only read as GTK opens the display.
bool setDebugFlags = false;

} // namespace

void prefer() {
    if (!std::getenv("GSK_RENDERER")) {
        // Read whenever a window is realized: it stays, but only for us.
        ::setenv("GSK_RENDERER", "cairo", 1);
        Workspace::keepFromLaunchedPrograms("GSK_RENDERER");
    }
    if (!std::getenv("GDK_DEBUG")) {
        ::setenv("GDK_DEBUG", "gl-disable", 1);
        setDebugFlags = true;
    }
}

void toolkitStarted() {
    if (setDebugFlags)
        ::unsetenv("GDK_DEBUG");
    setDebugFlags = false;
}

} // namespace platform::SoftwareDrawing
