#include "Platform/URL/PercentEncoding.h"
#include "Platform/URL/URLComponents.h"

#include <gtest/gtest.h>

using platform::URL;
using platform::URLComponents;
using Items = std::optional<std::vector<platform::URLQueryItem>>;

namespace {

// The parts of `text`; none when they are refused (value() then throws,
// failing the test cleanly).
std::optional<URLComponents> split(const char* text) {
    const auto url = URL::string(text);
    EXPECT_TRUE(url) << text;
    return url ? URLComponents::url(*url) : std::nullopt;
}

} // namespace

TEST(URLComponents, KeepsEveryPartAsWrittenAndHasNoHostWithoutAuthority) {
    const auto parts = split("Tarvelo://DATE:80/x?t=1#end").value();
    EXPECT_EQ(std::tuple(parts.scheme(), parts.host(), parts.path(), parts.query(), parts.fragment()),
              std::tuple("Tarvelo", "DATE", "/x", "t=1", "end"));
    EXPECT_EQ(URL::string("tarvelo://user@date?t=0")->host(), "date");
    EXPECT_EQ(split("tarvelo:date?t=0").value().host(), std::nullopt);
    EXPECT_EQ(URL::string("mailto:someone")->host(), std::nullopt);
}

TEST(URLComponents, RefusesAPortThatIsNoNumber) {
    EXPECT_FALSE(split("tarvelo://date:x?t=0"));
    EXPECT_FALSE(split("tarvelo://[::1?t=0"));
    EXPECT_EQ(split("tarvelo://[::1]:8/?t=0").value().host(), "[::1]");
}

// No query, an empty one, items without "=", and escapes decoded in names
// and values but plus signs kept.
TEST(URLComponents, SplitsTheQueryIntoItems) {
    const std::pair<const char*, Items> cases[] = {
        {"tarvelo://date", std::nullopt},
        {"tarvelo://date#t=5", std::nullopt},
        {"tarvelo://date?", Items::value_type{}},
        {"tarvelo://date?t&t=&u=a=b&&x",
         Items::value_type{
             {"t", std::nullopt}, {"t", ""}, {"u", "a=b"}, {"", std::nullopt}, {"x", std::nullopt}}},
        {"tarvelo://date?%74=%20%2B5+1&n=%00",
         Items::value_type{{"t", " +5+1"}, {"n", std::string(1, '\0')}}},
    };
    for (const auto& [text, items] : cases)
        EXPECT_EQ(split(text).value().queryItems(), items) << text;
}

TEST(PercentEncoding, HexDigitsOfEitherCaseAtEitherEndOfTheirRanges) {
    const std::pair<const char*, const char*> cases[] = {
        {"%2a%2A%2f%2F%30%39", "**//09"}, {"%6F%6f%60", "oo`"}, {"%3g%g3%2", "%3g%g3%2"}};
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(platform::PercentEncoding::decoded(text), expected) << text;
}

TEST(URL, AFilePathKeepsItsPlainCharactersAndEncodesTheRest) {
    const auto url = URL::fileURL("/tmp/a b~/Zz_9-.\xC3\xA4%");
    EXPECT_EQ(url.absoluteString(), "file:///tmp/a%20b~/Zz_9-.%C3%A4%25");
    EXPECT_EQ(url.path(), "/tmp/a b~/Zz_9-.\xC3\xA4%");
}
