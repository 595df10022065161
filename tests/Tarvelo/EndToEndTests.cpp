// The real `tarvelo` program on a private desktop: run under
// dbus-run-session and xvfb-run (see CMakeLists.txt), since single-instance
// link delivery needs a session bus and GTK needs a display.
#include "CalendarAppPreference.h"
#include "DesktopFixture.h"
#include "UserDefaults.h"

#include <chrono>
#include <csignal>
#include <gio/gio.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <thread>

using tarvelo::CalendarAppPreference;
using tarvelo::testsupport::DesktopFixture;

namespace {

constexpr auto patience = std::chrono::seconds(60);

DesktopFixture& desktop() {
    static DesktopFixture fixture;
    static const bool prepared = [] {
        const auto program = fixture.program().string();
        fixture.addApplication("test.Default.desktop", program + " default %u",
                               "Name=Default\nMimeType=x-scheme-handler/ical;\n");
        fixture.addApplication("test.Chosen.desktop", program + " chosen %U",
                               "Name=Chosen\nMimeType=x-scheme-handler/ical;\n");
        fixture.addApplication("test.NoURL.desktop", program + " nourl", "Name=No URL\n");
        fixture.setDefault("ical", "test.Default.desktop");
        fixture.updateDatabase();
        // GTK keeps caches for the life of the process; leak reports of the
        // program under test say nothing about date links.
        const char* sanitizer = std::getenv("ASAN_OPTIONS");
        ::setenv("ASAN_OPTIONS", (std::string(sanitizer ? sanitizer : "") + ":detect_leaks=0").c_str(), 1);
        return true;
    }();
    (void)prepared;
    return fixture;
}

// A started `tarvelo`, killed if the test ends while it still runs.
class Program {
public:
    explicit Program(const std::string& argument) {
        const char* argv[] = {TARVELO_PROGRAM, argument.c_str(), nullptr};
        GError* error = nullptr;
        if (!g_spawn_async(nullptr, const_cast<char**>(argv), nullptr, G_SPAWN_DO_NOT_REAP_CHILD, nullptr,
                           nullptr, &pid_, &error)) {
            ADD_FAILURE() << error->message;
            g_clear_error(&error);
        }
    }
    ~Program() {
        if (pid_ > 0 && !status_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // The exit status once it has ended, waiting at most `patience`.
    std::optional<int> waitForExit() {
        const auto deadline = std::chrono::steady_clock::now() + patience;
        while (!status_ && std::chrono::steady_clock::now() < deadline) {
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_)
                status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            else
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return status_;
    }
    bool running() {
        int status = 0;
        return !status_ && ::waitpid(pid_, &status, WNOHANG) == 0;
    }

private:
    GPid pid_ = 0;
    std::optional<int> status_;
};

// Whether the running instance owns its name on the session bus, waiting
// at most `patience` for it.
bool waitForRunningInstance() {
    GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
    if (!bus)
        return false;
    bool owned = false;
    const auto deadline = std::chrono::steady_clock::now() + patience;
    while (!owned && std::chrono::steady_clock::now() < deadline) {
        GVariant* reply = g_dbus_connection_call_sync(
            bus, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "NameHasOwner",
            g_variant_new("(s)", "today.tarvelo.Tarvelo"), G_VARIANT_TYPE("(b)"), G_DBUS_CALL_FLAGS_NONE, -1,
            nullptr, nullptr);
        if (reply) {
            gboolean has = FALSE;
            g_variant_get(reply, "(b)", &has);
            owned = has;
            g_variant_unref(reply);
        }
        if (!owned)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    g_object_unref(bus);
    return owned;
}

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        desktop().forgetRecords();
        choose(std::nullopt);
    }

    // Stores the choice the way the application's picker does.
    static void choose(const std::optional<std::string>& desktopIdentifier) {
        platform::UserDefaults defaults("today.tarvelo.Tarvelo", desktop().root() / "config/tarvelo");
        if (desktopIdentifier) {
            defaults.setObject(*desktopIdentifier, CalendarAppPreference::bundleIdentifierKey);
            defaults.setObject(std::string("Chosen"), CalendarAppPreference::displayNameKey);
        } else {
            defaults.removeObject(CalendarAppPreference::bundleIdentifierKey);
            defaults.removeObject(CalendarAppPreference::displayNameKey);
        }
    }
};

} // namespace

TEST_F(EndToEnd, WithNothingChosenTheDefaultHandlerGetsIcalAndTarveloQuits) {
    Program tarvelo("tarvelo://date?t=0");
    EXPECT_EQ(tarvelo.waitForExit(), 0);
    EXPECT_EQ(desktop().waitForRecord("default"), "default\nical://\n");
}

TEST_F(EndToEnd, TheChosenApplicationGetsIcal) {
    choose("test.Chosen.desktop");
    Program tarvelo("tarvelo://date?t=-5.5e2");
    EXPECT_EQ(tarvelo.waitForExit(), 0);
    EXPECT_EQ(desktop().waitForRecord("chosen"), "chosen\nical://\n");
    EXPECT_FALSE(desktop().recorded("default"));
}

TEST_F(EndToEnd, AChosenApplicationThatTakesNoURLIsStartedPlainly) {
    choose("test.NoURL.desktop");
    Program tarvelo("tarvelo://date?t=0");
    EXPECT_EQ(tarvelo.waitForExit(), 0);
    EXPECT_EQ(desktop().waitForRecord("nourl"), "nourl\n");
}

TEST_F(EndToEnd, AnInvalidLinkKeepsTarveloRunningUntilAValidOneReachesIt) {
    Program first("tarvelo://date?t=5x");
    ASSERT_TRUE(waitForRunningInstance());
    EXPECT_TRUE(first.running());

    // A second start hands its link to the running instance and ends.
    Program second("tarvelo://date?t=0");
    EXPECT_EQ(second.waitForExit(), 0);
    EXPECT_EQ(first.waitForExit(), 0);
    EXPECT_EQ(desktop().waitForRecord("default"), "default\nical://\n");
    // Only the valid link launched anything.
    EXPECT_EQ(desktop().launchCount("default"), 1);
}
