// The widget host's desktop half, for real: the tarvelo-widgets program on a
// private X display and session bus, clicked through XTest and looked at.

#include "Platform/WidgetHost/WidgetHost.h"
#include "tests/Platform/WidgetDesktop/DesktopScreen.h"
#include "tests/Support/ChildProgram.h"
#include "tests/Support/Eventually.h"
#include "tests/Support/LayoutTestHelpers.h"
#include "tests/Support/TemporaryFolder.h"

#include <csignal>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <ranges>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

using namespace tarvelo::testsupport;
using nlohmann::json;

namespace {

// The extensions (TarveloWidget) `host` started that are not yet dead.
std::vector<pid_t> extensionsOf(pid_t host) {
    std::vector<pid_t> found;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        std::ifstream stat(entry.path() / "stat");
        std::string line;
        char state = 0;
        int parent = 0;
        if (std::getline(stat, line) && line.find(" (TarveloWidget) ") != std::string::npos &&
            std::sscanf(line.c_str() + line.rfind(')') + 1, " %c %d", &state, &parent) == 2 &&
            parent == host && state != 'Z')
            found.push_back(std::atoi(entry.path().filename().c_str()));
    }
    return found;
}

// Ends the host as a session would, and waits for it.
void stop(pid_t& process) {
    if (process > 0 && ::kill(process, SIGTERM) == 0)
        ::waitpid(process, nullptr, 0);
    process = -1;
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
    void TearDown() override { stop(host_); }

    void screenshot(const std::string& name) {
        std::filesystem::create_directories(TARVELO_SCREENSHOT_DIR);
        screen_.capture(screen_.root())->savePNG(TARVELO_SCREENSHOT_DIR "/" + name + ".png");
    }
    void startHost() {
        char* arguments[] = {const_cast<char*>(TARVELO_WIDGETS_PROGRAM), nullptr};
        ASSERT_EQ(::posix_spawn(&host_, TARVELO_WIDGETS_PROGRAM, nullptr, nullptr, arguments, environ), 0);
    }
    // Runs the program once more (a second start hands over to the running
    // host) and waits for it to end; true when it ended well.
    static bool runToEnd(const std::string& arguments) {
        return std::system((TARVELO_WIDGETS_PROGRAM " " + arguments).c_str()) == 0;
    }

    using Places = std::vector<std::pair<int, int>>;
    std::filesystem::path placements() const { return folder_.path() / "state/tarvelo/widgets.json"; }
    // Where the saved list puts each widget, in its order.
    Places savedPlaces() {
        const auto document = json::parse(std::ifstream(placements()), nullptr, false);
        Places places;
        for (const auto& widget : document.is_object() ? document.value("widgets", json::array()) : json())
            places.emplace_back(widget.value("x", 0), widget.value("y", 0));
        return places;
    }

    // The first window titled `title`, once there is one; 0 when none comes.
    Window waitForWindow(const std::string& title) {
        std::vector<Window> found;
        eventually([&] { return !(found = screen_.windowsTitled(title)).empty(); });
        return found.empty() ? 0 : found.front();
    }

    // The widget windows, once they are shown exactly at `wanted` ({x, y,
    // width, height}, in that order); none when they never are.
    std::vector<Window> widgetsShownAt(const std::vector<std::array<int, 4>>& wanted) {
        std::map<std::array<int, 4>, Window> shown;
        const bool there = eventually([&] {
            shown.clear();
            for (auto window : screen_.windowsTitled("Tarvelo"))
                if (auto geometry = screen_.geometry(window); geometry && geometry->viewable)
                    shown[{geometry->x, geometry->y, geometry->width, geometry->height}] = window;
            return std::ranges::equal(std::views::keys(shown), wanted);
        });
        EXPECT_TRUE(there) << ::testing::PrintToString(shown);
        const auto windows = std::views::values(shown);
        return there ? std::vector<Window>(windows.begin(), windows.end()) : std::vector<Window>();
    }

    long long storedOffset() {
        const auto document = json::parse(
            std::ifstream(folder_.path() / "config/tarvelo/today.tarvelo.Tarvelo.TarveloWidget.json"),
            nullptr, false);
        return document.is_object()
                   ? document.value("/values/Tarvelo.visibleMonthOffset/integer"_json_pointer, 0LL)
                   : 0;
    }

    // Where the chevron that steps a month forward sits on the screen, in
    // a small widget at (x, y).
    static std::pair<int, int> forwardChevron(int x, int y) {
        platform::WidgetHost host(platform::WidgetHost::Options{});
        std::string problem;
        const auto picture =
            host.picture("TarveloWidget", platform::WidgetFamily::systemSmall, false, problem);
        for (const auto& region :
             itemsOf<platform::HitRegion>(picture ? picture->displayList : platform::DisplayList()))
            if (const auto* intent = std::get_if<platform::IntentReference>(&region.action);
                intent && intent->parameters.value("delta", 0) == 1)
                return {x + static_cast<int>(region.frame.midX()), y + static_cast<int>(region.frame.midY())};
        ADD_FAILURE() << "no chevron stepping forward " << problem;
        return {};
    }

    // The window's picture once it has settled (painted in more than
    // `colors` colors, and the same twice).
    std::optional<DesktopScreen::Capture> settledPicture(Window window, int colors = 8) {
        std::optional<DesktopScreen::Capture> last, settled;
        eventually([&] {
            auto now = screen_.capture(window);
            if (now && now->distinctColors() > colors && last && *now == *last)
                settled = now;
            last = now;
            return settled.has_value();
        });
        return settled;
    }

    // Whether the window manager stacks `lower` below `upper`.
    bool stackedBelow(Window lower, Window upper) {
        const auto stack = screen_.property(screen_.root(), "_NET_CLIENT_LIST_STACKING"); // bottom to top
        return std::find(std::ranges::find(stack, lower), stack.end(), upper) != stack.end();
    }

    TemporaryFolder folder_;
    DesktopScreen screen_;
    pid_t host_ = -1;
    std::optional<ChildProgram> windowManager_;
};

