#include "Platform/WidgetDesktop/HostWorker.h"

namespace platform {

HostWorker::HostWorker(WidgetHost::Options options)
    : host_(std::move(options)) {
    dispatcher_.connect(sigc::mem_fun(*this, &HostWorker::deliver));
}

HostWorker::~HostWorker() {
    {
        std::lock_guard guard(lock_);
        stopping_ = true;
        for (auto& [name, lane] : lanes_)
            lane->jobs.clear();
    }
    wake_.notify_all();
    for (auto& [name, lane] : lanes_)
        lane->thread.join();
    host_.stopExtensions();
}

std::uint64_t HostWorker::enqueue(Job job, const std::string& name) {
    std::lock_guard guard(lock_);
    auto& lane = lanes_[name];
    if (!lane) {
        lane = std::make_unique<Lane>();
        lane->thread = std::thread(&HostWorker::run, this, std::ref(*lane));
    }
    lane->jobs.push_back(std::move(job));
    return ++lane->submitted;
}

void HostWorker::submit(Job job, const std::string& lane) {
    enqueue(std::move(job), lane);
    wake_.notify_all();
}

void HostWorker::submitAndWait(Job job, std::chrono::milliseconds patience, const std::string& name) {
    const std::uint64_t mine = enqueue(std::move(job), name);
    wake_.notify_all();
    bool done = false;
    bool undelivered = false;
    {
        std::unique_lock guard(lock_);
        const Lane& lane = *lanes_[name];
        mainThreadWaits_ = true;
        done = finished_.wait_for(guard, patience, [&] { return stopping_ || lane.finished >= mine; });
        mainThreadWaits_ = false;
        undelivered = !completions_.empty();
    }
    // A lane finishes its jobs in order, so every completion before this one is ready too.
    if (done)
        deliver();
    else if (undelivered) // finished while we waited, so no lane woke the main loop for them
        dispatcher_.emit();
}

void HostWorker::run(Lane& lane) {
    for (;;) {
        Job job;
        {
            std::unique_lock guard(lock_);
            wake_.wait(guard, [&] { return stopping_ || !lane.jobs.empty(); });
            if (stopping_)
                return;
            job = std::move(lane.jobs.front());
            lane.jobs.pop_front();
        }
        Completion completion = job(host_);
        bool wakeMainLoop = false;
        {
            std::lock_guard guard(lock_);
            if (stopping_)
                return;
            if (completion) {
                completions_.push_back(std::move(completion));
                wakeMainLoop = !mainThreadWaits_;
            }
            ++lane.finished;
        }
        finished_.notify_all();
        if (wakeMainLoop)
            dispatcher_.emit();
    }
}

void HostWorker::deliver() {
    std::deque<Completion> ready;
    {
        std::lock_guard guard(lock_);
        ready.swap(completions_);
    }
    for (auto& completion : ready)
        completion();
}

} // namespace platform
