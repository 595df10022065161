#pragma once

#include <chrono>
#include <glib.h>
#include <thread>

namespace tarvelo::testsupport {

enum class WhileWaiting { runMainContext, leaveMainContext };

// Runs the default main context (so replies, idle callbacks and child
// watches are delivered) until `condition` holds or `limit` has passed, and
// says whether it held. The limit only ends a test that would otherwise wait
// forever; it is never a measure of speed. `leaveMainContext` waits without
// running it, for what must happen before the caller's main loop turns.
template <typename Condition>
bool eventually(Condition&& condition, std::chrono::milliseconds limit = std::chrono::seconds(30),
                WhileWaiting mode = WhileWaiting::runMainContext) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= end)
            return false;
        if (mode == WhileWaiting::leaveMainContext || !g_main_context_iteration(nullptr, FALSE))
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

// Runs whatever the default main context has pending, without waiting.
inline void settle() {
    for (int round = 0; round < 50; ++round)
        while (g_main_context_iteration(nullptr, FALSE)) {
        }
}

} // namespace tarvelo::testsupport
