#pragma once

#include "Platform/View/Font.h"

#include <map>
#include <mutex>
#include <string>
#include <tuple>

typedef struct _PangoContext PangoContext;
typedef struct _PangoFontMap PangoFontMap;
typedef struct _PangoFontDescription PangoFontDescription;

namespace platform {

// The fonts the painter and the text measurer share: one private Pango font
// map and context with fixed font options (no hinting, greyscale
// antialiasing, unrounded glyph positions), so a text measures the same at
// every scale factor and paints where layout put it.
//
// The families come from fontconfig: the desktop's UI font ("system-ui"),
// then "sans-serif". Sizes are absolute, in points.
class TextEngine {
public:
    // `family`: a fontconfig family list for the standard design.
    explicit TextEngine(std::string family = "system-ui,sans-serif");
    ~TextEngine();
    TextEngine(const TextEngine&) = delete;
    TextEngine& operator=(const TextEngine&) = delete;

    // Pango objects are not thread-safe: hold this lock while using them.
    std::mutex& lock() const { return lock_; }
    PangoContext* context() const { return context_; }
    // A description for `font`, made once and kept (a bounded number of
    // them). Call with the lock held; valid until the next call.
    const PangoFontDescription* description(const Font& font) const;

private:
    std::string family_;
    PangoFontMap* fontMap_ = nullptr;
    PangoContext* context_ = nullptr;
    mutable std::mutex lock_;
    mutable std::map<std::tuple<double, int, int>, PangoFontDescription*> descriptions_;
};

} // namespace platform
