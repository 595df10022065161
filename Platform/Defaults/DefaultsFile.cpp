#include "Platform/Defaults/DefaultsFile.h"

#include "Platform/Files/BoundedReading.h"
#include "Platform/Files/FileReplacement.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr const char* formatMarker = "tarvelo-defaults";
constexpr int formatVersion = 1;

std::optional<std::string> readAll(int descriptor, std::size_t expectedSize) {
    std::string text;
    text.reserve(expectedSize);
    char buffer[16384];
    for (;;) {
        const ssize_t result = ::read(descriptor, buffer, sizeof buffer);
        if (result < 0) {
            if (errno == EINTR)
                continue;
            return std::nullopt;
        }
        if (result == 0)
            return text;
        text.append(buffer, static_cast<std::size_t>(result));
        if (text.size() > DefaultsFile::maximumFileSize)
            return std::nullopt;
    }
}

// The text of each entry of "values" in a document the JSON parser has
// accepted, by the entry's name as the parser reads it (the last of equal
// names, as the parser keeps): what a rewrite puts back byte for byte.
std::map<std::string, std::string> entryTextsOf(std::string_view text) {
    std::map<std::string, std::string> texts;
    std::size_t at = 0;
    const auto isBlank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    const auto skipBlanks = [&] {
        while (at < text.size() && isBlank(text[at]))
            ++at;
    };
    // Moves past the value at `at` and returns its text.
    const auto skipValue = [&]() -> std::string_view {
        const std::size_t start = at;
        std::size_t depth = 0;
        bool inString = false;
        bool escaped = false;
        for (; at < text.size(); ++at) {
            const char c = text[at];
            if (inString) {
                if (escaped)
                    escaped = false;
                else if (c == '\\')
                    escaped = true;
                else if (c == '"') {
                    inString = false;
                    if (depth == 0) {
                        ++at;
                        break;
                    }
                }
            } else if (c == '"') {
                inString = true;
            } else if (c == '[' || c == '{') {
                ++depth;
            } else if (c == ']' || c == '}') {
                if (depth == 0)
                    break;
                if (--depth == 0) {
                    ++at;
                    break;
                }
            } else if (depth == 0 && (c == ',' || isBlank(c))) {
                break;
            }
        }
        return text.substr(start, at - start);
    };
    // Calls `each(name)` at the value of every member of the object at `at`;
    // `each` moves past the value.
    const auto forEachMember = [&](const auto& each) {
        ++at;
        for (;;) {
            skipBlanks();
            if (at >= text.size() || text[at] == '}')
                return;
            const auto name = nlohmann::json::parse(skipValue(), nullptr, false);
            skipBlanks();
            ++at; // the colon
            skipBlanks();
            each(name.is_string() ? name.get<std::string>() : std::string());
            skipBlanks();
            if (at < text.size() && text[at] == ',')
                ++at;
        }
    };
    skipBlanks();
    if (at >= text.size() || text[at] != '{')
        return texts;
    forEachMember([&](const std::string& name) {
        if (name != "values" || text[at] != '{') {
            skipValue();
            return;
        }
        texts.clear();
        forEachMember([&](const std::string& key) { texts[key] = std::string(skipValue()); });
        ++at; // the closing brace
    });
    return texts;
}

} // namespace

DefaultsFile::DefaultsFile(std::filesystem::path folder, const std::string& domain)
    : folder_(std::move(folder)) {
    // A domain is a file name, never a path.
    std::string name = domain.empty() ? std::string("defaults") : domain;
    for (char& c : name)
        if (c == '/' || c == '\0')
            c = '_';
    if (name.front() == '.')
        name.insert(0, "_");
    path_ = folder_ / (name + ".json");
    lockPath_ = folder_ / (name + ".lock");
    // No folder (no home folder to find one in): values live in memory only.
    if (folder_.empty()) {
        fileIsLeftAsItIs_ = true;
        told_ = true;
    }
}

DefaultsFile::~DefaultsFile() {
    if (lockDescriptor_ >= 0)
        ::close(lockDescriptor_);
}

std::optional<DefaultsValue> DefaultsFile::value(const std::string& key) {
    std::lock_guard lock(mutex_);
    loadIfNeeded();
    const auto found = values_.find(key);
    if (found == values_.end())
        return std::nullopt;
    return DefaultsValueCoding::decode(*found);
}

