#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The two X types this header needs, declared as Xlib does, so that Xlib's
// macros (None, Bool, Status) stay out of every file that includes it.
using Window = unsigned long;
using Display = struct _XDisplay;

namespace tarvelo::testsupport {

// A look at the X display the tests run on (Xvfb): finds windows, reads
// their pixels, clicks through XTest, and saves what it saw as PNG.
class DesktopScreen {
public:
    struct Capture {
        int width = 0;
        int height = 0;
        std::vector<std::uint32_t> pixels; // 0xRRGGBB, row by row
        bool operator==(const Capture&) const = default;
        int distinctColors() const;
        bool savePNG(const std::string& path) const;
    };
    struct Geometry {
        int x = 0, y = 0, width = 0, height = 0;
        bool viewable = false;
    };

    DesktopScreen();
    ~DesktopScreen();
    bool isOpen() const { return display_ != nullptr; }

    // The top-level windows titled `title` (inside a window manager's
    // frames too).
    std::vector<Window> windowsTitled(const std::string& title);
    // A property of 32-bit items (CARDINAL, WINDOW, ATOM, ...); empty when absent.
    std::vector<unsigned long> property(Window window, const char* name);
    // The names of the atoms in an ATOM-list property (such as _NET_WM_STATE).
    std::vector<std::string> atomNames(Window window, const char* name);
    Window root() const;
    // Whether an EWMH window manager runs: it owns WM_S0 and its
    // _NET_SUPPORTING_WM_CHECK window names itself.
    bool windowManagerRuns();
    // An ordinary application window, mapped at (x, y); gone with the screen.
    Window openWindow(const std::string& title, int x, int y, int width, int height);
    std::optional<Geometry> geometry(Window window);
    // What the screen shows in the window's rectangle (the root's: all of it).
    std::optional<Capture> capture(Window window);
    // Presses and releases the left mouse button at (x, y) on the root window.
    void click(int x, int y, unsigned button = 1);
    // Drags with the left button from one root point to another.
    void drag(int fromX, int fromY, int toX, int toY);
    void closeWindow(Window window);

private:
    Display* display_ = nullptr;
};

} // namespace tarvelo::testsupport
