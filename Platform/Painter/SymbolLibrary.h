#pragma once

#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "Geometry.h"

typedef struct _RsvgHandle RsvgHandle;
typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;

namespace platform {

// The symbols views name ("chevron.left"), as the icon theme's symbolic
// icons ("go-previous-symbolic"). Every icon is read and parsed when the
// library is made; drawing touches no file. A symbol whose icon is missing
// is drawn from a built-in outline, and an unknown name draws nothing.
class SymbolLibrary {
public:
    // Looks in `themes` (first match wins) under each XDG data folder's "icons".
    explicit SymbolLibrary(std::vector<std::string> themes = {"Adwaita", "hicolor"});
    ~SymbolLibrary();
    SymbolLibrary(const SymbolLibrary&) = delete;
    SymbolLibrary& operator=(const SymbolLibrary&) = delete;

    // The icon-theme name for a symbol name; empty for names it does not know.
    static std::string_view iconName(std::string_view systemName);

    // Whether the symbol comes from the icon theme (not the built-in outline).
    bool hasIcon(std::string_view systemName) const;

    // Draws the symbol fitted into `frame`, in the source colour already set
    // on `cairo` (the icon's own colours are replaced: it is used as a mask).
    void draw(cairo_t* cairo, std::string_view systemName, const Rect& frame) const;

private:
    // The symbol drawn once at a pixel size, as an alpha mask; painting then
    // only composites it. Called with the lock held.
    cairo_surface_t* mask(std::string_view systemName, int width, int height) const;

    std::map<std::string, RsvgHandle*, std::less<>> icons_;
    mutable std::map<std::tuple<std::string, int, int>, cairo_surface_t*, std::less<>> masks_;
    mutable std::mutex lock_; // librsvg handles and the masks are not for concurrent use
};

} // namespace platform
