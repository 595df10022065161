#pragma once

#include <cstdint>
#include <filesystem>

namespace platform {

// A Landlock ruleset under construction (Linux 5.13 and later): every file
// access right the running kernel knows is denied except beneath the paths
// added. Inert where the kernel has no Landlock.
class LandlockRuleset {
public:
    LandlockRuleset();
    ~LandlockRuleset();
    LandlockRuleset(const LandlockRuleset&) = delete;
    LandlockRuleset& operator=(const LandlockRuleset&) = delete;

    // The kernel's Landlock ABI version; 0 without Landlock.
    int version() const { return version_; }

    // False for a path that cannot be opened (it is then simply not allowed).
    bool allowReading(const std::filesystem::path& path);
    bool allowReadingAndWriting(const std::filesystem::path& path);

    // Enforces the ruleset on the calling thread's process; needs no new
    // privileges set first. False when it could not be enforced.
    bool enforce();

private:
    bool allow(const std::filesystem::path& path, std::uint64_t access);

    int version_ = 0;
    int ruleset_ = -1;
    std::uint64_t handled_ = 0;
};

} // namespace platform
