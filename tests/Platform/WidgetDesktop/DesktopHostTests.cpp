// The widget host's desktop half, for real: the tarvelo-widgets program on a
// private X display and session bus, clicked through XTest and looked at.

#include <algorithm>
#include <csignal>
#include <dirent.h>
#include <fstream>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include <nlohmann/json.hpp>

#include "DesktopScreen.h"
#include "Eventually.h"
#include "TemporaryFolder.h"
#include "WidgetHost.h"

extern char** environ;

using tarvelo::testsupport::DesktopScreen;
using tarvelo::testsupport::eventually;
using tarvelo::testsupport::TemporaryFolder;

namespace {

std::string screenshotPath(const std::string& name) {
    std::filesystem::create_directories(TARVELO_SCREENSHOT_DIR);
    return std::string(TARVELO_SCREENSHOT_DIR) + "/" + name + ".png";
}

// The children of `parent` named `name` that are still running.
std::vector<pid_t> childrenNamed(pid_t parent, const std::string& name) {
    std::vector<pid_t> found;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        const auto pidText = entry.path().filename().string();
        if (pidText.find_first_not_of("0123456789") != std::string::npos)
            continue;
        std::ifstream stat(entry.path() / "stat");
        std::string line;
        std::getline(stat, line);
        const auto open = line.find('('), close = line.rfind(')');
        if (open == std::string::npos || close == std::string::npos || close + 4 >= line.size())
            continue;
        const std::string command = line.substr(open + 1, close - open - 1);
        const char state = line[close + 2];
        const pid_t parentPid = static_cast<pid_t>(std::atol(line.c_str() + close + 4));
        if (parentPid == parent && command == name.substr(0, 15) && state != 'Z')
            found.push_back(static_cast<pid_t>(std::atol(pidText.c_str())));
    }
    return found;
}

