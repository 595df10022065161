#include "TarveloFeature/Onboarding/MarkdownEmphasis.h"

#include <vector>

namespace tarvelo::MarkdownEmphasis {

namespace {

struct Run {
    std::string_view text;
    bool bold = false;
};

bool isSpaceOrAsterisk(char character) {
    return character == '*' || character == ' ' || character == '\t' || character == '\n' ||
           character == '\r';
}

// Markers as Markdown reads them: "**" opens a span when text follows it
// directly, and closes one when text precedes it directly. So "5 ** 2" and
// "****" stay as written, as does a marker without a partner.
bool opens(std::string_view text, std::size_t marker) {
    return marker + 2 < text.size() && !isSpaceOrAsterisk(text[marker + 2]);
}
bool closes(std::string_view text, std::size_t marker) {
    return marker > 0 && !isSpaceOrAsterisk(text[marker - 1]);
}

// Splits `text` into plain and bold runs at paired markers.
std::vector<Run> runs(std::string_view text) {
    std::vector<Run> result;
    std::size_t plainStart = 0;
    std::size_t open = text.find("**");
    while (open != std::string_view::npos) {
        if (!opens(text, open)) {
            open = text.find("**", open + 1);
            continue;
        }
        std::size_t close = text.find("**", open + 3);
        while (close != std::string_view::npos && !closes(text, close))
            close = text.find("**", close + 1);
        if (close == std::string_view::npos)
            break;
        result.push_back({text.substr(plainStart, open - plainStart), false});
        result.push_back({text.substr(open + 2, close - open - 2), true});
        plainStart = close + 2;
        open = text.find("**", plainStart);
    }
    result.push_back({text.substr(plainStart), false});
    return result;
}

// A stretch of text: plain, or the label of a link to `target`.
struct Segment {
    std::string_view text;
    std::string_view target;
    bool isLink = false;
};

// Links as Markdown writes them: "[label](target)" with a label that holds
// no bracket and a target that holds no space or parenthesis. Anything else
// stays text.
std::vector<Segment> segments(std::string_view text) {
    std::vector<Segment> result;
    std::size_t plainStart = 0;
    for (std::size_t open = text.find('['); open != std::string_view::npos; open = text.find('[', open + 1)) {
        const std::size_t close = text.find_first_of("[]", open + 1);
        if (close == std::string_view::npos || text[close] != ']' || close == open + 1 ||
            close + 1 >= text.size() || text[close + 1] != '(')
            continue;
        const std::size_t end = text.find_first_of("() \t\r\n", close + 2);
        if (end == std::string_view::npos || text[end] != ')' || end == close + 2)
            continue;
        result.push_back({text.substr(plainStart, open - plainStart), {}, false});
        result.push_back(
            {text.substr(open + 1, close - open - 1), text.substr(close + 2, end - close - 2), true});
        plainStart = end + 1;
        open = end;
    }
    result.push_back({text.substr(plainStart), {}, false});
    return result;
}

void appendEscaped(std::string& markup, std::string_view text) {
    for (const char character : text) {
        switch (character) {
        case '&':
            markup += "&amp;";
            break;
        case '<':
            markup += "&lt;";
            break;
        case '>':
            markup += "&gt;";
            break;
        case '"':
            markup += "&quot;";
            break;
        case '\'':
            markup += "&#39;";
            break;
        default:
            markup += character;
        }
    }
}

} // namespace

std::string pangoMarkup(std::string_view text) {
    std::string markup;
    markup.reserve(text.size() + 16);
    for (const Segment& segment : segments(text)) {
        if (segment.isLink) {
            markup += "<a href=\"";
            appendEscaped(markup, segment.target);
            markup += "\">";
        }
        for (const Run& run : runs(segment.text)) {
            if (run.text.empty())
                continue;
            if (run.bold)
                markup += "<b>";
            appendEscaped(markup, run.text);
            if (run.bold)
                markup += "</b>";
        }
        if (segment.isLink)
            markup += "</a>";
    }
    return markup;
}

std::string plainText(std::string_view text) {
    std::string plain;
    plain.reserve(text.size());
    for (const Segment& segment : segments(text))
        for (const Run& run : runs(segment.text))
            plain += run.text;
    return plain;
}

} // namespace tarvelo::MarkdownEmphasis
