#pragma once

#include "Platform/Workspace/Workspace.h"

#include <map>

namespace tarvelo::testsupport {

// A workspace made of plain tables, which records what it was asked to open
// and leaves completing those requests to the test.
class FakeWorkspace final : public platform::Workspace {
public:
    struct Application {
        std::optional<std::string> bundleIdentifier;
        std::map<std::string, platform::InfoDictionaryValue> info;
    };
    struct OpenRequest {
        std::vector<platform::URL> urls;
        platform::URL applicationURL;
        std::shared_ptr<const platform::OpenConfiguration> configuration;
        platform::OpenCompletion completion;
    };

    // Bundles by the absolute string of their URL.
    std::map<std::string, Application> bundles;
    std::map<std::string, platform::URL> installedByIdentifier;
    std::map<std::string, std::vector<platform::URL>> handlersByScheme;
    std::map<std::string, platform::URL> defaultHandlerByScheme;
    // By content type ("text/calendar").
    std::map<std::string, std::vector<platform::URL>> handlersByContentType;
    std::map<std::string, platform::URL> defaultHandlerByContentType;

    std::vector<std::string> lookedUpIdentifiers;
    std::vector<OpenRequest> openURLsRequests;
    std::vector<OpenRequest> openApplicationRequests;

    // Adds an application at "file:///apps/<fileName>" and returns its URL.
    platform::URL install(const std::string& fileName, std::optional<std::string> bundleIdentifier,
                          std::map<std::string, platform::InfoDictionaryValue> info = {}) {
        auto url = platform::URL::fileURL("/apps/" + fileName);
        bundles[url.absoluteString()] = Application{bundleIdentifier, std::move(info)};
        if (bundleIdentifier)
            installedByIdentifier.emplace(*bundleIdentifier, url);
        return url;
    }

    std::optional<platform::URL>
    urlForApplicationWithBundleIdentifier(const std::string& identifier) override {
        lookedUpIdentifiers.push_back(identifier);
        return lookup(installedByIdentifier, identifier);
    }
    std::vector<platform::URL> urlsForApplicationsToOpenURL(const platform::URL& url) override {
        return lookup(handlersByScheme, std::string(url.scheme())).value_or(std::vector<platform::URL>());
    }
    std::optional<platform::URL> urlForApplicationToOpenURL(const platform::URL& url) override {
        return lookup(defaultHandlerByScheme, std::string(url.scheme()));
    }
    std::vector<platform::URL> urlsForApplicationsToOpenContentType(const std::string& type) override {
        return lookup(handlersByContentType, type).value_or(std::vector<platform::URL>());
    }
    std::optional<platform::URL> urlForApplicationToOpenContentType(const std::string& type) override {
        return lookup(defaultHandlerByContentType, type);
    }
    std::string iconForFile(const std::filesystem::path&) override { return "application-x-executable"; }
    void openURLs(const std::vector<platform::URL>& urls, const platform::URL& applicationURL,
                  std::shared_ptr<const platform::OpenConfiguration> configuration,
                  platform::OpenCompletion completion) override {
        openURLsRequests.push_back({urls, applicationURL, std::move(configuration), std::move(completion)});
    }
    void openApplicationAtURL(const platform::URL& applicationURL,
                              std::shared_ptr<const platform::OpenConfiguration> configuration,
                              platform::OpenCompletion completion) override {
        openApplicationRequests.push_back(
            {{}, applicationURL, std::move(configuration), std::move(completion)});
    }
    bool openURL(const platform::URL&) override { return false; }
    std::unique_ptr<platform::Bundle> bundleWithURL(const platform::URL& url) override {
        const auto found = lookup(bundles, url.absoluteString());
        return found ? std::make_unique<FakeBundle>(*found) : nullptr;
    }

private:
    template <typename Map>
    static std::optional<typename Map::mapped_type> lookup(const Map& map,
                                                           const typename Map::key_type& key) {
        const auto found = map.find(key);
        return found == map.end() ? std::nullopt : std::optional(found->second);
    }
    class FakeBundle final : public platform::Bundle {
    public:
        explicit FakeBundle(Application application)
            : application_(std::move(application)) {}
        std::optional<std::string> bundleIdentifier() const override { return application_.bundleIdentifier; }
        std::optional<platform::InfoDictionaryValue>
        objectForInfoDictionaryKey(const std::string& key) const override {
            return lookup(application_.info, key);
        }

    private:
        Application application_;
    };
};

} // namespace tarvelo::testsupport
