#include "HostWorker.h"

namespace platform {

HostWorker::HostWorker(WidgetHost::Options options) : host_(std::move(options)) {
    dispatcher_.connect(sigc::mem_fun(*this, &HostWorker::deliver));
    thread_ = std::thread(&HostWorker::run, this);
}

HostWorker::~HostWorker() {
    {
        std::lock_guard guard(lock_);
        stopping_ = true;
        jobs_.clear();
    }
    wake_.notify_one();
    thread_.join();
    host_.stopExtensions();
}

void HostWorker::submit(Job job) {
    {
        std::lock_guard guard(lock_);
        jobs_.push_back(std::move(job));
        ++submittedCount_;
    }
    wake_.notify_one();
}

void HostWorker::submitAndWait(Job job, std::chrono::milliseconds patience) {
    std::uint64_t mine = 0;
    {
        std::lock_guard guard(lock_);
        jobs_.push_back(std::move(job));
        mine = ++submittedCount_;
    }
    wake_.notify_one();
    bool done = false;
    {
        std::unique_lock guard(lock_);
        done = finished_.wait_for(guard, patience, [&] { return stopping_ || finishedCount_ >= mine; });
    }
    // Jobs finish in order, so every completion before this one is ready too.
    if (done)
        deliver();
}

void HostWorker::run() {
    for (;;) {
        Job job;
        {
            std::unique_lock guard(lock_);
            wake_.wait(guard, [this] { return stopping_ || !jobs_.empty(); });
            if (stopping_)
                return;
            job = std::move(jobs_.front());
            jobs_.pop_front();
        }
        Completion completion = job(host_);
        const bool hasCompletion = static_cast<bool>(completion);
        {
            std::lock_guard guard(lock_);
            if (stopping_)
                return;
            if (hasCompletion)
                completions_.push_back(std::move(completion));
            ++finishedCount_;
        }
        finished_.notify_all();
        if (hasCompletion)
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
