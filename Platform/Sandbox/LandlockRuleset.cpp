#include "Platform/Sandbox/LandlockRuleset.h"

#include <cerrno>
#include <fcntl.h>
#include <linux/landlock.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

// Rights of later ABI versions than the system headers may know.
#ifndef LANDLOCK_ACCESS_FS_REFER
#define LANDLOCK_ACCESS_FS_REFER (1ULL << 13)
#endif
#ifndef LANDLOCK_ACCESS_FS_TRUNCATE
#define LANDLOCK_ACCESS_FS_TRUNCATE (1ULL << 14)
#endif
#ifndef LANDLOCK_ACCESS_FS_IOCTL_DEV
#define LANDLOCK_ACCESS_FS_IOCTL_DEV (1ULL << 15)
#endif

namespace platform {

namespace {

// The kernel accepts the ruleset attributes of any earlier ABI by size; this
// is the first one, which covers file access only.
struct RulesetAttributes {
    std::uint64_t handledAccessFs;
};

struct PathBeneathAttributes {
    std::uint64_t allowedAccess;
    std::int32_t parentDescriptor;
} __attribute__((packed));

constexpr std::uint64_t readAccess = LANDLOCK_ACCESS_FS_READ_FILE | LANDLOCK_ACCESS_FS_READ_DIR;
constexpr std::uint64_t writeAccess = LANDLOCK_ACCESS_FS_WRITE_FILE | LANDLOCK_ACCESS_FS_REMOVE_DIR |
                                      LANDLOCK_ACCESS_FS_REMOVE_FILE | LANDLOCK_ACCESS_FS_MAKE_DIR |
                                      LANDLOCK_ACCESS_FS_MAKE_REG | LANDLOCK_ACCESS_FS_REFER |
                                      LANDLOCK_ACCESS_FS_TRUNCATE;
// The rights that make sense on a file rather than a folder.
constexpr std::uint64_t fileAccess = LANDLOCK_ACCESS_FS_EXECUTE | LANDLOCK_ACCESS_FS_WRITE_FILE |
                                     LANDLOCK_ACCESS_FS_READ_FILE | LANDLOCK_ACCESS_FS_TRUNCATE |
                                     LANDLOCK_ACCESS_FS_IOCTL_DEV;

std::uint64_t handledAccess(int version) {
    std::uint64_t access = (LANDLOCK_ACCESS_FS_MAKE_SYM << 1) - 1; // version 1: bits 0 to 12
    if (version >= 2)
        access |= LANDLOCK_ACCESS_FS_REFER;
    if (version >= 3)
        access |= LANDLOCK_ACCESS_FS_TRUNCATE;
    if (version >= 5)
        access |= LANDLOCK_ACCESS_FS_IOCTL_DEV;
    return access;
}

} // namespace

LandlockRuleset::LandlockRuleset() {
    const long version = ::syscall(SYS_landlock_create_ruleset, nullptr, 0, LANDLOCK_CREATE_RULESET_VERSION);
    if (version < 1)
        return;
    handled_ = handledAccess(static_cast<int>(version));
    const RulesetAttributes attributes{handled_};
    const long ruleset = ::syscall(SYS_landlock_create_ruleset, &attributes, sizeof attributes, 0);
    if (ruleset < 0)
        return;
    ruleset_ = static_cast<int>(ruleset);
    version_ = static_cast<int>(version);
}

LandlockRuleset::~LandlockRuleset() {
    if (ruleset_ >= 0)
        ::close(ruleset_);
}

bool LandlockRuleset::allowReading(const std::filesystem::path& path) {
    return allow(path, readAccess);
}

bool LandlockRuleset::allowReadingAndWriting(const std::filesystem::path& path) {
    return allow(path, readAccess | writeAccess);
}

bool LandlockRuleset::allow(const std::filesystem::path& path, std::uint64_t access) {
    if (ruleset_ < 0)
        return false;
    const int descriptor = ::open(path.c_str(), O_PATH | O_CLOEXEC);
    if (descriptor < 0)
        return false;
    struct stat status {};
    if (::fstat(descriptor, &status) != 0) {
        ::close(descriptor);
        return false;
    }
    access &= handled_;
    if (!S_ISDIR(status.st_mode))
        access &= fileAccess;
    const PathBeneathAttributes rule{access, descriptor};
    const bool added = ::syscall(SYS_landlock_add_rule, ruleset_, LANDLOCK_RULE_PATH_BENEATH, &rule, 0) == 0;
    ::close(descriptor);
    return added;
}

bool LandlockRuleset::enforce() {
    if (ruleset_ < 0)
        return false;
    const bool enforced = ::syscall(SYS_landlock_restrict_self, ruleset_, 0) == 0;
    ::close(ruleset_);
    ruleset_ = -1;
    return enforced;
}

} // namespace platform