class DesktopHost : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(screen_.isOpen()) << "run under xvfb-run";
        ::setenv("XDG_STATE_HOME", (folder_.path() / "state").c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (folder_.path() / "config").c_str(), 1);
        ::setenv("XDG_DATA_HOME", (folder_.path() / "data").c_str(), 1);
        ::setenv("XDG_DATA_DIRS", TARVELO_BUILD_SHARE, 1);
    }
    void TearDown() override { stopHost(); }

    void stopHost() {
        if (host_ > 0) {
            ::kill(host_, SIGTERM);
            int status = 0;
            ::waitpid(host_, &status, 0);
        }
        host_ = -1;
    }

    // Starts the program with `arguments`; -1 when it could not start.
    static pid_t spawn(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), TARVELO_WIDGETS_PROGRAM);
        std::vector<char*> pointers;
        for (auto& argument : arguments)
            pointers.push_back(argument.data());
        pointers.push_back(nullptr);
        pid_t child = -1;
        return ::posix_spawn(&child, pointers[0], nullptr, nullptr, pointers.data(), environ) == 0 ? child : -1;
    }
    void startHost(std::vector<std::string> arguments = {}) { ASSERT_GT(host_ = spawn(std::move(arguments)), 0); }
    // Runs the program once more and waits for it to end (a second start
    // hands over to the running host); true when it ended well.
    bool runAgain(std::vector<std::string> arguments) {
        const pid_t second = spawn(std::move(arguments));
        int status = -1;
        return second > 0 && ::waitpid(second, &status, 0) == second && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    // As the "Edit Widgets" entry does.
    void openGalleryFromASecondStart() { EXPECT_TRUE(runAgain({"--gallery"})); }

    nlohmann::json savedWidgets() {
        std::ifstream file(folder_.path() / "state" / "tarvelo" / "widgets.json");
        const auto document = nlohmann::json::parse(file, nullptr, false);
        return document.is_object() && document["widgets"].is_array() ? document["widgets"] : nlohmann::json::array();
    }
    std::size_t savedCount() { return savedWidgets().size(); }
    std::optional<std::pair<int, int>> savedPosition() {
        const auto widgets = savedWidgets();
        if (widgets.empty())
            return std::nullopt;
        return std::pair(widgets[0].value("x", 0), widgets[0].value("y", 0));
    }

    void place(const nlohmann::json& widgets) {
        std::filesystem::create_directories(folder_.path() / "state" / "tarvelo");
        std::ofstream(folder_.path() / "state" / "tarvelo" / "widgets.json")
            << nlohmann::json{{"tarvelo-widgets", 1}, {"widgets", widgets}}.dump();
    }

    Window waitForWindow(const std::string& title) {
        Window found = 0;
        eventually([&] {
            for (auto window : screen_.windowsTitled(title))
                if (auto geometry = screen_.geometry(window); geometry && geometry->viewable)
                    found = window;
            return found != 0;
        });
        return found;
    }

    std::optional<long long> storedOffset() {
        std::ifstream file(folder_.path() / "config" / "tarvelo" / "today.tarvelo.Tarvelo.TarveloWidget.json");
        const auto document = nlohmann::json::parse(file, nullptr, false);
        try {
            return document.at("values").at("Tarvelo.visibleMonthOffset").at("integer").get<long long>();
        } catch (const std::exception&) {
            return std::nullopt;
        }
    }

    // Where the chevron that steps `delta` months sits in the widget, in points.
    platform::Point chevron(platform::WidgetFamily family, int delta) {
        platform::WidgetHost host(platform::WidgetHost::Options{});
        std::string problem;
        const auto picture = host.picture("TarveloWidget", family, false, problem);
        EXPECT_TRUE(picture) << problem;
        if (!picture)
            return {};
        for (const auto& item : picture->displayList.items)
            if (const auto* region = std::get_if<platform::HitRegion>(&item))
                if (const auto* intent = std::get_if<platform::IntentReference>(&region->action))
                    for (const auto& [key, value] : intent->parameters.items())
                        if (value == delta)
                            return {region->frame.origin.x + region->frame.size.width / 2,
                                    region->frame.origin.y + region->frame.size.height / 2};
        ADD_FAILURE() << "no chevron stepping " << delta;
        return {};
    }

    // The window's picture once it has settled (painted, and the same twice).
    std::optional<DesktopScreen::Capture> settledPicture(Window window) {
        std::optional<DesktopScreen::Capture> last;
        std::optional<DesktopScreen::Capture> settled;
        eventually([&] {
            auto now = screen_.capture(window);
            if (now && now->distinctColors() > 8 && last && *now == *last)
                settled = now;
            last = now;
            return settled.has_value();
        });
        return settled;
    }

    TemporaryFolder folder_;
    DesktopScreen screen_;
    pid_t host_ = -1;
};

TEST_F(DesktopHost, PlacedWidgetAppearsAtItsSizeAndPlace) {
    place({{{"id", "1"}, {"kind", "TarveloWidget"}, {"family", "small"}, {"x", 100}, {"y", 80}},
           {{"id", "2"}, {"kind", "TarveloWidget"}, {"family", "medium"}, {"x", 320}, {"y", 80}}});
    startHost();
    std::vector<Window> windows;
    ASSERT_TRUE(eventually([&] {
        windows = screen_.windowsTitled("Tarvelo");
        return windows.size() == 2;
    }));
    std::vector<std::pair<int, int>> sizes;
    for (auto window : windows) {
        ASSERT_TRUE(eventually([&] { return screen_.geometry(window)->viewable; }));
        const auto geometry = *screen_.geometry(window);
        sizes.emplace_back(geometry.width, geometry.height);
        if (geometry.width == 170)
            EXPECT_EQ(std::pair(geometry.x, geometry.y), std::pair(100, 80));
        else
            EXPECT_EQ(std::pair(geometry.x, geometry.y), std::pair(320, 80));
        ASSERT_TRUE(settledPicture(window));
    }
    std::sort(sizes.begin(), sizes.end());
    EXPECT_EQ(sizes, (std::vector<std::pair<int, int>>{{170, 170}, {364, 170}}));
    screen_.captureRoot().savePNG(screenshotPath("desktop-two-widgets"));
    // Nothing else was opened: with widgets placed, the gallery stays shut.
    EXPECT_TRUE(screen_.windowsTitled("Edit Widgets").empty());
}

