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

TEST(UserDefaultsSharing, SynchronizePicksUpAnotherProcesssWrites) {
    tarvelo::testsupport::TemporaryFolder folder;
    UserDefaults defaults("domain", folder.path());
    defaults.setInteger(1, "mine");
    EXPECT_EQ(defaults.integer("theirs"), 0);

    ASSERT_TRUE(inChildProcesses(1, [&](int) {
        UserDefaults other("domain", folder.path());
        other.setInteger(2, "theirs");
    }));
    EXPECT_EQ(defaults.integer("theirs"), 0) << "reads come from memory until synchronize";
    defaults.synchronize();
    EXPECT_EQ(defaults.integer("theirs"), 2);
    EXPECT_EQ(defaults.integer("mine"), 1) << "the other process's write kept our key";
}

TEST(UserDefaultsSharing, ExclusiveIncrementsFromSeveralProcessesAreNeverLost) {
    tarvelo::testsupport::TemporaryFolder folder;
    constexpr int processes = 4;
    constexpr int incrementsEach = 50;
    ASSERT_TRUE(inChildProcesses(processes, [&](int index) {
        UserDefaults defaults("domain", folder.path());
        for (int count = 0; count < incrementsEach; ++count) {
            increment(defaults, "shared");
            defaults.setInteger(count + 1, "process " + std::to_string(index));
        }
    }));
    UserDefaults defaults("domain", folder.path());
    EXPECT_EQ(defaults.integer("shared"), processes * incrementsEach);
    for (int index = 0; index < processes; ++index)
        EXPECT_EQ(defaults.integer("process " + std::to_string(index)), incrementsEach);
}

TEST(UserDefaultsSharing, ThreadsOnOneOrSeveralObjectsLoseNothing) {
    tarvelo::testsupport::TemporaryFolder folder;
    UserDefaults shared("domain", folder.path());
    UserDefaults second("domain", folder.path());
    constexpr int threads = 4;
    constexpr int incrementsEach = 40;
    std::vector<std::thread> workers;
    for (int index = 0; index < threads; ++index)
        workers.emplace_back([&, index] {
            UserDefaults& defaults = index % 2 ? shared : second;
            for (int count = 0; count < incrementsEach; ++count) {
                increment(defaults, "counter");
                (void)defaults.integer("counter");
                defaults.setObject(std::string("thread ") + std::to_string(index), "last writer");
            }
        });
    for (auto& worker : workers)
        worker.join();
    shared.synchronize();
    EXPECT_EQ(shared.integer("counter"), threads * incrementsEach);
}
