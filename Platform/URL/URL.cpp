#include "Platform/URL/URL.h"

#include "Platform/URL/PercentEncoding.h"
#include "Platform/URL/URLComponents.h"

namespace platform {

namespace {

bool isSchemeStart(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isSchemeCharacter(char c) {
    return isSchemeStart(c) || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
}

using PercentEncoding::hexValue;

} // namespace

std::optional<URL> URL::string(std::string_view text) {
    const auto colon = text.find(':');
    if (colon == std::string_view::npos || colon == 0 || !isSchemeStart(text[0]))
        return std::nullopt;
    for (std::size_t index = 1; index < colon; ++index)
        if (!isSchemeCharacter(text[index]))
            return std::nullopt;
    for (std::size_t index = colon + 1; index < text.size(); ++index) {
        const unsigned char c = static_cast<unsigned char>(text[index]);
        if (c <= 0x20 || c >= 0x7F)
            return std::nullopt;
        if (c == '%' &&
            (index + 2 >= text.size() || hexValue(text[index + 1]) < 0 || hexValue(text[index + 2]) < 0))
            return std::nullopt;
    }
    return URL(std::string(text));
}

URL URL::fileURL(const std::filesystem::path& path) {
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string text = "file://";
    for (unsigned char c : path.string()) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                           c == '/' || c == '-' || c == '_' || c == '.' || c == '~';
        if (plain) {
            text.push_back(static_cast<char>(c));
        } else {
            text.push_back('%');
            text.push_back(hex[c >> 4]);
            text.push_back(hex[c & 0xF]);
        }
    }
    return URL(std::move(text));
}

std::string_view URL::scheme() const {
    return std::string_view(text_).substr(0, text_.find(':'));
}

std::optional<std::string> URL::host() const {
    const auto components = URLComponents::url(*this);
    return components ? components->host() : std::nullopt;
}

bool URL::isFileURL() const {
    const auto name = scheme();
    return name.size() == 4 && (name[0] | 0x20) == 'f' && (name[1] | 0x20) == 'i' &&
           (name[2] | 0x20) == 'l' && (name[3] | 0x20) == 'e';
}

std::filesystem::path URL::path() const {
    if (!isFileURL())
        return {};
    std::string_view rest = std::string_view(text_).substr(5);
    if (rest.substr(0, 2) == "//") {
        rest.remove_prefix(2);
        // Skip an authority ("localhost" or empty) up to the path.
        const auto slash = rest.find('/');
        rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash);
    }
    std::string decoded;
    for (std::size_t index = 0; index < rest.size(); ++index) {
        if (rest[index] == '%' && index + 2 < rest.size() && hexValue(rest[index + 1]) >= 0 &&
            hexValue(rest[index + 2]) >= 0) {
            decoded.push_back(static_cast<char>(hexValue(rest[index + 1]) * 16 + hexValue(rest[index + 2])));
            index += 2;
        } else if (rest[index] == '?' || rest[index] == '#') {
            break;
        } else {
            decoded.push_back(rest[index]);
        }
    }
    return decoded;
}

} // namespace platform
