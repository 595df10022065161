#include "Tarvelo/DateLink.h"
#include "tests/Support/Eventually.h"

#include <gio/gio.h>
#include <gtest/gtest.h>
#include <thread>

// The workspace may answer on any thread; the quit must still run on the
// thread that runs the main context.
TEST(ScheduleQuit, RunsTheQuitOnTheMainContextWhateverThreadQueuedIt) {
    g_main_context_acquire(g_main_context_default());
    const auto mainThread = std::this_thread::get_id();
    std::thread::id ranOn;
    bool ran = false;
    std::thread worker([&] {
        tarvelo::scheduleQuit([&] {
            ranOn = std::this_thread::get_id();
            ran = true;
        });
    });
    worker.join();
    EXPECT_FALSE(ran);
    EXPECT_TRUE(tarvelo::testsupport::eventually([&] { return ran; }));
    EXPECT_EQ(ranOn, mainThread);
    g_main_context_release(g_main_context_default());
}

TEST(ScheduleQuit, QuitsTheDefaultApplication) {
    GApplication* application = g_application_new(nullptr, G_APPLICATION_NON_UNIQUE);
    int activations = 0;
    g_signal_connect(application, "activate", G_CALLBACK(+[](GApplication* self, gpointer count) {
                         ++*static_cast<int*>(count);
                         g_application_hold(self); // would run forever without the quit
                         tarvelo::scheduleQuit();
                     }),
                     &activations);
    EXPECT_EQ(g_application_run(application, 0, nullptr), 0);
    EXPECT_EQ(activations, 1);
    g_object_unref(application);
}
