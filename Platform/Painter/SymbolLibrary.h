#pragma once

#include "Platform/View/Geometry.h"

#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

typedef struct _RsvgHandle RsvgHandle;
typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;
typedef struct _cairo_matrix cairo_matrix_t;

namespace platform {

// The symbols views name ("chevron.left"), as the icon theme's symbolic
// icons ("go-previous-symbolic"). Every icon is read and parsed when the
// library is made; drawing touches no file. A symbol whose icon is missing
// is drawn from a built-in outline, and an unknown name draws nothing.
class SymbolLibrary {
public:
    // Looks in `themes` (first match wins) under each XDG data folder's "icons".
    explicit SymbolLibrary(const std::vector<std::string>& themes = {"Adwaita", "hicolor"});
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

    // The mask of `width` × `height` pixels as drawn with `placement` (its
    // pixels to device pixels), filtered onto whole device pixels from
    // (originX, originY) on. Called with the lock held.
    cairo_surface_t* placedMask(std::string_view systemName, int width, int height,
                                const cairo_matrix_t& placement, double originX, double originY) const;

    std::map<std::string, RsvgHandle*, std::less<>> icons_;
    mutable std::map<std::tuple<std::string, int, int>, cairo_surface_t*, std::less<>> masks_;
    // Keyed by the mask and where it falls within a device pixel.
    mutable std::map<std::tuple<std::string, int, int, double, double, double, double, double, double>,
                     cairo_surface_t*, std::less<>>
        placedMasks_;
    mutable std::mutex lock_; // librsvg handles and the masks are not for concurrent use
};

} // namespace platform
