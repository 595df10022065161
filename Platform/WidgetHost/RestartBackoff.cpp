#include "Platform/WidgetHost/RestartBackoff.h"

#include <algorithm>

namespace platform {

RestartBackoff::RestartBackoff(std::chrono::milliseconds first, std::chrono::milliseconds longest)
    : first_(std::max(first, std::chrono::milliseconds(1)))
    , longest_(std::max(longest, first_)) {}

std::chrono::milliseconds RestartBackoff::failed() {
    auto delay = first_;
    // Doubling stops at the ceiling, so the counter may grow without bound
    // and the arithmetic never overflows.
    for (int step = 0; step < failures_ && delay < longest_; ++step)
        delay *= 2;
    ++failures_;
    return std::min(delay, longest_);
}

} // namespace platform
