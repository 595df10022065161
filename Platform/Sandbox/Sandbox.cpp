#include "Platform/Sandbox/Sandbox.h"

#include "Platform/Files/FileReplacement.h"
#include "Platform/Sandbox/LandlockRuleset.h"
#include "Platform/Sandbox/SystemCallFilter.h"

#include <cerrno>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

// Landlock binds the calling thread and the threads it starts later, not
// those already running: give threads a library started and is ending (a
// font loader, say) a moment to go.
void waitForOtherThreadsToEnd() {
    for (int attempt = 0; attempt < 50; ++attempt) {
        std::error_code error;
        const auto threads = std::distance(std::filesystem::directory_iterator("/proc/self/task", error),
                                           std::filesystem::directory_iterator());
        if (error || threads <= 1)
            return;
        ::usleep(2000);
    }
}

} // namespace

Sandbox::Outcome Sandbox::restrict(const FileAccess& access) {
    Outcome outcome;
    // Both what follows need it, and it is worth having alone.
    if (::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0)
        return outcome;

    LandlockRuleset ruleset;
    waitForOtherThreadsToEnd();
    if (ruleset.version() > 0) {
        for (const auto& path : access.readOnly)
            ruleset.allowReading(path);
        // A path that cannot even be looked at (a loop of links, a name over
        // PATH_MAX, a folder we may not search) is simply not allowed.
        for (const auto& path : access.readWrite) {
            std::error_code error;
            if (std::filesystem::exists(path, error) || (!error && FileReplacement::makePrivateFolder(path)))
                ruleset.allowReadingAndWriting(path);
        }
        if (ruleset.enforce())
            outcome.landlockVersion = ruleset.version();
    }
    outcome.systemCallFilter = SystemCallFilter::install();
    return outcome;
}

} // namespace platform
