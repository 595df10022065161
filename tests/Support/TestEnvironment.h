#pragma once

namespace tarvelo::testsupport {

// Puts the test program (and every program it starts) in the same
// environment on any machine, whatever the developer's desktop has: no GIO
// modules (dconf, proxies, TLS, GVfs), settings in memory, the simple input
// method, no accessibility bus, DejaVu as the only font, the "C.UTF-8"
// locale (built into the C library, so never missing) and UTC, and private,
// empty XDG folders instead of the user's. A test that relies on something
// else (a locale, a time zone, a desktop) sets it itself.
//
// The test programs' shared main calls this before anything else runs.
void isolateFromTheMachine();

} // namespace tarvelo::testsupport