TEST_F(DesktopHost, ChevronStepsTheMonthAndSurvivesAKilledExtension) {
    place({{{"id", "1"}, {"kind", "TarveloWidget"}, {"family", "small"}, {"x", 60}, {"y", 40}}});
    startHost();
    const Window window = waitForWindow("Tarvelo");
    ASSERT_NE(window, 0u);
    const auto before = settledPicture(window);
    ASSERT_TRUE(before);
    before->savePNG(screenshotPath("widget-this-month"));
    const auto forward = chevron(platform::WidgetFamily::systemSmall, 1);
    const auto offset = storedOffset().value_or(0);

    screen_.click(60 + static_cast<int>(forward.x), 40 + static_cast<int>(forward.y));
    ASSERT_TRUE(eventually([&] { return storedOffset() == offset + 1; }));
    std::optional<DesktopScreen::Capture> stepped;
    ASSERT_TRUE(eventually([&] {
        stepped = settledPicture(window);
        return stepped && *stepped != *before;
    }));
    stepped->savePNG(screenshotPath("widget-next-month"));

    // The extension dies; the window keeps its picture, even when it must
    // draw it again.
    const auto extensions = childrenNamed(host_, "TarveloWidget");
    ASSERT_EQ(extensions.size(), 1u);
    ::kill(extensions.front(), SIGKILL);
    ASSERT_TRUE(eventually([&] { return childrenNamed(host_, "TarveloWidget").empty(); }));
    screen_.exposeArea(60, 40, 170, 170);
    const auto afterKill = settledPicture(window);
    ASSERT_TRUE(afterKill);
    EXPECT_EQ(*afterKill, *stepped);
    afterKill->savePNG(screenshotPath("widget-after-extension-killed"));

    // The next click starts it again and steps once more.
    screen_.click(60 + static_cast<int>(forward.x), 40 + static_cast<int>(forward.y));
    ASSERT_TRUE(eventually([&] { return storedOffset() == offset + 2; }));
    EXPECT_TRUE(eventually([&] {
        const auto again = settledPicture(window);
        return again && *again != *stepped;
    }));
}

TEST_F(DesktopHost, NothingPlacedOpensTheGallery) {
    startHost();
    const Window gallery = waitForWindow("Edit Widgets");
    ASSERT_NE(gallery, 0u);
    EXPECT_TRUE(screen_.windowsTitled("Tarvelo").empty());
    ASSERT_TRUE(settledPicture(gallery));
    // Give the previews their moment: the picture settles once they are in.
    eventually([&] {
        const auto first = screen_.capture(gallery);
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        return first && screen_.capture(gallery) == first && first->distinctColors() > 64;
    });
    screen_.captureRoot().savePNG(screenshotPath("gallery"));
}

TEST_F(DesktopHost, PlaceWhileTheHostRunsReachesItAndIsKept) {
    place({{{"id", "1"}, {"kind", "TarveloWidget"}, {"family", "small"}, {"x", 10}, {"y", 10}}});
    startHost();
    ASSERT_NE(waitForWindow("Tarvelo"), 0u);
    ASSERT_TRUE(runAgain({"place", "--kind", "TarveloWidget", "--family", "medium", "--at", "300,40"}));
    // The host shows it at once and wrote it; its own next save keeps it.
    EXPECT_TRUE(eventually([&] { return screen_.windowsTitled("Tarvelo").size() == 2; }));
    EXPECT_EQ(savedCount(), 2u);
    // A drag from the first one's footer (no click, on a bare display the
    // widget moves itself): the host saves its list once more.
    const auto offset = storedOffset();
    screen_.drag(95, 172, 245, 222);
    EXPECT_TRUE(eventually([&] { return savedPosition() == std::pair(160, 60); }));
    EXPECT_EQ(savedCount(), 2u);
    EXPECT_EQ(storedOffset(), offset);
}

