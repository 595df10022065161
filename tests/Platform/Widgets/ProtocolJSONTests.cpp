#include "Platform/Widgets/ProtocolJSON.h"

#include <gtest/gtest.h>

using platform::deepestProtocolNesting;
using platform::parseProtocolJSON;

namespace {

std::string nested(std::size_t depth, const std::string& inside = "") {
    return std::string(depth, '[') + inside + std::string(depth, ']');
}

} // namespace

TEST(ProtocolJSON, NestingUpToTheLimitIsReadAndOneLevelMoreIsNot) {
    EXPECT_FALSE(parseProtocolJSON(nested(deepestProtocolNesting)).is_discarded());
    EXPECT_TRUE(parseProtocolJSON(nested(deepestProtocolNesting + 1)).is_discarded());
    EXPECT_TRUE(parseProtocolJSON("{\"a\":" + nested(deepestProtocolNesting) + "}").is_discarded());
    EXPECT_TRUE(parseProtocolJSON(std::string(4'000'000, '[')).is_discarded());
}

TEST(ProtocolJSON, BracketsInsideStringsDoNotCount) {
    const std::string brackets(1000, '[');
    EXPECT_EQ(parseProtocolJSON("{\"text\":\"" + brackets + "\"}")["text"], brackets);
    // An escaped quote does not end the string.
    EXPECT_EQ(parseProtocolJSON("[\"\\\"" + brackets + "\"]")[0], "\"" + brackets);
    // Closing brackets in a string do not make room for more levels outside it.
    const std::string closers = "\"" + std::string(1000, ']') + "\"";
    EXPECT_TRUE(parseProtocolJSON(nested(deepestProtocolNesting, closers + "," + nested(2))).is_discarded());
}

TEST(ProtocolJSON, WhatIsNoJSONIsDiscarded) {
    for (const char* line : {"", "{", "garbage", "{\"id\":1,}", "\xff\xfe"})
        EXPECT_TRUE(parseProtocolJSON(line).is_discarded()) << line;
}
