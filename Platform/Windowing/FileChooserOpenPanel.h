#pragma once

#include "Platform/Workspace/OpenPanel.h"

#include <glibmm/refptr.h>
#include <sigc++/connection.h>

namespace Gtk {
class FileChooserNative;
class Window;
} // namespace Gtk

namespace platform {

// The open panel of a GTK desktop: the native file chooser (the desktop
// portal's where there is one), modal for `parent`. Applications are desktop
// entries, so only those are offered.
class FileChooserOpenPanel final : public OpenPanel {
public:
    // `parent` may be null; then the chooser is modal for nothing.
    explicit FileChooserOpenPanel(Gtk::Window* parent);
    ~FileChooserOpenPanel() override;

    FileChooserOpenPanel(const FileChooserOpenPanel&) = delete;
    FileChooserOpenPanel& operator=(const FileChooserOpenPanel&) = delete;

    void setAllowedContentTypes(const std::vector<ContentType>& types) override;
    void setAllowsMultipleSelection(bool allows) override;
    void setCanChooseDirectories(bool can) override;
    void setDirectoryURL(const URL& folder) override;
    void setPrompt(const std::string& prompt) override;
    void setMessage(const std::string& message) override;

    void runModal(Completion completion) override;
    std::optional<URL> url() const override { return url_; }

private:
    void respond(int response);

    Gtk::Window* parent_;
    std::vector<ContentType> types_;
    bool allowsMultipleSelection_ = false;
    bool canChooseDirectories_ = false;
    std::optional<URL> directory_;
    std::string prompt_;
    std::string message_;

    Glib::RefPtr<Gtk::FileChooserNative> chooser_;
    sigc::connection responseConnection_;
    Completion completion_;
    std::optional<URL> url_;
};

} // namespace platform