TEST_F(DesktopHost, AtLoginWithNothingPlacedItQuietlyEnds) {
    startHost({"run", "--login"});
    int status = -1;
    ASSERT_EQ(::waitpid(host_, &status, 0), host_);
    host_ = -1;
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_TRUE(screen_.windowsTitled("Edit Widgets").empty());
}

// The same program under xfwm4, a real EWMH window manager: what counts is
// what the window manager wrote back, not what the host asked of it.
class DesktopHostUnderWindowManager : public DesktopHost {
protected:
    void SetUp() override {
        DesktopHost::SetUp();
        // xfwm4 is a GTK 3 program: no accessibility bus, and the system's icons.
        std::vector<std::string> variables{"NO_AT_BRIDGE=1", "XDG_DATA_DIRS=/usr/share"};
        for (char** variable = environ; *variable; ++variable)
            if (!std::string_view(*variable).starts_with("XDG_DATA_DIRS="))
                variables.emplace_back(*variable);
        std::vector<char*> environment;
        for (auto& variable : variables)
            environment.push_back(variable.data());
        environment.push_back(nullptr);
        std::string program = "xfwm4", compositor = "--compositor=off", session = "--sm-client-disable";
        char* arguments[] = {program.data(), compositor.data(), session.data(), nullptr};
        ASSERT_EQ(::posix_spawnp(&windowManager_, arguments[0], nullptr, nullptr, arguments, environment.data()), 0)
            << "xfwm4 is missing (scripts/install-dependencies test)";
        ASSERT_TRUE(eventually([&] { return screen_.windowManagerRuns(); })) << "xfwm4 did not take the display";
    }
    void TearDown() override {
        DesktopHost::TearDown();
        if (windowManager_ > 0) {
            ::kill(windowManager_, SIGTERM);
            int status = 0;
            ::waitpid(windowManager_, &status, 0);
        }
        // The next test starts on a bare display again.
        eventually([&] { return !screen_.windowManagerRuns(); }, std::chrono::seconds(5));
    }

    // Whether the window manager stacks `lower` below `upper`.
    bool stackedBelow(Window lower, Window upper) {
        const auto stack = screen_.property(screen_.root(), "_NET_CLIENT_LIST_STACKING"); // bottom to top
        const auto low = std::find(stack.begin(), stack.end(), lower);
        const auto up = std::find(stack.begin(), stack.end(), upper);
        return low != stack.end() && up != stack.end() && low < up;
    }

    pid_t windowManager_ = -1;
};

