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
    }
    wake_.notify_one();
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
        if (!completion)
            continue;
        {
            std::lock_guard guard(lock_);
            if (stopping_)
                return;
            completions_.push_back(std::move(completion));
        }
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
