#pragma once

#include "Platform/Workspace/OpenPanel.h"

#include <memory>

namespace tarvelo::testsupport {

// An open panel that writes down how it was set up and waits for the test
// to answer it. The record outlives the panel, which its owner may destroy
// from within the answer.
class FakeOpenPanel final : public platform::OpenPanel {
public:
    struct Record {
        // "setAllowedContentTypes application", "setPrompt", ... as set up.
        std::vector<std::string> calls;
        std::optional<platform::URL> directory;
        Completion completion;
        std::optional<platform::URL> chosenURL;
        int panelsMade = 0;
        int panelsAlive = 0;

        bool running() const { return static_cast<bool>(completion); }
        // Closes the panel as the user would.
        void answer(long response, std::optional<platform::URL> url) {
            chosenURL = std::move(url);
            Completion pending = std::move(completion);
            completion = nullptr;
            if (pending)
                pending(response);
        }
    };

    explicit FakeOpenPanel(std::shared_ptr<Record> record)
        : record_(std::move(record)) {
        ++record_->panelsMade;
        ++record_->panelsAlive;
    }
    ~FakeOpenPanel() override { --record_->panelsAlive; }

    void setAllowedContentTypes(const std::vector<platform::ContentType>& types) override {
        const bool applications = types.size() == 1 && types.front() == platform::ContentType::application;
        note(std::string("setAllowedContentTypes ") + (applications ? "application" : "other"));
    }
    void setAllowsMultipleSelection(bool many) override { note(flag("setAllowsMultipleSelection", many)); }
    void setCanChooseDirectories(bool can) override { note(flag("setCanChooseDirectories", can)); }
    void setDirectoryURL(const platform::URL& folder) override { record_->directory = folder; }
    void setPrompt(const std::string& prompt) override { note(prompt.empty() ? "" : "setPrompt"); }
    void setMessage(const std::string& message) override { note(message.empty() ? "" : "setMessage"); }
    void runModal(Completion completion) override { record_->completion = std::move(completion); }
    std::optional<platform::URL> url() const override { return record_->chosenURL; }

private:
    void note(std::string call) { record_->calls.push_back(std::move(call)); }
    static std::string flag(const char* call, bool yes) { return std::string(call) + (yes ? " yes" : " no"); }
    std::shared_ptr<Record> record_;
};

} // namespace tarvelo::testsupport
