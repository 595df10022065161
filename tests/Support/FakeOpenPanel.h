#pragma once

#include "OpenPanel.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tarvelo::testsupport {

// An open panel that writes down how it was set up and waits for the test
// to answer it. The record outlives the panel, which its owner may destroy
// from within the answer.
class FakeOpenPanel final : public platform::OpenPanel {
public:
    struct Record {
        // "setAllowedContentTypes application", "setPrompt", ... in call order.
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
        const bool onlyApplications = types.size() == 1 && types.front() == platform::ContentType::application;
        record_->calls.push_back(onlyApplications ? "setAllowedContentTypes application"
                                                  : "setAllowedContentTypes other");
    }
    void setAllowsMultipleSelection(bool allows) override {
        record_->calls.push_back(std::string("setAllowsMultipleSelection ") + (allows ? "yes" : "no"));
    }
    void setCanChooseDirectories(bool can) override {
        record_->calls.push_back(std::string("setCanChooseDirectories ") + (can ? "yes" : "no"));
    }
    void setDirectoryURL(const platform::URL& folder) override {
        record_->calls.push_back("setDirectoryURL");
        record_->directory = folder;
    }
    void setPrompt(const std::string& prompt) override {
        record_->calls.push_back(prompt.empty() ? "" : "setPrompt");
    }
    void setMessage(const std::string& message) override {
        record_->calls.push_back(message.empty() ? "" : "setMessage");
    }
    void runModal(Completion completion) override {
        record_->calls.push_back("runModal");
        record_->completion = std::move(completion);
    }
    std::optional<platform::URL> url() const override { return record_->chosenURL; }

private:
    std::shared_ptr<Record> record_;
};

} // namespace tarvelo::testsupport