void DefaultsFile::setValue(const std::string& key, const std::optional<DefaultsValue>& value) {
    std::lock_guard lock(mutex_);
    const bool standalone = exclusiveDepth_ == 0;
    if (standalone) {
        holdsProcessLock_ = lockAcrossProcesses();
        // Start from what is on disk now, so that keys other processes wrote
        // since we last looked survive our write.
        reloadEvenIfUnchanged();
    }
    if (value)
        values_[key] = DefaultsValueCoding::encode(*value);
    else
        values_.erase(key);
    entryTexts_.erase(key);
    hasUnwrittenChanges_ = true;
    if (standalone) {
        write();
        unlockAcrossProcesses();
    }
}

bool DefaultsFile::synchronize() {
    std::lock_guard lock(mutex_);
    if (hasUnwrittenChanges_)
        return write();
    reload();
    return true;
}

void DefaultsFile::exclusively(const std::function<void()>& body) {
    std::lock_guard lock(mutex_);
    if (exclusiveDepth_++ == 0) {
        holdsProcessLock_ = lockAcrossProcesses();
        reloadEvenIfUnchanged();
    }
    // Written out of a destructor, a failing write (out of memory) would end
    // the process; here it reaches the caller, and the lock is let go either way.
    const auto finish = [this] {
        if (--exclusiveDepth_ != 0)
            return;
        try {
            if (hasUnwrittenChanges_)
                write();
        } catch (...) {
            unlockAcrossProcesses();
            throw;
        }
        unlockAcrossProcesses();
    };
    try {
        body();
    } catch (...) {
        finish();
        throw;
    }
    finish();
}

void DefaultsFile::loadIfNeeded() {
    if (!loaded_)
        reload();
}

void DefaultsFile::reloadEvenIfUnchanged() {
    // A rewritten file can look unchanged: on a coarse file-system clock a
    // rewrite may get the freed inode back with the same size and time, and
    // some tools rewrite in place and restore the time. Before a
    // read-modify-write the file is small enough to simply read again.
    loadedIdentity_.reset();
    reload();
}

void DefaultsFile::reload() {
    loaded_ = true;
    // Writes not yet on disk stay in memory; re-reading would drop them.
    if (hasUnwrittenChanges_ || folder_.empty())
        return;

    const int descriptor = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (descriptor < 0) {
        if (errno == ENOENT || errno == ENOTDIR) {
            values_ = nlohmann::json::object();
            entryTexts_.clear();
            loadedIdentity_.reset();
            fileIsUnreadable_ = false;
            return;
        }
        // Permissions, a loop of links, a name too long: what we cannot read
        // we must not replace. Keep what we have, in memory only.
        const int error = errno;
        leaveFileAsItIs("cannot read " + path_.string() + " (" + std::strerror(error) + ")");
        return;
    }
    struct stat status {};
    if (::fstat(descriptor, &status) != 0) {
        ::close(descriptor);
        return;
    }
    const Identity identity{status.st_dev, status.st_ino, status.st_size,
                            static_cast<long long>(status.st_mtim.tv_sec) * 1000000000LL +
                                status.st_mtim.tv_nsec};
    if (loadedIdentity_ && *loadedIdentity_ == identity) {
        ::close(descriptor);
        return;
    }
    loadedIdentity_ = identity;

    std::optional<std::string> text;
    if (S_ISREG(status.st_mode) && static_cast<std::size_t>(status.st_size) <= maximumFileSize)
        text = readAll(descriptor, static_cast<std::size_t>(status.st_size));
    ::close(descriptor);

    nlohmann::json document;
    if (text && !jsonNestsDeeperThan(*text))
        document = nlohmann::json::parse(*text, nullptr, /*allow_exceptions=*/false);
    const bool isOurs = document.is_object() && document.contains(formatMarker) &&
                        document.contains("values") && document["values"].is_object();
    if (isOurs) {
        values_ = std::move(document["values"]);
        entryTexts_ = entryTextsOf(*text);
        // Only a complete reading is used; anything else is written anew.
        if (entryTexts_.size() != values_.size())
            entryTexts_.clear();
        fileIsUnreadable_ = false;
        return;
    }
    values_ = nlohmann::json::object();
    entryTexts_.clear();
    // An empty file holds nothing to lose; anything else is kept for the user.
    fileIsUnreadable_ = !(text && text->empty());
}

