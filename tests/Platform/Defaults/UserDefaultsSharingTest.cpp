// Several processes and threads on one domain: exclusive increments are
// never lost, and no process's own key is lost to another's writes.

#include "Platform/Defaults/UserDefaults.h"
#include "tests/Support/ChildProcess.h"
#include "tests/Support/TemporaryFolder.h"

#include <gtest/gtest.h>
#include <thread>

using platform::UserDefaults;
using tarvelo::testsupport::inChildProcesses;

namespace {

void increment(UserDefaults& defaults, const std::string& key) {
    defaults.exclusively([&] { defaults.setInteger(defaults.integer(key) + 1, key); });
}

} // namespace

TEST(UserDefaultsSharing, ExclusiveIncrementsFromSeveralProcessesAndThreadsAreNeverLost) {
    tarvelo::testsupport::TemporaryFolder folder;
    constexpr int processes = 4, threads = 4, incrementsEach = 40;
    ASSERT_TRUE(inChildProcesses(processes, [&](int index) {
        UserDefaults defaults("domain", folder.path());
        for (int count = 0; count < incrementsEach; ++count) {
            increment(defaults, "processes");
            defaults.setInteger(count + 1, "process " + std::to_string(index));
        }
    }));
    UserDefaults shared("domain", folder.path());
    for (int index = 0; index < processes; ++index)
        EXPECT_EQ(shared.integer("process " + std::to_string(index)), incrementsEach);
    EXPECT_EQ(shared.integer("processes"), processes * incrementsEach);

    // Threads on one object and on another of the same domain.
    UserDefaults second("domain", folder.path());
    std::vector<std::thread> workers;
    for (int index = 0; index < threads; ++index)
        workers.emplace_back([&, index] {
            UserDefaults& defaults = index % 2 ? shared : second;
            for (int count = 0; count < incrementsEach; ++count) {
                increment(defaults, "threads");
                (void)defaults.integer("threads");
                defaults.setObject(std::string("thread ") + std::to_string(index), "last writer");
            }
        });
    for (auto& worker : workers)
        worker.join();
    shared.synchronize();
    EXPECT_EQ(shared.integer("threads"), threads * incrementsEach);
}
