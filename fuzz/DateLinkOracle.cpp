#include "fuzz/DateLinkOracle.h"

#include <strings.h>

namespace tarvelo::fuzzing::DateLinkOracle {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isHexDigit(char c) {
    return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
// Whether a two-digit hexadecimal escape starts at `index` (its "%").
bool isEscapeAt(std::string_view text, std::size_t index) {
    return index + 2 < text.size() && isHexDigit(text[index + 1]) && isHexDigit(text[index + 2]);
}

bool equalsIgnoringCase(std::string_view text, std::string_view word) {
    return text.size() == word.size() && ::strncasecmp(text.data(), word.data(), text.size()) == 0;
}

std::string percentDecoded(std::string_view text) {
    std::string result;
    for (std::size_t index = 0; index < text.size(); ++index) {
        if (text[index] == '%' && isEscapeAt(text, index)) {
            result += static_cast<char>(std::stoi(std::string(text.substr(index + 1, 2)), nullptr, 16));
            index += 2;
        } else {
            result += text[index];
        }
    }
    return result;
}

// Consumes a run of characters that satisfy `accepts`; returns how many.
template <typename Predicate> std::size_t skip(std::string_view& text, Predicate accepts) {
    std::size_t count = 0;
    while (count < text.size() && accepts(text[count]))
        ++count;
    text.remove_prefix(count);
    return count;
}

// Digits, an optional point and more digits, at least one digit in all.
bool consumeMantissa(std::string_view& text, bool (*digit)(char)) {
    std::size_t digits = skip(text, digit);
    if (!text.empty() && text.front() == '.') {
        text.remove_prefix(1);
        digits += skip(text, digit);
    }
    return digits > 0;
}

// What is left must be exactly one exponent (marker, optional sign, decimal
// digits) or nothing. strtod would stop before a marker without digits,
// leaving it over, which fails the whole-value rule all the same.
bool isExponentOrNothing(std::string_view text, char marker) {
    if (text.empty())
        return true;
    if (lower(text.front()) != marker)
        return false;
    text.remove_prefix(1);
    if (!text.empty() && (text.front() == '+' || text.front() == '-'))
        text.remove_prefix(1);
    return skip(text, isDigit) > 0 && text.empty();
}

} // namespace

bool isWellFormedURL(std::string_view text) {
    const auto colon = text.find(':');
    if (colon == std::string_view::npos || colon == 0 || !isLetter(text.front()))
        return false;
    for (char c : text.substr(1, colon - 1))
        if (!isLetter(c) && !isDigit(c) && c != '+' && c != '-' && c != '.')
            return false;
    const std::string_view rest = text.substr(colon + 1);
    for (std::size_t index = 0; index < rest.size(); ++index)
        if (rest[index] < 0x21 || rest[index] > 0x7E || (rest[index] == '%' && !isEscapeAt(rest, index)))
            return false;
    return true;
}

std::optional<std::string> dateValue(std::string_view link) {
    // scheme ":" "//" authority [ path ] [ "?" query ] [ "#" fragment ],
    // split the way RFC 3986 (appendix B) does.
    constexpr std::string_view prefix = "tarvelo://";
    if (link.substr(0, prefix.size()) != prefix)
        return std::nullopt;
    std::string_view rest = link.substr(prefix.size());
    const std::string_view authority = rest.substr(0, rest.find_first_of("/?#"));

    // [userinfo "@"] host [":" port]: the host must be "date", the port digits.
    std::string_view hostAndPort = authority;
    if (const auto at = hostAndPort.rfind('@'); at != std::string_view::npos)
        hostAndPort.remove_prefix(at + 1);
    if (hostAndPort.substr(0, 4) != "date")
        return std::nullopt;
    std::string_view port = hostAndPort.substr(4);
    if (!port.empty() && (port.front() != ':' || (port.remove_prefix(1), skip(port, isDigit), !port.empty())))
        return std::nullopt;

    rest = rest.substr(0, rest.find('#'));
    const auto question = rest.find('?');
    if (question == std::string_view::npos)
        return std::nullopt;
    std::string_view query = rest.substr(question + 1);
    while (true) {
        const auto ampersand = query.find('&');
        const std::string_view item = query.substr(0, ampersand);
        const auto equals = item.find('=');
        if (percentDecoded(item.substr(0, equals)) == "t")
            return equals == std::string_view::npos ? std::nullopt
                                                    : std::optional(percentDecoded(item.substr(equals + 1)));
        if (ampersand == std::string_view::npos)
            return std::nullopt;
        query.remove_prefix(ampersand + 1);
    }
}

bool isNumber(std::string_view value) {
    if (!value.empty() && (value.front() == '+' || value.front() == '-'))
        value.remove_prefix(1);
    if (equalsIgnoringCase(value, "inf") || equalsIgnoringCase(value, "infinity") ||
        equalsIgnoringCase(value, "nan"))
        return true;
    if (value.size() >= 5 && equalsIgnoringCase(value.substr(0, 4), "nan(") && value.back() == ')') {
        std::string_view inside = value.substr(4, value.size() - 5);
        skip(inside, [](char c) { return isLetter(c) || isDigit(c) || c == '_'; });
        return inside.empty();
    }
    if (value.size() >= 2 && value[0] == '0' && lower(value[1]) == 'x') {
        // "0x" without a hexadecimal digit is the number 0 followed by "x".
        std::string_view hex = value.substr(2);
        return consumeMantissa(hex, isHexDigit) && isExponentOrNothing(hex, 'p');
    }
    return consumeMantissa(value, isDigit) && isExponentOrNothing(value, 'e');
}

bool acceptsLink(std::string_view link) {
    const auto value = isWellFormedURL(link) ? dateValue(link) : std::nullopt;
    return value && isNumber(*value);
}

} // namespace tarvelo::fuzzing::DateLinkOracle
