#pragma once

#include "Platform/Workspace/Workspace.h"

namespace platform {

// The workspace of a freedesktop.org desktop, through GIO: applications are
// desktop entries, URL-scheme handlers are the "x-scheme-handler/<scheme>"
// associations (mimeapps.list and mimeinfo.cache), launching is
// g_app_info_launch_uris_async. See docs/workspace.md.
class GioWorkspace final : public Workspace {
public:
    std::optional<URL> urlForApplicationWithBundleIdentifier(const std::string& bundleIdentifier) override;
    std::vector<URL> urlsForApplicationsToOpenURL(const URL& url) override;
    std::optional<URL> urlForApplicationToOpenURL(const URL& url) override;
    std::vector<URL> urlsForApplicationsToOpenContentType(const std::string& contentType) override;
    std::optional<URL> urlForApplicationToOpenContentType(const std::string& contentType) override;
    std::string iconForFile(const std::filesystem::path& path) override;

    void openURLs(const std::vector<URL>& urls, const URL& applicationURL,
                  std::shared_ptr<const OpenConfiguration> configuration,
                  OpenCompletion completionHandler) override;
    void openApplicationAtURL(const URL& applicationURL,
                              std::shared_ptr<const OpenConfiguration> configuration,
                              OpenCompletion completionHandler) override;
    bool openURL(const URL& url) override;

    std::unique_ptr<Bundle> bundleWithURL(const URL& url) override;
};

} // namespace platform
