// The worker that talks to extensions: a click may wait briefly for its
// job, and whatever happens, completions run on the main loop's thread, once
// each and in the order of their jobs.
#include "Platform/WidgetDesktop/HostWorker.h"
#include "tests/Support/Eventually.h"

#include <atomic>
#include <chrono>
#include <future>
#include <glibmm/init.h>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using platform::HostWorker;
using platform::WidgetHost;

// Holds a job on the worker until the test lets it go.
struct Gate {
    std::promise<void> promise;
    std::shared_future<void> opened = promise.get_future().share();
    void open() { promise.set_value(); }
};

class HostWorkerTest : public ::testing::Test {
protected:
    static WidgetHost::Options noExtensions() {
        WidgetHost::Options options;
        options.manifests = std::vector<platform::ExtensionManifest>{};
        return options;
    }

    HostWorkerTest() { Glib::init(); }

    // A job whose completion notes `name`, on the main thread.
    HostWorker::Job noting(const std::string& name, Gate* gate = nullptr) {
        return [this, name, gate](WidgetHost&) -> HostWorker::Completion {
            if (gate)
                gate->opened.wait();
            return [this, name] {
                EXPECT_EQ(std::this_thread::get_id(), mainThread);
                ran.push_back(name);
            };
        };
    }

    // Runs the main loop until `count` completions have run, then whatever
    // else is pending, so a completion that should not come would show.
    void runUntil(std::size_t count) {
        tarvelo::testsupport::eventually([&] { return ran.size() >= count; });
        tarvelo::testsupport::settle();
    }

    const std::thread::id mainThread = std::this_thread::get_id();
    std::vector<std::string> ran;
    HostWorker worker{noExtensions()};
};

TEST_F(HostWorkerTest, CompletionsKeepTheOrderOfTheirJobs) {
    // A click behind a job that is still running waits in vain...
    Gate gate;
    worker.submit(noting("refresh", &gate));
    worker.submitAndWait(noting("click"), 20ms);
    EXPECT_TRUE(ran.empty());
    gate.open();
    runUntil(2);
    EXPECT_EQ(ran, (std::vector<std::string>{"refresh", "click"}));

    // ...and one behind a quick job runs that job's completion first, both
    // before the wait ends; the main loop's own delivery later finds nothing.
    ran.clear();
    worker.submit(noting("refresh"));
    worker.submit([](WidgetHost&) { return HostWorker::Completion{}; }); // nothing to do afterwards
    worker.submitAndWait(noting("click"), 10s);
    EXPECT_EQ(ran, (std::vector<std::string>{"refresh", "click"}));
    runUntil(2);
    EXPECT_EQ(ran, (std::vector<std::string>{"refresh", "click"}));
}

TEST_F(HostWorkerTest, ManyClicksFromTheMainThreadWhileTheWorkerIsBusy) {
    std::atomic<int> performed{0};
    for (int click = 0; click < 200; ++click) {
        worker.submit([&performed](WidgetHost&) {
            ++performed;
            return HostWorker::Completion{};
        });
        worker.submitAndWait(noting(std::to_string(click)), click % 2 ? 0ms : 5ms);
    }
    runUntil(200);
    ASSERT_EQ(ran.size(), 200U);
    for (int click = 0; click < 200; ++click)
        EXPECT_EQ(ran[static_cast<std::size_t>(click)], std::to_string(click));
    EXPECT_EQ(performed.load(), 200);
}

TEST_F(HostWorkerTest, AJobHeldOnOneLaneHoldsNoOther) {
    // One extension hangs; another's click is answered at once.
    Gate gate;
    worker.submit(noting("hung extension", &gate), "test.Hung");
    worker.submitAndWait(noting("healthy click"), 10s, "test.Healthy");
    EXPECT_EQ(ran, std::vector<std::string>{"healthy click"});
    gate.open();
    runUntil(2);
    EXPECT_EQ(ran, (std::vector<std::string>{"healthy click", "hung extension"}));
}

} // namespace