std::string DefaultsFile::documentText() const {
    const auto dumped = [](const nlohmann::json& value) {
        // A value we encoded has one member: {"integer": -2}.
        if (value.is_object() && value.size() == 1 && value.begin()->is_primitive())
            return "{" + nlohmann::json(value.begin().key()).dump() + ": " +
                   value.begin()->dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "}";
        return value.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    };
    // One entry a line. Entries as read go back byte for byte: a value this
    // version does not know is neither re-indented nor otherwise changed.
    std::string text =
        "{\n  \"" + std::string(formatMarker) + "\": " + std::to_string(formatVersion) + ",\n  \"values\": {";
    const char* separator = "\n    ";
    for (const auto& [key, value] : values_.items()) {
        const auto asRead = entryTexts_.find(key);
        text +=
            separator + dumped(key) + ": " + (asRead != entryTexts_.end() ? asRead->second : dumped(value));
        separator = ",\n    ";
    }
    text += values_.empty() ? "}\n}\n" : "\n  }\n}\n";
    return text;
}

bool DefaultsFile::write() {
    // Until a write succeeds the changes stay pending, so that a later
    // reload cannot drop them and a later synchronize tries again.
    hasUnwrittenChanges_ = true;
    if (fileIsLeftAsItIs_)
        return false;
    if (!FileReplacement::makePrivateFolder(folder_)) {
        const int error = errno;
        tellOnce("cannot make the folder " + folder_.string() + " (" + std::strerror(error) + ")");
        return false;
    }
    if (fileIsUnreadable_ && !keepUnreadableFileAside())
        return false;

    // Under the cross-process lock one temporary name serves every writer and
    // a leftover from a killed writer is simply replaced; without the lock
    // each writer needs a name of its own.
    const std::string suffix = holdsProcessLock_ ? std::string(".tmp") : ".tmp." + std::to_string(::getpid());
    struct stat status {};
    if (!FileReplacement::replace(path_, documentText(), suffix, &status)) {
        const int error = errno;
        tellOnce("cannot write " + path_.string() + " (" + std::strerror(error) + ")");
        return false;
    }
    hasUnwrittenChanges_ = false;
    loadedIdentity_ =
        Identity{status.st_dev, status.st_ino, status.st_size,
                 static_cast<long long>(status.st_mtim.tv_sec) * 1000000000LL + status.st_mtim.tv_nsec};
    return true;
}

bool DefaultsFile::keepUnreadableFileAside() {
    // Through a link, the file it leads to is kept aside, beside itself; the
    // link stays.
    const auto target = FileReplacement::linkTarget(path_);
    if (!target) {
        leaveFileAsItIs("cannot follow the links of " + path_.string());
        return false;
    }
    if (!FileReplacement::moveAside(*target) && errno != ENOENT) {
        const int error = errno;
        leaveFileAsItIs(path_.string() + " is not a settings file of ours and cannot be moved aside (" +
                        std::strerror(error) + ")");
        return false;
    }
    fileIsUnreadable_ = false;
    return true;
}

void DefaultsFile::leaveFileAsItIs(const std::string& why) {
    fileIsLeftAsItIs_ = true;
    tellOnce(why + "; it is left as it is");
}

void DefaultsFile::tellOnce(const std::string& why) {
    if (told_)
        return;
    told_ = true;
    std::fprintf(stderr, "%s: %s; settings are kept in memory until the program ends\n",
                 program_invocation_short_name, why.c_str());
}

bool DefaultsFile::lockAcrossProcesses() {
    if (lockDescriptor_ < 0) {
        if (folder_.empty() || !FileReplacement::makePrivateFolder(folder_))
            return false;
        lockDescriptor_ =
            ::open(lockPath_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY, 0600);
        if (lockDescriptor_ < 0)
            return false;
    }
    while (::flock(lockDescriptor_, LOCK_EX) != 0)
        if (errno != EINTR)
            return false;
    return true;
}

void DefaultsFile::unlockAcrossProcesses() {
    if (holdsProcessLock_ && lockDescriptor_ >= 0)
        ::flock(lockDescriptor_, LOCK_UN);
    holdsProcessLock_ = false;
}

} // namespace platform
