#pragma once

#include "Platform/Calendar/Instant.h"
#include "Platform/Defaults/DefaultsValue.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace platform {

class DefaultsFile;

// A persistent key-value store for one program (a "domain"), kept in one file:
//
//     $XDG_CONFIG_HOME/tarvelo/<domain>.json     (XDG_CONFIG_HOME defaults to ~/.config)
//
// Reads come from memory, as last loaded. Writes go straight to the file: each
// one replaces it whole (write a temporary, flush it to disk, rename), so a process
// killed at any instant leaves either the old or the new contents. A lock
// file beside it serialises writers across processes, and every write first
// picks up what other processes wrote, so no process undoes another's keys.
// `synchronize()` picks up other processes' writes.
//
// `exclusively()` groups reads and writes into one step that no other
// process can interleave with, written to disk once; that is what makes a
// read-modify-write (a counter) lossless across processes.
//
// Nothing here returns an error. A file that is missing, empty, truncated,
// binary, too large, nested too deeply or someone else's reads as an empty
// domain; a value of the wrong type reads as missing; a file that is not
// ours is moved aside to "<domain>.json.unreadable-<UTC time>" before the
// first write replaces it, never silently overwritten. A file that cannot be
// read or moved aside is left as it is, and if the folder or file cannot be
// written, the values live in memory for the life of the process; one line
// on standard error then says why. Symbolic links are followed and stay
// links (docs/defaults.md).
//
// Safe to use from any number of threads.
class UserDefaults {
public:
    // The domain's file in the default folder (folderForDomains()).
    explicit UserDefaults(const std::string& domain);
    // The domain's file in another folder (tests, a relocated profile).
    UserDefaults(const std::string& domain, const std::filesystem::path& folder);
    ~UserDefaults();

    UserDefaults(const UserDefaults&) = delete;
    UserDefaults& operator=(const UserDefaults&) = delete;

    // The process's own domain, made on first use: the one named by
    // setStandardDomain(), else the program's name.
    static UserDefaults& standard();
    // Names the standard domain; takes effect only before standard() is
    // first called.
    static void setStandardDomain(const std::string& domain);

    // $XDG_CONFIG_HOME/tarvelo, or ~/.config/tarvelo; empty without a home
    // folder, and values then live in memory only.
    static std::filesystem::path folderForDomains();

    const std::filesystem::path& path() const;

    // 0 when the key is missing or holds no integer.
    std::int64_t integer(const std::string& key);
    // 0.0 when the key is missing or holds no double.
    double doubleValue(const std::string& key);
    // false when the key is missing or holds no boolean.
    bool boolean(const std::string& key);
    std::optional<std::string> string(const std::string& key);
    std::optional<Instant> date(const std::string& key);
    // Whatever the key holds, of any known type.
    std::optional<DefaultsValue> object(const std::string& key);

    void setInteger(std::int64_t value, const std::string& key);
    void setObject(const DefaultsValue& value, const std::string& key);
    void removeObject(const std::string& key);

    // Writes anything not yet written and picks up other processes' writes.
    // False when the file could not be written.
    bool synchronize();

    // Runs `body` while holding the domain's lock across processes, on the
    // domain as it is on disk right now; its writes reach the file once, when
    // it returns (or earlier, at a synchronize() inside it). Calls may nest.
    void exclusively(const std::function<void()>& body);

private:
    std::unique_ptr<DefaultsFile> file_;
};

} // namespace platform
