#include "Platform/Windowing/FileChooserOpenPanel.h"

#include <giomm/file.h>
#include <gtkmm/dialog.h>
#include <gtkmm/filechoosernative.h>
#include <gtkmm/filefilter.h>
#include <gtkmm/window.h>

namespace platform {

FileChooserOpenPanel::FileChooserOpenPanel(Gtk::Window* parent)
    : parent_(parent) {}

FileChooserOpenPanel::~FileChooserOpenPanel() {
    // Closing unanswered: the owner is gone, so nobody is told.
    responseConnection_.disconnect();
    if (chooser_)
        chooser_->hide();
}

void FileChooserOpenPanel::setAllowedContentTypes(const std::vector<ContentType>& types) {
    types_ = types;
}
void FileChooserOpenPanel::setAllowsMultipleSelection(bool allows) {
    allowsMultipleSelection_ = allows;
}
void FileChooserOpenPanel::setCanChooseDirectories(bool can) {
    canChooseDirectories_ = can;
}
void FileChooserOpenPanel::setDirectoryURL(const URL& folder) {
    directory_ = folder;
}
void FileChooserOpenPanel::setPrompt(const std::string& prompt) {
    prompt_ = prompt;
}
void FileChooserOpenPanel::setMessage(const std::string& message) {
    message_ = message;
}

void FileChooserOpenPanel::runModal(Completion completion) {
    if (chooser_)
        return;
    completion_ = std::move(completion);
    url_.reset();
    // GTK's chooser has no separate message line: the message is its title,
    // which the desktop shows at the top of the panel.
    chooser_ = Gtk::FileChooserNative::create(message_,
                                              canChooseDirectories_ ? Gtk::FileChooser::Action::SELECT_FOLDER
                                                                    : Gtk::FileChooser::Action::OPEN,
                                              prompt_, "");
    if (parent_)
        chooser_->set_transient_for(*parent_);
    chooser_->set_modal(true);
    chooser_->set_select_multiple(allowsMultipleSelection_);
    for (const ContentType type : types_) {
        if (type != ContentType::application)
            continue;
        // Set as the current filter without adding it to a list: with no
        // other choice there is nothing for the user to switch.
        auto filter = Gtk::FileFilter::create();
        filter->add_mime_type("application/x-desktop");
        filter->add_pattern("*.desktop");
        chooser_->set_filter(filter);
    }
    if (directory_ && directory_->isFileURL()) {
        try {
            chooser_->set_current_folder(Gio::File::create_for_path(directory_->path().string()));
        } catch (const Glib::Error&) {
            // A folder that is not there: the chooser starts where it likes.
        }
    }
    responseConnection_ = chooser_->signal_response().connect([this](int response) { respond(response); });
    chooser_->show();
}

void FileChooserOpenPanel::respond(int response) {
    responseConnection_.disconnect();
    long result = 0;
    if (response == static_cast<int>(Gtk::ResponseType::ACCEPT)) {
        if (const auto file = chooser_->get_file(); file && !file->get_path().empty()) {
            url_ = URL::fileURL(file->get_path());
            result = modalResponseOK;
        }
    }
    chooser_->hide();
    // The completion may destroy this panel: call a copy, touch nothing after.
    const Completion completion = std::move(completion_);
    if (completion)
        completion(result);
}

} // namespace platform
