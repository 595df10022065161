// The month offset's file under fire: a process that keeps stepping it is
// killed with SIGKILL at random instants, over and over, and after every kill
// the file must read back as a complete earlier state: ours, never torn, never
// set aside as unreadable, and holding every step the process reported done
// (at most the one step in flight beyond).

#include "Platform/Defaults/UserDefaults.h"
#include "TarveloFeature/MonthModel/MonthOffsetStore.h"
#include "tests/Support/ChildProcess.h"
#include "tests/Support/Files.h"
#include "tests/Support/TemporaryFolder.h"

#include <csignal>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <random>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;
using platform::Instant;
using platform::UserDefaults;
using tarvelo::MonthOffsetStore;

namespace {

constexpr const char* widgetDomain = "today.tarvelo.Tarvelo.TarveloWidget";

// In a child process: one step of the widget's buttons, returning once it is
// on disk. One store for the life of the child, as in the extension.
void step(const fs::path& folder) {
    static UserDefaults defaults(widgetDomain, folder);
    static MonthOffsetStore store(defaults, Instant::now());
    store.step(1, Instant::now());
}

// How many steps the file in `folder` holds; -1 when it is not a complete
// state of ours. Read raw: a fresh reader would take a torn file for empty.
std::int64_t stepsOnDisk(const fs::path& folder) {
    const fs::path path = folder / (std::string(widgetDomain) + ".json");
    if (!fs::exists(path))
        return 0;
    const auto document = nlohmann::json::parse(tarvelo::testsupport::readFile(path), nullptr, false);
    if (!document.is_object() || !document.contains("tarvelo-defaults"))
        return -1;
    const auto values = document.value("values", nlohmann::json::object());
    const auto integer = [&](const char* key) {
        return values.value(key, nlohmann::json::object()).value("integer", std::int64_t{-1});
    };
    // A step writes offset, count and time in one replacement of the file.
    const std::int64_t offset = integer(MonthOffsetStore::offsetKey);
    if (integer(MonthOffsetStore::stepCountKey) != offset ||
        !values.contains(MonthOffsetStore::lastStepAtKey) ||
        UserDefaults(widgetDomain, folder).integer(MonthOffsetStore::offsetKey) != offset)
        return -1;
    return offset;
}

// Runs a child process that steps the file, writing one byte to a pipe
// after each completed step, and kills it after `delay`; returns how many
// steps it reported done, or -1 when it could not start one.
std::int64_t stepUntilKilled(const fs::path& folder, std::chrono::microseconds delay) {
    int ends[2];
    const pid_t child = ::pipe(ends) == 0 ? ::fork() : -1;
    if (child < 0)
        return -1;
    if (child == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL); // never outlive the test
        for (const char done = 1;; (void)!::write(ends[1], &done, 1))
            step(folder);
    }
    ::close(ends[1]);
    std::this_thread::sleep_for(delay);
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    std::int64_t done = 0;
    char buffer[4096];
    for (ssize_t count; (count = ::read(ends[0], buffer, sizeof buffer)) > 0;)
        done += count;
    ::close(ends[0]);
    return done;
}

} // namespace

TEST(KilledWhileWriting, EveryKillLeavesACompleteEarlierStateAndTwoWritersLoseNoStep) {
    tarvelo::testsupport::TemporaryFolder root;
    const fs::path folder = root.path() / "tarvelo";
    fs::create_directories(folder);
    std::mt19937 random{std::random_device{}()};
    std::uniform_int_distribution<int> delayMicroseconds(0, 3000);
    // TARVELO_TEST_KILL_COUNT scales the attack (sanitizer builds, long runs).
    const char* count = std::getenv("TARVELO_TEST_KILL_COUNT");
    const long kills = count && *count ? std::strtol(count, nullptr, 10) : 1000;
    std::int64_t committed = 0;
    for (long kill = 0; kill < kills; ++kill) {
        const std::int64_t reported =
            stepUntilKilled(folder, std::chrono::microseconds(delayMicroseconds(random)));
        ASSERT_GE(reported, 0);
        const std::int64_t steps = stepsOnDisk(folder);
        ASSERT_GE(steps, committed + reported)
            << "kill " << kill << " lost a step reported done, or tore the file";
        ASSERT_LE(steps, committed + reported + 1) << "kill " << kill << " made up a step";
        ASSERT_TRUE(tarvelo::testsupport::keptAside(folder).empty()) << "kill " << kill;
        committed = steps;
    }

    // Writers after all that still work, pick up where the file is, and two
    // at once lose none of each other's steps.
    ASSERT_TRUE(tarvelo::testsupport::inChildProcesses(2, [&](int) {
        for (int taken = 0; taken < 200; ++taken)
            step(folder);
    }));
    EXPECT_EQ(stepsOnDisk(folder), committed + 400);
}
