#include "tests/Platform/WidgetDesktop/DesktopScreen.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <cairo.h>
#include <set>
#include <unistd.h>

namespace tarvelo::testsupport {

DesktopScreen::DesktopScreen() {
    // Xvfb on a loaded machine may refuse a connection now and then: try a few times.
    for (int attempt = 0; attempt < 10 && !(display_ = XOpenDisplay(nullptr)); ++attempt)
        usleep(200000);
    // A window manager ends frame windows at any time: a window gone between two
    // requests is no reason to end the test program (Xlib's default).
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
}

DesktopScreen::~DesktopScreen() {
    if (display_)
        XCloseDisplay(display_);
}

namespace {

// Calls use(format, items, data) with a window's property, when it has one.
template <typename Use>
void readProperty(Display* display, Window window, const char* name, Atom type, Use use) {
    Atom actual = 0;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, XInternAtom(display, name, False), 0, 4096, False, type, &actual,
                           &format, &items, &after, &data) == Success &&
        data) {
        use(format, items, data);
        XFree(data);
    }
}

// Root's children, and their children: a reparenting window manager puts
// each client inside a frame window.
void collectTitled(Display* display, Window parent, const std::string& wanted, int depth,
                   std::vector<Window>& found) {
    Window root = 0, grandparent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, parent, &root, &grandparent, &children, &count))
        return;
    for (unsigned index = 0; index < count; ++index) {
        std::optional<std::string> title;
        readProperty(display, children[index], "_NET_WM_NAME", XInternAtom(display, "UTF8_STRING", False),
                     [&](int, unsigned long items, unsigned char* data) {
                         title.emplace(reinterpret_cast<char*>(data), items);
                     });
        if (title == wanted)
            found.push_back(children[index]);
        else if (depth > 1)
            collectTitled(display, children[index], wanted, depth - 1, found);
    }
    if (children)
        XFree(children);
}

} // namespace

std::vector<Window> DesktopScreen::windowsTitled(const std::string& title) {
    std::vector<Window> found;
    collectTitled(display_, DefaultRootWindow(display_), title, 3, found);
    return found;
}

std::vector<unsigned long> DesktopScreen::property(Window window, const char* name) {
    std::vector<unsigned long> values;
    readProperty(display_, window, name, AnyPropertyType,
                 [&](int format, unsigned long items, unsigned char* data) {
                     // Xlib hands 32-bit items over as (sign-extended) longs.
                     for (unsigned long index = 0; format == 32 && index < items; ++index)
                         values.push_back(reinterpret_cast<unsigned long*>(data)[index] & 0xFFFFFFFFul);
                 });
    return values;
}

std::vector<std::string> DesktopScreen::atomNames(Window window, const char* name) {
    std::vector<std::string> names;
    for (const auto atom : property(window, name))
        if (char* text = XGetAtomName(display_, static_cast<Atom>(atom))) {
            names.emplace_back(text);
            XFree(text);
        }
    return names;
}

bool DesktopScreen::windowManagerRuns() {
    if (XGetSelectionOwner(display_, XInternAtom(display_, "WM_S0", False)) == None)
        return false;
    const auto check = property(root(), "_NET_SUPPORTING_WM_CHECK");
    return !check.empty() &&
           property(static_cast<Window>(check.front()), "_NET_SUPPORTING_WM_CHECK") == check;
}

Window DesktopScreen::openWindow(const std::string& name, int x, int y, int width, int height) {
    const Window window = XCreateSimpleWindow(display_, root(), x, y, static_cast<unsigned>(width),
                                              static_cast<unsigned>(height), 0, 0, 0x3465A4);
    XChangeProperty(display_, window, XInternAtom(display_, "_NET_WM_NAME", False),
                    XInternAtom(display_, "UTF8_STRING", False), 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(name.data()), static_cast<int>(name.size()));
    XSizeHints hints{}; // where the test put it, not where the window manager would
    hints.flags = USPosition | USSize;
    hints.x = x;
    hints.y = y;
    hints.width = width;
    hints.height = height;
    XSetWMNormalHints(display_, window, &hints);
    XMapWindow(display_, window);
    XSync(display_, False);
    return window;
}

std::optional<DesktopScreen::Geometry> DesktopScreen::geometry(Window window) {
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display_, window, &attributes))
        return std::nullopt;
    int x = 0, y = 0;
    Window child = 0;
    XTranslateCoordinates(display_, window, DefaultRootWindow(display_), 0, 0, &x, &y, &child);
    return Geometry{x, y, attributes.width, attributes.height, attributes.map_state == IsViewable};
}

std::optional<DesktopScreen::Capture> DesktopScreen::capture(Window window) {
    const auto area = geometry(window);
    XSync(display_, False);
    XImage* image = area && area->viewable
                        ? XGetImage(display_, root(), area->x, area->y, static_cast<unsigned>(area->width),
                                    static_cast<unsigned>(area->height), AllPlanes, ZPixmap)
                        : nullptr;
    if (!image)
        return std::nullopt;
    Capture capture{area->width, area->height, {}};
    for (int row = 0; row < area->height; ++row)
        for (int column = 0; column < area->width; ++column)
            capture.pixels.push_back(static_cast<std::uint32_t>(XGetPixel(image, column, row) & 0xFFFFFF));
    XDestroyImage(image);
    return capture;
}

void DesktopScreen::click(int x, int y, unsigned button) {
    XTestFakeMotionEvent(display_, -1, x, y, CurrentTime);
    XTestFakeButtonEvent(display_, button, True, CurrentTime);
    XTestFakeButtonEvent(display_, button, False, CurrentTime);
    XSync(display_, False);
}

void DesktopScreen::drag(int fromX, int fromY, int toX, int toY) {
    XTestFakeMotionEvent(display_, -1, fromX, fromY, CurrentTime);
    XTestFakeButtonEvent(display_, 1, True, CurrentTime);
    for (int step = 1; step <= 10; ++step) {
        XSync(display_, False);
        XTestFakeMotionEvent(display_, -1, fromX + (toX - fromX) * step / 10,
                             fromY + (toY - fromY) * step / 10, CurrentTime);
        usleep(20000); // as a hand moves: GTK sees several motions, not one jump
    }
    XTestFakeButtonEvent(display_, 1, False, CurrentTime);
    XSync(display_, False);
}

void DesktopScreen::closeWindow(Window window) {
    XDestroyWindow(display_, window);
    XSync(display_, False);
}

int DesktopScreen::Capture::distinctColors() const {
    return static_cast<int>(std::set<std::uint32_t>(pixels.begin(), pixels.end()).size());
}

bool DesktopScreen::Capture::savePNG(const std::string& path) const {
    if (width <= 0 || height <= 0)
        return false;
    // RGB24 rows are 4 bytes a pixel with no padding: the pixels are the surface's data.
    auto* pixelData = reinterpret_cast<unsigned char*>(const_cast<std::uint32_t*>(pixels.data()));
    cairo_surface_t* surface =
        cairo_image_surface_create_for_data(pixelData, CAIRO_FORMAT_RGB24, width, height, width * 4);
    const bool written = cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    return written;
}

Window DesktopScreen::root() const {
    return DefaultRootWindow(display_);
}

} // namespace tarvelo::testsupport
