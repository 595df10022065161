#pragma once

#include "tests/Support/Eventually.h"
#include "tests/Support/TemporaryFolder.h"

#include <gio/gio.h>
#include <optional>
#include <stdexcept>

namespace tarvelo::testsupport {

// A private desktop: XDG data and config folders with test applications
// whose one program, "fake-calendar", records each launch as a file
// "<first argument>.<process id>" holding all of its arguments, one per line.
//
// GLib reads the XDG variables once, so a test program sets the desktop up
// before its first GIO call and keeps it for all of its tests.
class DesktopFixture {
public:
    DesktopFixture() {
        const auto& root = folder_.path();
        const std::string records = (root / "records").string();
        std::filesystem::permissions(
            folder_.write("bin/fake-calendar", "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"" + records +
                                                   "/.$$\"\nmv \"" + records + "/.$$\" \"" + records +
                                                   "/$1.$$\"\n"),
            std::filesystem::perms::owner_all);
        for (const char* folder : {"records", "system"})
            std::filesystem::create_directories(root / folder);
        for (const auto& [name, value] : {std::pair{"XDG_DATA_HOME", root / "data"},
                                          {"XDG_DATA_DIRS", root / "system"},
                                          {"XDG_CONFIG_HOME", root / "config"},
                                          {"XDG_CONFIG_DIRS", root / "etc"}})
            ::setenv(name, value.c_str(), 1);
        ::setenv("GIO_USE_VFS", "local", 1);
    }

    const std::filesystem::path& root() const { return folder_.path(); }
    std::filesystem::path program() const { return root() / "bin/fake-calendar"; }
    std::filesystem::path applications() const { return root() / "data/applications"; }

    // Writes an application entry; `exec` is the Exec line's value.
    std::filesystem::path addApplication(const std::string& fileName, const std::string& exec,
                                         const std::string& extraLines = "") const {
        return folder_.write("data/applications/" + fileName,
                             "[Desktop Entry]\nType=Application\nExec=" + exec + "\n" + extraLines);
    }

    // Makes the application with `desktopIdentifier` the default for `scheme`.
    void setDefault(const std::string& scheme, const std::string& desktopIdentifier) const {
        setDefaultForType("x-scheme-handler/" + scheme, desktopIdentifier);
    }
    // Makes it the only default, that of `contentType`. The file is replaced
    // in one step: a GIO that watches it never reads half of it.
    void setDefaultForType(const std::string& contentType, const std::string& desktopIdentifier) const {
        const auto written =
            folder_.write("config/mimeapps.list.new",
                          "[Default Applications]\n" + contentType + "=" + desktopIdentifier + "\n");
        std::filesystem::rename(written, root() / "config/mimeapps.list");
    }

    // Runs `change` to the desktop's applications or defaults after GIO has
    // read them, and waits (running the main context) until GIO has noticed.
    template <typename Change> bool changeAndWaitForGIO(Change change) const {
        GAppInfoMonitor* monitor = g_app_info_monitor_get();
        bool noticed = false;
        const gulong handler = g_signal_connect(
            monitor, "changed",
            G_CALLBACK(+[](GAppInfoMonitor*, gpointer flag) { *static_cast<bool*>(flag) = true; }), &noticed);
        change();
        eventually([&] { return noticed; });
        g_signal_handler_disconnect(monitor, handler);
        g_object_unref(monitor);
        return noticed;
    }

    // GIO lists scheme handlers only from mimeinfo.cache.
    void updateDatabase() const {
        const std::string command = "update-desktop-database '" + applications().string() + "'";
        if (std::system(command.c_str()) != 0)
            throw std::runtime_error("update-desktop-database failed");
    }

    // The arguments of a launch recorded under `tag`, waiting (while
    // running the main context) up to `limit` for one to appear.
    std::optional<std::string> waitForRecord(const std::string& tag,
                                             std::chrono::seconds limit = std::chrono::seconds(30)) const {
        if (!eventually([&] { return recorded(tag); }, limit))
            return std::nullopt;
        return readFile(records(tag).front());
    }

    // How many launches were recorded under `tag`.
    int launchCount(const std::string& tag) const { return static_cast<int>(records(tag).size()); }
    bool recorded(const std::string& tag) const { return launchCount(tag) > 0; }

    void forgetRecords() const {
        for (const auto& record : records(""))
            std::filesystem::remove(record);
    }

private:
    // The records under `tag`; every record when it is empty.
    std::vector<std::filesystem::path> records(const std::string& tag) const {
        std::vector<std::filesystem::path> found;
        for (const auto& entry : std::filesystem::directory_iterator(root() / "records"))
            if (tag.empty() || entry.path().filename().string().starts_with(tag + "."))
                found.push_back(entry.path());
        return found;
    }

    TemporaryFolder folder_;
};

} // namespace tarvelo::testsupport
