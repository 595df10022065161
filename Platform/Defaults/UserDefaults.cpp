#include "Platform/Defaults/UserDefaults.h"

#include "Platform/Defaults/DefaultsFile.h"
#include "Platform/Files/XdgFolders.h"

#include <cerrno>
#include <cstdlib>
#include <mutex>

namespace platform {

namespace {

// Function-local, so that naming the domain works even from another
// translation unit's static initialisation.
struct StandardDomain {
    std::mutex lock;
    std::string name;
};
StandardDomain& standardDomain() {
    static StandardDomain domain;
    return domain;
}

template <typename Value> std::optional<Value> held(const std::optional<DefaultsValue>& value) {
    if (value && std::holds_alternative<Value>(*value))
        return std::get<Value>(*value);
    return std::nullopt;
}

} // namespace

UserDefaults::UserDefaults(const std::string& domain)
    : UserDefaults(domain, folderForDomains()) {}

UserDefaults::UserDefaults(const std::string& domain, const std::filesystem::path& folder)
    : file_(std::make_unique<DefaultsFile>(folder, domain)) {}

UserDefaults::~UserDefaults() = default;

UserDefaults& UserDefaults::standard() {
    static UserDefaults instance([] {
        auto& domain = standardDomain();
        std::lock_guard lock(domain.lock);
        return domain.name.empty() ? std::string(program_invocation_short_name) : domain.name;
    }());
    return instance;
}

void UserDefaults::setStandardDomain(const std::string& domain) {
    auto& standard = standardDomain();
    std::lock_guard lock(standard.lock);
    standard.name = domain;
}

std::filesystem::path UserDefaults::folderForDomains() {
    const auto configHome = XdgFolders::configHome();
    return configHome ? *configHome / "tarvelo" : std::filesystem::path();
}

const std::filesystem::path& UserDefaults::path() const {
    return file_->path();
}

std::int64_t UserDefaults::integer(const std::string& key) {
    return held<std::int64_t>(file_->value(key)).value_or(0);
}

double UserDefaults::doubleValue(const std::string& key) {
    return held<double>(file_->value(key)).value_or(0.0);
}

bool UserDefaults::boolean(const std::string& key) {
    return held<bool>(file_->value(key)).value_or(false);
}

std::optional<std::string> UserDefaults::string(const std::string& key) {
    return held<std::string>(file_->value(key));
}

std::optional<Instant> UserDefaults::date(const std::string& key) {
    return held<Instant>(file_->value(key));
}

std::optional<DefaultsValue> UserDefaults::object(const std::string& key) {
    return file_->value(key);
}

void UserDefaults::setInteger(std::int64_t value, const std::string& key) {
    file_->setValue(key, value);
}

void UserDefaults::setObject(const DefaultsValue& value, const std::string& key) {
    file_->setValue(key, value);
}

void UserDefaults::removeObject(const std::string& key) {
    file_->setValue(key, std::nullopt);
}

bool UserDefaults::synchronize() {
    return file_->synchronize();
}

void UserDefaults::exclusively(const std::function<void()>& body) {
    file_->exclusively(body);
}

} // namespace platform
