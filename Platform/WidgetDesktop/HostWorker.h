#pragma once

#include "Platform/WidgetHost/WidgetHost.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <glibmm/dispatcher.h>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace platform {

// Runs everything that talks to widget extensions off the main thread, so
// that a slow or hung extension (bounded by the host's time-out) never
// stalls the windows. Jobs go to lanes, each a thread of its own: the
// desktop gives every extension its lane (`laneFor`), so one extension
// never waits behind another; jobs for kinds no extension has described yet,
// and the gallery, share the lane "". Each job runs with the host and
// returns what to do afterwards; that runs on the main loop, in the order of
// the jobs of its lane.
class HostWorker {
public:
    using Completion = std::function<void()>;
    using Job = std::function<Completion(WidgetHost&)>;

    // Make it on the thread that runs the main loop.
    explicit HostWorker(WidgetHost::Options options);
    ~HostWorker();
    HostWorker(const HostWorker&) = delete;
    HostWorker& operator=(const HostWorker&) = delete;

    // The lane for jobs about widgets of `kind`: its extension's.
    std::string laneFor(const std::string& kind) { return host_.extensionOffering(kind); }

    void submit(Job job, const std::string& lane = {});

    // Submits `job` and waits up to `patience` for it: when it is done by
    // then, its completion (and any before it) runs before this returns.
    // For what the user just did with a window: GTK draws the frame that the
    // click itself causes right after the event, and a picture that arrives
    // a few milliseconds later would have to wait for the frame after it.
    // Otherwise the completion comes on the main loop as usual.
    void submitAndWait(Job job, std::chrono::milliseconds patience, const std::string& name = {});

    // Forgets every timeline at once (the host is safe to call from here).
    void invalidateAll() { host_.invalidateAll(); }

private:
    struct Lane {
        std::deque<Job> jobs;
        std::uint64_t submitted = 0;
        std::uint64_t finished = 0;
        std::thread thread;
    };

    // Queues the job (under lock_) and returns its number in its lane.
    std::uint64_t enqueue(Job job, const std::string& name);
    void run(Lane& lane);
    void deliver();

    WidgetHost host_;
    std::mutex lock_;
    std::condition_variable wake_;
    std::condition_variable finished_;
    std::map<std::string, std::unique_ptr<Lane>> lanes_;
    std::deque<Completion> completions_;
    // The main thread waits in submitAndWait and delivers the completions
    // itself: the lanes need not wake the main loop for them.
    bool mainThreadWaits_ = false;
    bool stopping_ = false;
    Glib::Dispatcher dispatcher_;
};

} // namespace platform
