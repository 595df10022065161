// The month offset's file under fire: a process that keeps stepping it is
// killed with SIGKILL at random instants, over and over, and after every kill
// the file must read back as a complete earlier state: ours, never torn, never
// set aside as unreadable, and holding every step the process reported done
// (at most the one step in flight beyond).

#include "Platform/Defaults/UserDefaults.h"
#include "TarveloFeature/MonthModel/MonthOffsetStore.h"
#include "tests/Support/TemporaryFolder.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
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

namespace {

constexpr const char* widgetDomain = "today.tarvelo.Tarvelo.TarveloWidget";

// Run in a child process: one step of the widget's buttons in `folder`,
// returning once it is on disk. One store for the life of the child, as in
// the extension.
void step(const fs::path& folder) {
    static UserDefaults defaults(widgetDomain, folder);
    static tarvelo::MonthOffsetStore store(defaults, Instant::now());
    store.step(1, Instant::now());
}

// How many steps the file in `folder` holds; absent when it is not a
// complete state of ours.
std::optional<std::int64_t> stepsOnDisk(const fs::path& folder) {
    const fs::path path = folder / (std::string(widgetDomain) + ".json");
    if (!fs::exists(path))
        return 0;
    // Read the raw text: a fresh reader would take a torn file for empty.
    std::ifstream input(path);
    const std::string text{std::istreambuf_iterator<char>(input), {}};
    const auto document = nlohmann::json::parse(text, nullptr, false);
    if (!document.is_object() || !document.contains("tarvelo-defaults") || !document.contains("values"))
        return std::nullopt;
    const auto& values = document["values"];
    const auto integer = [&](const char* key) -> std::optional<std::int64_t> {
        if (!values.contains(key) || !values[key].contains("integer"))
            return std::nullopt;
        return values[key]["integer"].get<std::int64_t>();
    };
    const auto offset = integer(tarvelo::MonthOffsetStore::offsetKey);
    // A step writes offset, count and time in one replacement of the file.
    if (!offset || integer(tarvelo::MonthOffsetStore::stepCountKey) != offset ||
        !values.contains(tarvelo::MonthOffsetStore::lastStepAtKey))
        return std::nullopt;
    // And what UserDefaults itself reads agrees.
    if (UserDefaults(widgetDomain, folder).integer(tarvelo::MonthOffsetStore::offsetKey) != *offset)
        return std::nullopt;
    return offset;
}

// A child process stepping the file until it is killed (or has taken
// `limit` steps), writing one byte to the pipe after each completed step.
struct Stepper {
    pid_t process = -1;
    int reports = -1;

    static Stepper start(const fs::path& folder, long limit) {
        int pipeEnds[2];
        if (::pipe2(pipeEnds, O_CLOEXEC) != 0)
            return {};
        const pid_t child = ::fork();
        if (child == 0) {
            // Never outlive the test.
            ::prctl(PR_SET_PDEATHSIG, SIGKILL);
            ::close(pipeEnds[0]);
            for (long taken = 0; taken < limit; ++taken) {
                step(folder);
                const char done = 1;
                while (::write(pipeEnds[1], &done, 1) < 0 && errno == EINTR) {
                }
            }
            ::_exit(0);
        }
        ::close(pipeEnds[1]);
        return {child, pipeEnds[0]};
    }

    // Waits for the child to end; returns how many steps it reported done.
    std::int64_t finish() {
        int status = 0;
        while (::waitpid(process, &status, 0) < 0 && errno == EINTR) {
        }
        std::int64_t done = 0;
        char buffer[4096];
        for (;;) {
            const ssize_t count = ::read(reports, buffer, sizeof buffer);
            if (count < 0 && errno == EINTR)
                continue;
            if (count <= 0)
                break;
            done += count;
        }
        ::close(reports);
        return done;
    }
};

// The folder holds the domain's file, its lock and perhaps a temporary a
// killed writer left; never a file set aside as unreadable. A writer killed
// before its first write leaves no folder at all.
void expectNoUnreadableFiles(const fs::path& folder) {
    std::error_code missing;
    for (const auto& entry : fs::directory_iterator(folder, missing))
        ASSERT_EQ(entry.path().filename().string().find(".unreadable-"), std::string::npos)
            << entry.path() << " was set aside as unreadable";
}

class KilledWhileWriting : public ::testing::Test {
protected:
    tarvelo::testsupport::TemporaryFolder root;
    fs::path folder = root.path() / "tarvelo";
    std::mt19937 random{std::random_device{}()};

    std::int64_t onDisk() {
        const auto steps = stepsOnDisk(folder);
        EXPECT_TRUE(steps) << "the file is not a complete state";
        return steps.value_or(-1);
    }
};

} // namespace

TEST_F(KilledWhileWriting, EveryKillLeavesACompleteEarlierState) {
    // TARVELO_TEST_KILL_COUNT scales the attack (sanitizer builds, long runs).
    const char* count = std::getenv("TARVELO_TEST_KILL_COUNT");
    const long kills = count && *count ? std::strtol(count, nullptr, 10) : 1000;
    std::uniform_int_distribution<int> delayMicroseconds(0, 3000);
    std::int64_t committed = 0;
    long killedMidStep = 0;
    long killedWithStepsDone = 0;
    for (long kill = 0; kill < kills; ++kill) {
        Stepper stepper = Stepper::start(folder, 1'000'000);
        ASSERT_GT(stepper.process, 0);
        std::this_thread::sleep_for(std::chrono::microseconds(delayMicroseconds(random)));
        ::kill(stepper.process, SIGKILL);
        const std::int64_t reported = stepper.finish();

        const std::int64_t steps = onDisk();
        ASSERT_GE(steps, committed + reported) << "kill " << kill << " lost a step reported done";
        ASSERT_LE(steps, committed + reported + 1) << "kill " << kill << " made up a step";
        expectNoUnreadableFiles(folder);
        killedMidStep += steps == committed + reported + 1;
        killedWithStepsDone += reported > 0;
        committed = steps;
    }
    // Where the kills landed, for the record of this run.
    std::printf("%ld kills, %lld steps on disk, %ld kills after the file was replaced but before the step "
                "was reported, %ld kills after at least one step\n",
                kills, static_cast<long long>(committed), killedMidStep, killedWithStepsDone);

    // A writer after all that still works, and picks up where the file is.
    Stepper last = Stepper::start(folder, 5);
    EXPECT_EQ(last.finish(), 5);
    EXPECT_EQ(onDisk(), committed + 5);
}

TEST_F(KilledWhileWriting, TwoWritersLoseNoStepEitherReported) {
    constexpr long stepsEach = 200;
    Stepper first = Stepper::start(folder, stepsEach);
    Stepper second = Stepper::start(folder, stepsEach);
    ASSERT_GT(first.process, 0);
    ASSERT_GT(second.process, 0);
    EXPECT_EQ(first.finish() + second.finish(), 2 * stepsEach);
    EXPECT_EQ(onDisk(), 2 * stepsEach);
    expectNoUnreadableFiles(folder);
}
