#pragma once

typedef struct _GAppLaunchContext GAppLaunchContext;

namespace platform {

// A launch context for a program this process starts: its environment
// leaves out the variables kept from launched programs
// (`Workspace::keepFromLaunchedPrograms`). The caller owns the reference.
GAppLaunchContext* newLaunchContext();

} // namespace platform
