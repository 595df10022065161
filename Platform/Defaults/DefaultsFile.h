#pragma once

#include "Platform/Defaults/DefaultsValue.h"

#include <filesystem>
#include <map>
#include <mutex>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

namespace platform {

// The state of one defaults domain and its file; UserDefaults' inner part.
//
// File format (UTF-8 JSON):
//
//     {"tarvelo-defaults": 1,
//      "values": {"Tarvelo.visibleMonthOffset": {"integer": -2},
//                 "Tarvelo.lastStepAt": {"date": 786708000.25}}}
//
// A file without the "tarvelo-defaults" marker is someone else's and is never
// taken for ours. Entries whose value we cannot decode are kept as they are,
// byte for byte. A file we cannot read, or cannot move aside, is never
// replaced: values then stay in memory, and one line on standard error says
// why. Reads and writes follow a symbolic link to the file it leads to.
class DefaultsFile {
public:
    DefaultsFile(std::filesystem::path folder, const std::string& domain);
    ~DefaultsFile();

    const std::filesystem::path& path() const { return path_; }

    std::optional<DefaultsValue> value(const std::string& key);
    void setValue(const std::string& key, const std::optional<DefaultsValue>& value);
    bool synchronize();
    void exclusively(const std::function<void()>& body);

    // Largest file we read; anything bigger is not ours to load into memory.
    // A file nested deeper than deepestJSONNesting is not read either.
    static constexpr std::size_t maximumFileSize = 8 * 1024 * 1024;

private:
    // Identity of the file as last read, to skip re-reading an unchanged file.
    struct Identity {
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = 0;
        long long modifiedNanoseconds = 0;
        bool operator==(const Identity&) const = default;
    };

    void loadIfNeeded();
    void reload();
    void reloadEvenIfUnchanged();
    bool write();
    std::string documentText() const;
    bool lockAcrossProcesses();
    void unlockAcrossProcesses();
    bool keepUnreadableFileAside();
    void leaveFileAsItIs(const std::string& why);
    void tellOnce(const std::string& why);

    std::filesystem::path folder_;
    std::filesystem::path path_;
    std::filesystem::path lockPath_;

    std::recursive_mutex mutex_;
    nlohmann::json values_ = nlohmann::json::object();
    // The text of each entry as last read, for the entries not set since.
    std::map<std::string, std::string> entryTexts_;
    bool loaded_ = false;
    std::optional<Identity> loadedIdentity_;
    // The file on disk could not be read as ours; move it aside before writing.
    bool fileIsUnreadable_ = false;
    // The file could not be read, or not moved aside: this process never
    // writes it.
    bool fileIsLeftAsItIs_ = false;
    // A line on standard error has said why values stay in memory.
    bool told_ = false;

    int lockDescriptor_ = -1;
    int exclusiveDepth_ = 0;
    bool holdsProcessLock_ = false;
    bool hasUnwrittenChanges_ = false;
};

} // namespace platform