TEST_F(DesktopHostUnderWindowManager, TheWidgetStaysBelowOtherWindowsOnEveryWorkspaceAndOffTheTaskbar) {
    place({{{"id", "1"}, {"kind", "TarveloWidget"}, {"family", "small"}, {"x", 100}, {"y", 100}}});
    startHost();
    const Window widget = waitForWindow("Tarvelo");
    ASSERT_NE(widget, 0u);
    ASSERT_TRUE(settledPicture(widget));
    std::vector<std::string> state;
    EXPECT_TRUE(eventually([&] {
        state = screen_.atomNames(widget, "_NET_WM_STATE");
        return std::ranges::all_of(std::vector<std::string>{"_NET_WM_STATE_BELOW", "_NET_WM_STATE_SKIP_TASKBAR",
                                                            "_NET_WM_STATE_SKIP_PAGER", "_NET_WM_STATE_STICKY"},
                                   [&](const auto& wanted) { return std::ranges::count(state, wanted) == 1; });
    })) << ::testing::PrintToString(state);
    EXPECT_TRUE(eventually([&] {
        return screen_.property(widget, "_NET_WM_DESKTOP") == std::vector<unsigned long>{0xFFFFFFFF};
    })) << "not on every workspace";

    // An ordinary window mapped after it, over its upper half.
    const Window ordinary = screen_.openWindow("Ordinary", 160, 40, 400, 150);
    ASSERT_TRUE(eventually([&] { return stackedBelow(widget, ordinary); }));

    // A click on the widget (its footer, where no button is) makes it the
    // active window, but leaves it below.
    screen_.click(185, 262);
    EXPECT_TRUE(eventually([&] {
        const auto active = screen_.property(screen_.root(), "_NET_ACTIVE_WINDOW");
        return !active.empty() && active.front() == widget;
    }));
    EXPECT_TRUE(stackedBelow(widget, ordinary)) << "a click lifted the widget";

    // A second start opens the gallery in the running host, on top; the
    // widget stays under the ordinary window, and still alone.
    openGalleryFromASecondStart();
    const Window gallery = waitForWindow("Edit Widgets");
    ASSERT_NE(gallery, 0u);
    EXPECT_EQ(screen_.windowsTitled("Tarvelo").size(), 1u);
    ASSERT_TRUE(eventually([&] { return stackedBelow(ordinary, gallery); }));
    EXPECT_TRUE(stackedBelow(widget, ordinary)) << "opening the gallery lifted the widget";
    screen_.captureRoot().savePNG(screenshotPath("window-manager-gallery-open"));
}

TEST_F(DesktopHostUnderWindowManager, ADraggedWidgetComesBackWhereItWasLeft) {
    place({{{"id", "1"}, {"kind", "TarveloWidget"}, {"family", "small"}, {"x", 100}, {"y", 100}}});
    startHost();
    Window widget = waitForWindow("Tarvelo");
    ASSERT_NE(widget, 0u);
    ASSERT_TRUE(settledPicture(widget));
    ASSERT_TRUE(eventually([&] { return screen_.geometry(widget)->x == 100 && screen_.geometry(widget)->y == 100; }))
        << "the window manager did not leave the widget where it was placed";
    // The window manager moves it now, with the pointer.
    screen_.drag(185, 262, 335, 312);
    ASSERT_TRUE(eventually([&] { return savedPosition() == std::pair(250, 150); }))
        << screen_.geometry(widget)->x << "," << screen_.geometry(widget)->y;

    stopHost();
    startHost();
    widget = waitForWindow("Tarvelo");
    ASSERT_NE(widget, 0u);
    EXPECT_TRUE(eventually([&] {
        const auto geometry = screen_.geometry(widget);
        return geometry && geometry->x == 250 && geometry->y == 150;
    })) << screen_.geometry(widget)->x << "," << screen_.geometry(widget)->y;
}

TEST_F(DesktopHostUnderWindowManager, AWidgetStoredOffTheScreenComesUpOnItAndKeepsItsPlace) {
    // Left on a monitor since unplugged: the screen here is 1024x768.
    place({{{"id", "1"}, {"kind", "TarveloWidget"}, {"family", "medium"}, {"x", 2400}, {"y", 1500}}});
    startHost();
    const Window widget = waitForWindow("Tarvelo");
    ASSERT_NE(widget, 0u);
    ASSERT_TRUE(settledPicture(widget));
    const auto geometry = screen_.geometry(widget);
    EXPECT_EQ(geometry->x + geometry->width, 1024);
    EXPECT_EQ(geometry->y + geometry->height, 768);
    screen_.captureRoot().savePNG(screenshotPath("widget-brought-on-screen"));
    // The stored place waits for that monitor to come back.
    EXPECT_EQ(savedPosition(), std::pair(2400, 1500));
}

} // namespace
