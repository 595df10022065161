#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace platform {

// One running widget extension, spoken to over a socket that is its standard
// input and output: a JSON request per line out, a JSON reply per line back.
//
// Whatever the extension does — dies, hangs, writes garbage or enormous
// lines — a request returns within its time-out with an error, and an
// extension that misbehaved is ended, so the next request starts it afresh.
// The extension leads a process group of its own, and the whole group is
// ended with it: nothing it started outlives it.
class ExtensionProcess {
public:
    // Longest reply line accepted; a display list is a few tens of KiB.
    static constexpr std::size_t maximumReplySize = 4 * 1024 * 1024;

    struct Reply {
        std::optional<nlohmann::json> result; // present on success
        std::string errorCode;                // the extension's code, or "timeout", "failed"
        std::string errorMessage;
        bool ok() const { return result.has_value(); }
    };

    explicit ExtensionProcess(std::filesystem::path executable);
    ~ExtensionProcess();
    ExtensionProcess(const ExtensionProcess&) = delete;
    ExtensionProcess& operator=(const ExtensionProcess&) = delete;

    // Sends a request and waits for its reply. Starts the extension first if
    // it is not running. Safe to call from several threads (one at a time).
    Reply request(const std::string& method, const nlohmann::json& parameters,
                  std::chrono::milliseconds timeout);

    // Reads one line the extension wrote: the reply to request `identifier`,
    // or absent when the line is anything else (garbage, a reply to another
    // request). Never throws, whatever the line holds.
    static std::optional<Reply> replyFromLine(std::string_view line, std::uint64_t identifier);

    bool isRunning();
    // Closes the extension's input so it can finish; ends it if it does not
    // within a moment.
    void stop();
    // The running process, or -1.
    pid_t processIdentifier() const { return process_; }
    // How many times the process was started.
    int starts() const { return starts_; }
    // Whether the process ended on its own (it stays a zombie until `end`,
    // so its process group cannot pass to another program meanwhile).
    bool hasExited() const;

private:
    bool start(std::string& problem);
    void end(bool forcefully);
    Reply failure(const std::string& code, const std::string& message, bool endProcess);

    std::filesystem::path executable_;
    std::mutex lock_;
    std::atomic<pid_t> process_ = -1;
    int socket_ = -1;
    std::string buffer_;
    std::uint64_t nextRequest_ = 1;
    std::atomic<int> starts_ = 0;
};

} // namespace platform
