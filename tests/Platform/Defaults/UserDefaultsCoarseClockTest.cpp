// A rewritten file can look unchanged: a file system whose clock ticks
// coarsely (a few milliseconds, as on many kernels) and that hands a freed
// inode to the next file can give it the very inode, size and time it had
// before, and so can a tool that rewrites in place and restores the times
// (rsync --inplace -t). A read-modify-write must still start from what is on
// disk, or it silently undoes other writers.

#include "Platform/Defaults/UserDefaults.h"
#include "tests/Support/Files.h"
#include "tests/Support/TemporaryFolder.h"

#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>

using platform::UserDefaults;

TEST(UserDefaultsCoarseClock, AnIdenticalLookingRewriteIsStillReadBeforeAnIncrement) {
    tarvelo::testsupport::TemporaryFolder folder;
    UserDefaults first("domain", folder.path());
    first.setInteger(1, "count");
    struct stat seen {};
    ASSERT_EQ(::stat(first.path().c_str(), &seen), 0);

    // Another writer's state, in the same inode, with the same size and time.
    std::string text = tarvelo::testsupport::readFile(first.path());
    const auto digit = text.find("\"integer\": 1");
    ASSERT_NE(digit, std::string::npos);
    text[digit + 11] = '7';
    std::ofstream(first.path(), std::ios::in | std::ios::out) << text;
    const timespec times[2] = {seen.st_atim, seen.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, first.path().c_str(), times, 0), 0);
    struct stat now {};
    ASSERT_EQ(::stat(first.path().c_str(), &now), 0);
    ASSERT_EQ(now.st_ino, seen.st_ino);
    ASSERT_EQ(now.st_size, seen.st_size);

    first.exclusively([&] { first.setInteger(first.integer("count") + 10, "count"); });
    EXPECT_EQ(UserDefaults("domain", folder.path()).integer("count"), 17)
        << "the increment started from a stale copy";
    first.setInteger(first.integer("count") + 1, "count");
    EXPECT_EQ(UserDefaults("domain", folder.path()).integer("count"), 18);
}
