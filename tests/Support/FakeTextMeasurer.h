#pragma once

#include "Platform/View/TextMeasurer.h"

namespace tarvelo::testsupport {

// Round numbers instead of fonts: every character is `widthPerPoint` times
// the font size wide, and a line is 1.2 times the size tall.
class FakeTextMeasurer final : public platform::TextMeasurer {
public:
    explicit FakeTextMeasurer(double widthPerPoint = 0.5)
        : widthPerPoint_(widthPerPoint) {}

    platform::TextMetrics measure(std::string_view text, const platform::Font& font) const override {
        int characters = 0;
        for (const unsigned char c : text)
            characters += (c & 0xC0) != 0x80;
        return {characters * widthPerPoint_ * font.size, 1.2 * font.size, font.size, characters};
    }

private:
    double widthPerPoint_;
};

} // namespace tarvelo::testsupport
