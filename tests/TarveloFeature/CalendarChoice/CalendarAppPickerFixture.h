#pragma once

#include "CalendarAppPickerModel.h"
#include "FakeOpenPanel.h"
#include "FakeWorkspace.h"
#include "TemporaryFolder.h"

#include <gtest/gtest.h>

namespace tarvelo::testsupport {

// A picker over a fake desktop with two calendar handlers (Agenda,
// "Calendar" as the default of "ical"), one application that opens no
// calendar links (Notes), and one entry without an identifier.
class CalendarAppPickerFixture : public ::testing::Test {
protected:
    CalendarAppPickerFixture() {
        agendaURL = workspace.install("agenda.desktop", "org.example.Agenda.desktop", {{"CFBundleName", std::string("Agenda")}});
        calendarURL =
            workspace.install("calendar.desktop", "org.example.Calendar.desktop", {{"CFBundleName", std::string("Calendar")}});
        notesURL = workspace.install("notes.desktop", "org.example.Notes.desktop", {{"CFBundleName", std::string("Notes")}});
        looseURL = workspace.install("loose.desktop", std::nullopt, {{"CFBundleName", std::string("Loose")}});
        workspace.handlersByScheme["ical"] = {calendarURL, agendaURL};
        workspace.handlersByScheme["webcal"] = {agendaURL};
        workspace.defaultHandlerByScheme.insert_or_assign("ical", calendarURL);
    }

    std::vector<std::string> titles() const {
        std::vector<std::string> result;
        for (const auto& entry : model.entries())
            result.push_back(entry.kind == CalendarAppPickerEntry::Kind::separator ? "---" : entry.title);
        return result;
    }
    // The titles of the entries that carry the checkmark.
    std::vector<std::string> checked() const {
        std::vector<std::string> result;
        for (const auto& entry : model.entries())
            if (entry.checked)
                result.push_back(entry.title);
        return result;
    }
    std::vector<std::string> candidateNames() const {
        std::vector<std::string> result;
        for (const auto& candidate : model.candidates())
            result.push_back(candidate.name);
        return result;
    }

    TemporaryFolder folder;
    platform::UserDefaults defaults{"today.tarvelo.Tarvelo", folder.path()};
    FakeWorkspace workspace;
    CalendarAppPreference preference{defaults, workspace};
    std::shared_ptr<FakeOpenPanel::Record> panel = std::make_shared<FakeOpenPanel::Record>();
    CalendarAppPickerModel model{preference, workspace, [record = panel] {
                                     return std::make_unique<FakeOpenPanel>(record);
                                 }};
    platform::URL agendaURL = platform::URL::fileURL("/");
    platform::URL calendarURL = agendaURL;
    platform::URL notesURL = agendaURL;
    platform::URL looseURL = agendaURL;
};

} // namespace tarvelo::testsupport
