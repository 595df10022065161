#pragma once

#include "Platform/Painter/TextEngine.h"
#include "Platform/View/TextMeasurer.h"

#include <map>
#include <mutex>
#include <string>
#include <tuple>

typedef struct _PangoLayout PangoLayout;

namespace platform {

// Measures texts with Pango in the fonts the painter paints with. Results
// are kept (a bounded number), so laying out the same widget again costs
// no shaping. Safe to use from several threads.
class PangoTextMeasurer final : public TextMeasurer {
public:
    explicit PangoTextMeasurer(const TextEngine& engine);
    ~PangoTextMeasurer() override;
    PangoTextMeasurer(const PangoTextMeasurer&) = delete;
    PangoTextMeasurer& operator=(const PangoTextMeasurer&) = delete;

    TextMetrics measure(std::string_view text, const Font& font) const override;

private:
    using Key = std::tuple<std::string, double, int, int>;

    const TextEngine& engine_;
    PangoLayout* layout_ = nullptr;
    mutable std::mutex cacheLock_;
    mutable std::map<Key, TextMetrics, std::less<>> cache_;
};

} // namespace platform
