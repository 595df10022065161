#pragma once

#include <compare>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// A URL as text, checked to be well formed: a scheme (a letter, then letters,
// digits, "+", "-" or "."), a ":", and the rest in printable ASCII without
// spaces. Nothing is resolved or normalised; the text stays as written.
class URL {
public:
    // Absent when `text` is not a well-formed URL.
    static std::optional<URL> string(std::string_view text);
    // A "file://" URL for an absolute path, percent-encoding what needs it.
    static URL fileURL(const std::filesystem::path& path);

    const std::string& absoluteString() const { return text_; }
    // The scheme as written (case kept).
    std::string_view scheme() const;
    // The host as written; absent without a "//" authority.
    std::optional<std::string> host() const;
    bool isFileURL() const;
    // The decoded path of a file URL; empty for other URLs.
    std::filesystem::path path() const;

    auto operator<=>(const URL&) const = default;

private:
    explicit URL(std::string text)
        : text_(std::move(text)) {}
    std::string text_;
};

} // namespace platform
