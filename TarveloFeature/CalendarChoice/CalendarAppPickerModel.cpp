#include "TarveloFeature/CalendarChoice/CalendarAppPickerModel.h"

#include "Platform/Localization/Localization.h"
#include "Platform/Text/LocalizedStandardComparator.h"
#include "Platform/Workspace/DesktopEntry.h"
#include "TarveloFeature/CalendarChoice/CalendarAppCatalog.h"

#include <algorithm>

namespace tarvelo {

CalendarAppPickerModel::CalendarAppPickerModel(CalendarAppPreference& choicePreference,
                                               platform::Workspace& workspace, OpenPanelMaker makeOpenPanel)
    : preference(choicePreference)
    , workspace_(workspace)
    , makeOpenPanel_(std::move(makeOpenPanel)) {}

std::string CalendarAppPickerModel::systemDefaultTitle() const {
    if (systemDefault_)
        return "System default (" + systemDefault_->name + ")";
    // Once looked for, a missing default means no calendar application at
    // all: a click opens nothing, so the face says so.
    return lookedForSystemDefault_ ? "System default (none installed)" : "System default";
}

std::string CalendarAppPickerModel::menuTitle() const {
    const CalendarAppSelection selection = preference.selection();
    if (const auto& app = selection.chosenApp())
        return preference.selectionIsMissing() ? app->name + " (not installed)" : app->name;
    return systemDefaultTitle();
}

std::optional<platform::URL> CalendarAppPickerModel::menuIconURL() const {
    if (!preference.selection().isSystemDefault())
        return preference.resolvedApplicationURL();
    if (systemDefault_)
        return systemDefault_->url;
    return std::nullopt;
}

std::optional<std::string> CalendarAppPickerModel::menuIcon() const {
    const auto url = menuIconURL();
    if (!url)
        return std::nullopt;
    return workspace_.iconForFile(url->path());
}

std::vector<CalendarAppPickerEntry> CalendarAppPickerModel::entries() const {
    using Kind = CalendarAppPickerEntry::Kind;
    const CalendarAppSelection selection = preference.selection();
    std::vector<CalendarAppPickerEntry> result;
    result.push_back({Kind::systemDefault, systemDefaultTitle(), selection.isSystemDefault(), std::nullopt});
    if (!candidates_.empty()) {
        result.push_back({});
        const auto& chosen = selection.chosenApp();
        // Matched by identifier alone: a stored name from before a rename
        // still marks the application.
        for (const auto& candidate : candidates_)
            result.push_back({Kind::candidate, candidate.name,
                              chosen && chosen->bundleIdentifier == candidate.bundleIdentifier, candidate});
    }
    result.push_back({});
    result.push_back(
        {Kind::chooseOther, platform::localized("Choose Another Application\u2026"), false, std::nullopt});
    return result;
}

void CalendarAppPickerModel::reloadCandidates() {
    // Pass 1: the desktop's calendar handlers, already in name order.
    std::vector<CalendarAppCandidate> list = CalendarAppCatalog::installed(workspace_);

    // Pass 2: an application chosen through the open panel handles no
    // calendar links, yet it must stay visible with its checkmark; one that
    // is no longer installed is not listed (the face says so instead).
    const CalendarAppSelection selection = preference.selection();
    if (const auto& chosen = selection.chosenApp()) {
        const bool listed = std::any_of(list.begin(), list.end(), [&](const auto& candidate) {
            return candidate.bundleIdentifier == chosen->bundleIdentifier;
        });
        const auto url = listed ? std::nullopt : preference.resolvedApplicationURL();
        if (auto candidate = url ? CalendarAppCatalog::candidate(*url, workspace_) : std::nullopt) {
            list.push_back(std::move(*candidate));
            const platform::LocalizedStandardComparator comparator;
            std::stable_sort(list.begin(), list.end(), [&](const auto& left, const auto& right) {
                return comparator.compare(left.name, right.name) < 0;
            });
        }
    }

    // Pass 3: the default may have changed since the last time as well.
    candidates_ = std::move(list);
    systemDefault_ = CalendarAppCatalog::systemDefault(workspace_);
    lookedForSystemDefault_ = true;
    candidatesDidChange.emit();
}

void CalendarAppPickerModel::chooseSystemDefault() {
    preference.setSelection(CalendarAppSelection::systemDefault());
}

void CalendarAppPickerModel::choose(const CalendarAppCandidate& candidate) {
    preference.setSelection(CalendarAppSelection::app(candidate.bundleIdentifier, candidate.name));
}

void CalendarAppPickerModel::chooseOtherApplication() {
    if (panel_ || !makeOpenPanel_)
        return;
    panel_ = makeOpenPanel_();
    if (!panel_)
        return;
    panel_->setAllowedContentTypes({platform::ContentType::application});
    panel_->setAllowsMultipleSelection(false);
    panel_->setCanChooseDirectories(false);
    panel_->setDirectoryURL(platform::URL::fileURL(platform::DesktopEntry::applicationsFolder()));
    panel_->setPrompt("Choose");
    panel_->setMessage("Choose the application that should open when you click a date.");
    panel_->runModal([this](long response) { finishChoosingOtherApplication(response); });
}

void CalendarAppPickerModel::finishChoosingOtherApplication(long response) {
    // The panel goes when this returns, whatever the outcome, so that the
    // next "Choose Another Application…" opens a fresh one.
    const std::unique_ptr<platform::OpenPanel> panel = std::move(panel_);
    if (response != platform::modalResponseOK || !panel)
        return;
    const auto url = panel->url();
    if (!url)
        return;
    const auto candidate = CalendarAppCatalog::candidate(*url, workspace_);
    if (!candidate)
        return;
    choose(*candidate);
    reloadCandidates();
}

void CalendarAppPickerModel::activate(const CalendarAppPickerEntry& entry) {
    switch (entry.kind) {
    case CalendarAppPickerEntry::Kind::systemDefault:
        chooseSystemDefault();
        break;
    case CalendarAppPickerEntry::Kind::candidate:
        if (entry.candidate)
            choose(*entry.candidate);
        break;
    case CalendarAppPickerEntry::Kind::chooseOther:
        chooseOtherApplication();
        break;
    case CalendarAppPickerEntry::Kind::separator:
        break;
    }
}

} // namespace tarvelo
