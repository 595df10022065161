#include "Platform/URL/URLComponents.h"

#include "Platform/URL/PercentEncoding.h"

#include <string_view>

namespace platform {

namespace {

bool isDigits(std::string_view text) {
    for (char c : text)
        if (c < '0' || c > '9')
            return false;
    return true;
}

// The host of an authority "user:password@host:port"; absent when the port
// is not a number.
std::optional<std::string> hostOfAuthority(std::string_view authority) {
    if (const auto at = authority.rfind('@'); at != std::string_view::npos)
        authority.remove_prefix(at + 1);
    std::string_view host = authority;
    std::string_view rest;
    if (!authority.empty() && authority.front() == '[') {
        // An IPv6 literal holds colons of its own.
        const auto close = authority.find(']');
        if (close == std::string_view::npos)
            return std::nullopt;
        host = authority.substr(0, close + 1);
        rest = authority.substr(close + 1);
    } else if (const auto colon = authority.find(':'); colon != std::string_view::npos) {
        host = authority.substr(0, colon);
        rest = authority.substr(colon);
    }
    if (!rest.empty() && (rest.front() != ':' || !isDigits(rest.substr(1))))
        return std::nullopt;
    return std::string(host);
}

} // namespace

std::optional<URLComponents> URLComponents::url(const URL& url) {
    URLComponents components;
    std::string_view text = url.absoluteString();
    const auto colon = text.find(':');
    components.scheme_ = std::string(text.substr(0, colon));
    text.remove_prefix(colon + 1);

    if (const auto hash = text.find('#'); hash != std::string_view::npos) {
        components.fragment_ = std::string(text.substr(hash + 1));
        text = text.substr(0, hash);
    }
    if (const auto question = text.find('?'); question != std::string_view::npos) {
        components.query_ = std::string(text.substr(question + 1));
        text = text.substr(0, question);
    }
    if (text.substr(0, 2) == "//") {
        text.remove_prefix(2);
        const auto slash = text.find('/');
        auto host = hostOfAuthority(text.substr(0, slash));
        if (!host)
            return std::nullopt;
        components.host_ = std::move(host);
        text = slash == std::string_view::npos ? std::string_view() : text.substr(slash);
    }
    components.path_ = std::string(text);
    return components;
}

std::optional<std::vector<URLQueryItem>> URLComponents::queryItems() const {
    if (!query_)
        return std::nullopt;
    std::vector<URLQueryItem> items;
    if (query_->empty())
        return items;
    std::string_view rest = *query_;
    while (true) {
        const auto ampersand = rest.find('&');
        const std::string_view piece = rest.substr(0, ampersand);
        const auto equals = piece.find('=');
        URLQueryItem item{PercentEncoding::decoded(piece.substr(0, equals)), std::nullopt};
        if (equals != std::string_view::npos)
            item.value = PercentEncoding::decoded(piece.substr(equals + 1));
        items.push_back(std::move(item));
        if (ampersand == std::string_view::npos)
            break;
        rest.remove_prefix(ampersand + 1);
    }
    return items;
}

} // namespace platform
