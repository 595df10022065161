#include "Platform/URL/PercentEncoding.h"
#include "Platform/URL/URLComponents.h"

#include <gtest/gtest.h>

using platform::URL;
using platform::URLComponents;
using platform::URLQueryItem;

namespace {

URLComponents split(const char* text) {
    const auto url = URL::string(text);
    EXPECT_TRUE(url) << text;
    const auto components = URLComponents::url(*url);
    EXPECT_TRUE(components) << text;
    return *components;
}

} // namespace

TEST(URLComponents, KeepsSchemeAndHostAsWritten) {
    const auto components = split("Tarvelo://DATE:80/x?t=1#end");
    EXPECT_EQ(components.scheme(), "Tarvelo");
    EXPECT_EQ(components.host(), "DATE");
    EXPECT_EQ(components.path(), "/x");
    EXPECT_EQ(components.query(), "t=1");
    EXPECT_EQ(components.fragment(), "end");
    EXPECT_EQ(URL::string("tarvelo://user@date?t=0")->host(), "date");
}

TEST(URLComponents, HasNoHostWithoutAuthority) {
    EXPECT_EQ(split("tarvelo:date?t=0").host(), std::nullopt);
    EXPECT_EQ(URL::string("mailto:someone")->host(), std::nullopt);
}

TEST(URLComponents, RefusesAPortThatIsNoNumber) {
    EXPECT_FALSE(URLComponents::url(*URL::string("tarvelo://date:x?t=0")));
    EXPECT_FALSE(URLComponents::url(*URL::string("tarvelo://[::1?t=0")));
    EXPECT_EQ(split("tarvelo://[::1]:8/?t=0").host(), "[::1]");
}

TEST(URLComponents, TellsNoQueryFromAnEmptyOne) {
    EXPECT_EQ(split("tarvelo://date").queryItems(), std::nullopt);
    EXPECT_EQ(split("tarvelo://date#t=5").queryItems(), std::nullopt);
    EXPECT_EQ(split("tarvelo://date?").queryItems(), std::vector<URLQueryItem>());
}

TEST(URLComponents, GivesAnItemWithoutEqualsSignNoValue) {
    const auto items = split("tarvelo://date?t&t=&u=a=b&&x").queryItems();
    const std::vector<URLQueryItem> expected{
        {"t", std::nullopt}, {"t", ""}, {"u", "a=b"}, {"", std::nullopt}, {"x", std::nullopt}};
    EXPECT_EQ(items, expected);
}

TEST(URLComponents, DecodesNamesAndValuesButNotPlusSigns) {
    const auto items = split("tarvelo://date?%74=%20%2B5+1&n=%00").queryItems();
    ASSERT_TRUE(items);
    ASSERT_EQ(items->size(), 2u);
    EXPECT_EQ((*items)[0], (URLQueryItem{"t", " +5+1"}));
    EXPECT_EQ((*items)[1].value, std::string(1, '\0'));
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
