#pragma once

#include <chrono>

namespace platform {

// How long to wait before starting a failing widget extension again: the
// first retry comes quickly, each further one waits twice as long, up to a
// ceiling, so a crashing extension never spins the host.
class RestartBackoff {
public:
    explicit RestartBackoff(std::chrono::milliseconds first = std::chrono::milliseconds(500),
                            std::chrono::milliseconds longest = std::chrono::seconds(30));

    // Records a failure and returns how long to wait before the next try.
    std::chrono::milliseconds failed();
    // Records a success: the next failure waits the shortest time again.
    void succeeded() { failures_ = 0; }

    int failures() const { return failures_; }

private:
    std::chrono::milliseconds first_;
    std::chrono::milliseconds longest_;
    int failures_ = 0;
};

} // namespace platform
