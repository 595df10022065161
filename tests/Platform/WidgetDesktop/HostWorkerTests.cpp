// The worker that talks to extensions: a click may wait briefly for its
// job, and whatever happens, completions run on the main loop's thread, once
// each and in the order of their jobs.

#include "Platform/WidgetDesktop/HostWorker.h"
#include "tests/Support/Eventually.h"

#include <atomic>
#include <future>
#include <glibmm/init.h>
#include <gtest/gtest.h>

using namespace std::chrono_literals;
using platform::HostWorker;
using platform::WidgetHost;
using Names = std::vector<std::string>;

namespace {

class HostWorkerTest : public ::testing::Test {
protected:
    HostWorkerTest() { Glib::init(); }

    // A job whose completion notes `name`, on the main thread; held on the
    // worker until `gate` is set, if it is given.
    HostWorker::Job noting(const std::string& name, std::promise<void>* gate = nullptr) {
        std::shared_future<void> opened = gate ? gate->get_future().share() : std::shared_future<void>();
        return [this, name, opened](WidgetHost&) -> HostWorker::Completion {
            if (opened.valid())
                opened.wait();
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
    Names ran;
    HostWorker worker{[] {
        WidgetHost::Options options;
        options.manifests = std::vector<platform::ExtensionManifest>{};
        return options;
    }()};
};

TEST_F(HostWorkerTest, AClickBehindAQuickJobRunsThatJobsCompletionFirstBeforeItsWaitEnds) {
    // The main loop's own delivery later finds nothing.
    worker.submit(noting("refresh"));
    worker.submit([](WidgetHost&) { return HostWorker::Completion{}; }); // nothing to do afterwards
    worker.submitAndWait(noting("click"), 10s);
    EXPECT_EQ(ran, (Names{"refresh", "click"}));
    runUntil(2);
    EXPECT_EQ(ran, (Names{"refresh", "click"}));
}

TEST_F(HostWorkerTest, ManyClicksFromTheMainThreadWhileTheWorkerIsBusy) {
    std::atomic<int> performed{0};
    Names clicks;
    for (int click = 0; click < 200; ++click) {
        worker.submit([&performed](WidgetHost&) {
            ++performed;
            return HostWorker::Completion{};
        });
        worker.submitAndWait(noting(clicks.emplace_back(std::to_string(click))), click % 2 ? 0ms : 5ms);
    }
    runUntil(200);
    EXPECT_EQ(ran, clicks);
    EXPECT_EQ(performed.load(), 200);
}

TEST_F(HostWorkerTest, AJobHeldOnOneLaneHoldsNoOtherAndCompletionsKeepTheOrderOfTheirJobs) {
    // One extension hangs; another's click is answered at once, and a click
    // behind the hung job waits in vain.
    std::promise<void> gate;
    worker.submit(noting("hung extension", &gate), "test.Hung");
    worker.submitAndWait(noting("healthy click"), 10s, "test.Healthy");
    EXPECT_EQ(ran, Names{"healthy click"});
    worker.submitAndWait(noting("click behind it"), 20ms, "test.Hung");
    EXPECT_EQ(ran, Names{"healthy click"});
    gate.set_value();
    runUntil(3);
    EXPECT_EQ(ran, (Names{"healthy click", "hung extension", "click behind it"}));
}

} // namespace