// On a bare display, from nothing placed: the gallery, then widgets placed
// while the host runs that step the month, keep their picture when their
// extension dies, and move; then under a window manager.
TEST_F(DesktopHost, FromTheGalleryToWidgetsThatStepTheMonthOutliveTheirExtensionMoveAndStayBelowEverywhere) {
    // At login it quietly ends; started otherwise, it opens the gallery.
    EXPECT_TRUE(runToEnd("run --login"));
    startHost();
    const Window gallery = waitForWindow("Edit Widgets");
    ASSERT_NE(gallery, 0u);
    EXPECT_TRUE(screen_.windowsTitled("Tarvelo").empty());
    // Settled with the previews in, which bring their colours.
    ASSERT_TRUE(settledPicture(gallery, 64));
    screenshot("gallery");

    // Placed while the host runs (a second start hands it over): the host
    // shows it at once, at its size and place, and wrote it.
    ASSERT_TRUE(runToEnd("place --kind TarveloWidget --family small --at 600,40"));
    const auto shown = widgetsShownAt({{600, 40, 170, 170}});
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(savedPlaces(), (Places{{600, 40}}));
    const Window window = shown[0];
    const auto before = settledPicture(window);
    ASSERT_TRUE(before);
    const auto [forwardX, forwardY] = forwardChevron(600, 40);
    const auto offset = storedOffset();

    screen_.click(forwardX, forwardY);
    ASSERT_TRUE(eventually([&] { return storedOffset() == offset + 1; }));
    std::optional<DesktopScreen::Capture> stepped;
    ASSERT_TRUE(eventually([&] {
        stepped = settledPicture(window);
        return stepped && *stepped != *before;
    }));

    // The extension dies; the window keeps its picture, even when it must
    // draw it again.
    const auto extensions = extensionsOf(host_);
    ASSERT_EQ(extensions.size(), 1u);
    ::kill(extensions.front(), SIGKILL);
    ASSERT_TRUE(eventually([&] { return extensionsOf(host_).empty(); }));
    screen_.closeWindow(screen_.openWindow("Cover", 600, 40, 170, 170)); // the widget must draw again
    EXPECT_EQ(settledPicture(window), stepped);

    // The next click starts it again and steps once more.
    screen_.click(forwardX, forwardY);
    ASSERT_TRUE(eventually([&] { return storedOffset() == offset + 2; }));
    EXPECT_TRUE(eventually([&] {
        const auto again = settledPicture(window);
        return again && *again != *stepped;
    }));

    ASSERT_TRUE(runToEnd("place --kind TarveloWidget --family medium --at 600,300"));
    ASSERT_EQ(widgetsShownAt({{600, 40, 170, 170}, {600, 300, 364, 170}}).size(), 2u);
    screenshot("desktop-two-widgets");
    // A drag from the small one's footer (no click; on a bare display the
    // widget moves itself): the host saves its list once more, and keeps
    // the other.
    screen_.drag(685, 202, 835, 252);
    EXPECT_TRUE(eventually([&] { return savedPlaces() == Places{{750, 90}, {600, 300}}; }));
    EXPECT_EQ(storedOffset(), offset + 2);

    // The same program under xfwm4, a real EWMH window manager: what counts
    // is what the window manager wrote back, not what the host asked of it.
    // Widgets stay below other windows, on every workspace and off the
    // taskbar, after a click, a drag and with the gallery open. One stored
    // off the screen (on a monitor since unplugged: the screen here is
    // 1024x768) comes up in the nearest corner while its stored place waits
    // for that monitor; after a restart each comes back where it was left.
    stop(host_);
    // xfwm4 is a GTK 3 program: no accessibility bus, and the system's icons.
    windowManager_.emplace(std::vector<std::string>{"/usr/bin/env", "NO_AT_BRIDGE=1",
                                                    "XDG_DATA_DIRS=/usr/share", "xfwm4", "--compositor=off",
                                                    "--sm-client-disable"});
    ASSERT_TRUE(eventually([&] { return screen_.windowManagerRuns(); }))
        << "xfwm4 did not take the display (is it installed? scripts/install-dependencies test)";
    std::ofstream(placements()) << R"({"tarvelo-widgets": 1, "widgets": [
        {"id": "1", "kind": "TarveloWidget", "family": "small", "x": 100, "y": 100},
        {"id": "2", "kind": "TarveloWidget", "family": "medium", "x": 2400, "y": 1500}]})";
    startHost();
    const auto widgets = widgetsShownAt({{100, 100, 170, 170}, {660, 598, 364, 170}});
    ASSERT_EQ(widgets.size(), 2u) << "the window manager did not leave the widgets where they were placed";
    for (const Window each : widgets)
        ASSERT_TRUE(settledPicture(each));
    EXPECT_TRUE(screen_.windowsTitled("Edit Widgets").empty()) << "with widgets placed, the gallery opened";
    screenshot("widget-brought-on-screen");
    const Window widget = widgets[0];
    std::vector<std::string> state;
    EXPECT_TRUE(eventually([&] {
        state = screen_.atomNames(widget, "_NET_WM_STATE");
        return std::ranges::all_of(
            std::vector<std::string>{"_NET_WM_STATE_BELOW", "_NET_WM_STATE_SKIP_TASKBAR",
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

    // The window manager moves it, with the pointer; the host saves where.
    screen_.drag(185, 262, 335, 312);
    ASSERT_TRUE(eventually([&] { return savedPlaces() == Places{{250, 150}, {2400, 1500}}; }));
    EXPECT_TRUE(stackedBelow(widget, ordinary)) << "a drag lifted the widget";

    // A second start opens the gallery in the running host, on top (as the
    // "Edit Widgets" entry does); the widgets stay under the ordinary
    // window, and no more of them.
    EXPECT_TRUE(runToEnd("--gallery"));
    const Window galleryOnTop = waitForWindow("Edit Widgets");
    ASSERT_NE(galleryOnTop, 0u);
    EXPECT_EQ(screen_.windowsTitled("Tarvelo").size(), 2u);
    ASSERT_TRUE(eventually([&] { return stackedBelow(ordinary, galleryOnTop); }));
    EXPECT_TRUE(stackedBelow(widget, ordinary)) << "opening the gallery lifted the widget";
    screenshot("window-manager-gallery-open");

    stop(host_);
    startHost();
    EXPECT_EQ(widgetsShownAt({{250, 150, 170, 170}, {660, 598, 364, 170}}).size(), 2u);
}

} // namespace
