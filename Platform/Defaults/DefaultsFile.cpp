#include "DefaultsFile.h"

#include "FileReplacement.h"

#include <cerrno>
#include <ctime>
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

std::string utcTimestamp() {
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
    gmtime_r(&now, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%dT%H%M%SZ", &parts);
    return text;
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
    struct Finish {
        DefaultsFile& file;
        ~Finish() {
            if (--file.exclusiveDepth_ == 0) {
                if (file.hasUnwrittenChanges_)
                    file.write();
                file.unlockAcrossProcesses();
            }
        }
    } finish{*this};
    body();
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
    if (hasUnwrittenChanges_)
        return;

    const int descriptor = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (descriptor < 0) {
        if (errno == ENOENT || errno == ENOTDIR) {
            values_ = nlohmann::json::object();
            loadedIdentity_.reset();
            fileIsUnreadable_ = false;
        }
        // Any other failure (permissions, say): keep what we have.
        return;
    }
    struct stat status {};
    if (::fstat(descriptor, &status) != 0) {
        ::close(descriptor);
        return;
    }
    const Identity identity{status.st_dev, status.st_ino, status.st_size,
                            static_cast<long long>(status.st_mtim.tv_sec) * 1000000000LL + status.st_mtim.tv_nsec};
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
    if (text)
        document = nlohmann::json::parse(*text, nullptr, /*allow_exceptions=*/false);
    const bool isOurs = document.is_object() && document.contains(formatMarker) &&
                        document.contains("values") && document["values"].is_object();
    if (isOurs) {
        values_ = std::move(document["values"]);
        fileIsUnreadable_ = false;
        return;
    }
    values_ = nlohmann::json::object();
    // An empty file holds nothing to lose; anything else is kept for the user.
    fileIsUnreadable_ = !(text && text->empty());
}

bool DefaultsFile::write() {
    // Until a write succeeds the changes stay pending, so that a later
    // reload cannot drop them and a later synchronize tries again.
    hasUnwrittenChanges_ = true;
    if (!FileReplacement::makePrivateFolder(folder_))
        return false;
    if (fileIsUnreadable_)
        keepUnreadableFileAside();

    const nlohmann::json document = {{formatMarker, formatVersion}, {"values", values_}};
    const std::string text = document.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";

    // Under the cross-process lock one temporary name serves every writer and
    // a leftover from a killed writer is simply replaced; without the lock
    // each writer needs a name of its own.
    std::filesystem::path temporary = path_;
    temporary += holdsProcessLock_ ? std::string(".tmp") : ".tmp." + std::to_string(::getpid());
    struct stat status {};
    if (!FileReplacement::replace(path_, text, temporary, &status))
        return false;
    hasUnwrittenChanges_ = false;
    loadedIdentity_ = Identity{status.st_dev, status.st_ino, status.st_size,
                               static_cast<long long>(status.st_mtim.tv_sec) * 1000000000LL +
                                   status.st_mtim.tv_nsec};
    return true;
}

void DefaultsFile::keepUnreadableFileAside() {
    fileIsUnreadable_ = false;
    const std::string base = path_.string() + ".unreadable-" + utcTimestamp();
    std::string aside = base;
    for (int attempt = 1; ::access(aside.c_str(), F_OK) == 0 && attempt < 1000; ++attempt)
        aside = base + "-" + std::to_string(attempt);
    ::rename(path_.c_str(), aside.c_str());
}

bool DefaultsFile::lockAcrossProcesses() {
    if (lockDescriptor_ < 0) {
        if (!FileReplacement::makePrivateFolder(folder_))
            return false;
        lockDescriptor_ = ::open(lockPath_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY, 0600);
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
