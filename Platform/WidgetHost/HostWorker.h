#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include <glibmm/dispatcher.h>

#include "WidgetHost.h"

namespace platform {

// Runs everything that talks to widget extensions on a thread of its own,
// so that a slow or hung extension (bounded by the host's time-out) never
// stalls the windows. Each job runs there with the host and returns what to
// do afterwards; that runs on the main loop, in the order of the jobs.
class HostWorker {
public:
    using Completion = std::function<void()>;
    using Job = std::function<Completion(WidgetHost&)>;

    // Make it on the thread that runs the main loop.
    explicit HostWorker(WidgetHost::Options options);
    ~HostWorker();
    HostWorker(const HostWorker&) = delete;
    HostWorker& operator=(const HostWorker&) = delete;

    void submit(Job job);

    // Submits `job` and waits up to `patience` for it: when it is done by
    // then, its completion (and any before it) runs before this returns.
    // For what the user just did with a window: GTK draws the frame that the
    // click itself causes right after the event, and a picture that arrives
    // a few milliseconds later would have to wait for the frame after it.
    // Otherwise the completion comes on the main loop as usual.
    void submitAndWait(Job job, std::chrono::milliseconds patience);

private:
    void run();
    void deliver();

    WidgetHost host_;
    std::mutex lock_;
    std::condition_variable wake_;
    std::condition_variable finished_;
    std::deque<Job> jobs_;
    std::uint64_t submittedCount_ = 0;
    std::uint64_t finishedCount_ = 0;
    std::deque<Completion> completions_;
    bool stopping_ = false;
    Glib::Dispatcher dispatcher_;
    std::thread thread_;
};

} // namespace platform
