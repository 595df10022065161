#pragma once

#include "Platform/Painter/Appearance.h"
#include "Platform/Painter/PangoTextMeasurer.h"
#include "Platform/Painter/SymbolLibrary.h"
#include "Platform/Painter/TextEngine.h"
#include "Platform/View/DisplayList.h"

#include <memory>
#include <mutex>
#include <optional>

typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;
typedef struct _PangoLayout PangoLayout;

namespace platform {

struct SurfaceRelease {
    void operator()(cairo_surface_t* surface) const;
};
// An owned Cairo image surface.
using ImageSurface = std::unique_ptr<cairo_surface_t, SurfaceRelease>;

// Paints display lists with Cairo and Pango, without a display. Fonts,
// icons and the measurer are set up when the painter is made; painting
// itself reads no file. Safe to use from several threads (one paint at a time).
class Painter {
public:
    struct Options {
        std::string fontFamily = "system-ui,sans-serif"; // fontconfig family list
        std::vector<std::string> iconThemes{"Adwaita", "hicolor"};
    };

    Painter();
    explicit Painter(const Options& options);
    ~Painter();
    Painter(const Painter&) = delete;
    Painter& operator=(const Painter&) = delete;

    // Measures texts exactly as this painter sets them; layout with it.
    const TextMeasurer& measurer() const { return measurer_; }
    const SymbolLibrary& symbols() const { return symbols_; }

    // Paints the list in user-space points onto `cairo` (scale it first for
    // the output's scale factor). Hit regions are not painted.
    void paint(cairo_t* cairo, const DisplayList& list, Appearance appearance) const;

    // A transparent ARGB image of the list at `scale` pixels per point,
    // clipped to a rounded rectangle of `cornerRadius` points when above 0.
    ImageSurface render(const DisplayList& list, double scale, Appearance appearance,
                        double cornerRadius = 0.0) const;

private:
    // `layoutFont`, `layoutDirection`: what the layout is set in so far during this paint.
    void paintItem(cairo_t* cairo, const DisplayItem& item, Appearance appearance,
                   std::optional<Font>& layoutFont, LayoutDirection& layoutDirection) const;

    TextEngine engine_;
    PangoTextMeasurer measurer_;
    SymbolLibrary symbols_;
    PangoLayout* layout_ = nullptr;
};

} // namespace platform
