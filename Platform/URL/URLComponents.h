#pragma once

#include "Platform/URL/URL.h"

#include <optional>
#include <string>
#include <vector>

namespace platform {

// One "name=value" piece of a query. An item written without "=" has no
// value at all, which is not the same as an empty one ("t" versus "t=").
struct URLQueryItem {
    std::string name;
    std::optional<std::string> value;

    bool operator==(const URLQueryItem&) const = default;
};

// A URL split into its parts, without resolving it against anything:
//
//     scheme://user@host:port/path?query#fragment
//
// Scheme and host are kept as written (no case folding, no decoding); query
// item names and values are percent-decoded ("+" stays a plus sign).
class URLComponents {
public:
    // Absent when the URL cannot be split (an authority whose port is not a
    // number).
    static std::optional<URLComponents> url(const URL& url);

    const std::string& scheme() const { return scheme_; }
    // Absent when the URL has no "//" authority.
    const std::optional<std::string>& host() const { return host_; }
    const std::string& path() const { return path_; }
    // The query as written, without the "?"; absent when there is no "?".
    const std::optional<std::string>& query() const { return query_; }
    const std::optional<std::string>& fragment() const { return fragment_; }

    // The query split at "&", each piece at its first "="; absent when the
    // URL has no query, empty for a bare "?".
    std::optional<std::vector<URLQueryItem>> queryItems() const;

private:
    URLComponents() = default;

    std::string scheme_;
    std::optional<std::string> host_;
    std::string path_;
    std::optional<std::string> query_;
    std::optional<std::string> fragment_;
};

} // namespace platform
