#include "Platform/Windowing/SoftwareDrawing.h"

#include "Platform/Workspace/Workspace.h"

#include <cstdlib>

namespace platform::SoftwareDrawing {

void prefer() {
    // GSK_RENDERER is read whenever a window is realized, GDK_DEBUG when the
    // display opens; both stay set for this process, and only for it.
    if (!std::getenv("GSK_RENDERER")) {
        ::setenv("GSK_RENDERER", "cairo", 1);
        Workspace::keepFromLaunchedPrograms("GSK_RENDERER");
    }
    if (!std::getenv("GDK_DEBUG")) {
        ::setenv("GDK_DEBUG", "gl-disable", 1);
        Workspace::keepFromLaunchedPrograms("GDK_DEBUG");
    }
}

} // namespace platform::SoftwareDrawing
