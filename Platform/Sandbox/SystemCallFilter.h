#pragma once

namespace platform {

// A seccomp deny-list for a process that computes and answers over an
// inherited socket: denied calls fail with EPERM (ENOSYS for clone3, so that
// the C library falls back to clone, whose flags the filter can inspect).
namespace SystemCallFilter {

// Installs the filter on the calling process; needs no new privileges set
// first. False when the kernel refused it.
bool install();

} // namespace SystemCallFilter

} // namespace platform
