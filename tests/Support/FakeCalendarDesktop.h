#pragma once

#include "Platform/Defaults/UserDefaults.h"
#include "TarveloFeature/CalendarChoice/CalendarAppPreference.h"
#include "tests/Support/FakeOpenPanel.h"
#include "tests/Support/FakeWorkspace.h"
#include "tests/Support/TemporaryFolder.h"

namespace tarvelo::testsupport {

// A fake desktop with two calendar handlers (Agenda, and "Calendar" the
// default of "ical"), one application that opens no calendar links (Notes)
// and one entry without an identifier (Loose); the stored choice in a folder
// of its own, and open panels that wait for the test to answer them.
struct FakeCalendarDesktop {
    FakeCalendarDesktop() {
        workspace.handlersByScheme["ical"] = {calendarURL, agendaURL};
        workspace.handlersByScheme["webcal"] = {agendaURL};
        workspace.defaultHandlerByScheme.insert_or_assign("ical", calendarURL);
    }

    platform::URL install(const std::string& file, std::optional<std::string> identifier,
                          const std::string& name) {
        return workspace.install(file, std::move(identifier), {{"CFBundleName", std::string(name)}});
    }
    // Makes open panels that write down what happens to them in `panel`.
    std::function<std::unique_ptr<platform::OpenPanel>()> panelMaker() const {
        return [record = panel] { return std::make_unique<FakeOpenPanel>(record); };
    }

    TemporaryFolder folder;
    platform::UserDefaults defaults{"today.tarvelo.Tarvelo", folder.path()};
    FakeWorkspace workspace;
    CalendarAppPreference preference{defaults, workspace};
    std::shared_ptr<FakeOpenPanel::Record> panel = std::make_shared<FakeOpenPanel::Record>();
    platform::URL agendaURL = install("agenda.desktop", "org.example.Agenda.desktop", "Agenda");
    platform::URL calendarURL = install("calendar.desktop", "org.example.Calendar.desktop", "Calendar");
    platform::URL notesURL = install("notes.desktop", "org.example.Notes.desktop", "Notes");
    platform::URL looseURL = install("loose.desktop", std::nullopt, "Loose");
};

} // namespace tarvelo::testsupport
