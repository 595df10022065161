#include "DateLinkFixture.h"

using tarvelo::isDateLinkNumber;
using DateLinkValidation = tarvelo::testsupport::DateLinkTest;

TEST_F(DateLinkValidation, AcceptsEveryNumberTheCLibraryReadsWhole) {
    for (const char* value :
         {"0", "-1", "-5.5e2", "0x1p4", "+7", ".5", "1e999", "inf", "-Infinity", "nan", "NAN(12)"})
        EXPECT_TRUE(isDateLinkNumber(value)) << value;
}

TEST_F(DateLinkValidation, RefusesPaddingTrailingTextAndEmptiness) {
    for (const char* value :
         {"", " 5", "\t5", "\n5", "\v5", "\f5", "\r5", "5x", "5 ", "x", "0x", "1e", "--1", "1,5"})
        EXPECT_FALSE(isDateLinkNumber(value)) << '"' << value << '"';
    EXPECT_FALSE(isDateLinkNumber(std::string_view("\0"
                                                   "5",
                                                   2)));
    EXPECT_FALSE(isDateLinkNumber(std::string_view("5\0"
                                                   "5",
                                                   3)));
}

TEST_F(DateLinkValidation, ReadsTheDecimalPointOfTheCLocaleWhateverTheUsersLocale) {
    const char* previous = std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    EXPECT_TRUE(isDateLinkNumber("1.5"));
    EXPECT_FALSE(isDateLinkNumber("1,5"));
    std::setlocale(LC_NUMERIC, previous ? previous : "C");
}

TEST_F(DateLinkValidation, HandsOffLinksWithAValidFirstT) {
    for (const char* link :
         {"tarvelo://date?t=0", "tarvelo://date?t=-5.5e2", "tarvelo://date?t=0x1p4", "tarvelo://date?t=-1",
          "tarvelo://date?x=1&t=5&t=junk", "tarvelo://date/?t=%35", "tarvelo://date?t=1#fragment"}) {
        EXPECT_TRUE((handle(link), handedOff())) << link;
    }
}

TEST_F(DateLinkValidation, IgnoresEverythingElseAndKeepsRunning) {
    for (const char* link :
         {"tarvelo://date?t=", "tarvelo://date?t=%205", "tarvelo://date?t=5x", "tarvelo://date",
          "tarvelo://date?", "tarvelo://date?u=5", "tarvelo://date?t&t=5", "tarvelo://day?t=0",
          "tarvelo://Date?t=0", "Tarvelo://date?t=0", "tarvelo:date?t=0", "ical://date?t=0",
          "https://date?t=0", "file:///date?t=0", "tarvelo://date?t=%00", "tarvelo://date?t=5%00",
          "tarvelo://date?T=5", "tarvelo://date:x?t=5", "tarvelo://date#?t=5"}) {
        handle(link);
        EXPECT_FALSE(handedOff()) << link;
    }
    EXPECT_EQ(quits, 0);
}

TEST_F(DateLinkValidation, SurvivesHugeAndBinaryValues) {
    std::string digits(1 << 20, '7');
    EXPECT_TRUE((handle("tarvelo://date?t=" + digits), handedOff()));

    std::string binary = "tarvelo://date?t=";
    for (int byte = 0; byte < 256; ++byte) {
        static const char hex[] = "0123456789ABCDEF";
        binary += '%';
        binary += hex[byte >> 4];
        binary += hex[byte & 15];
    }
    handle(binary);
    EXPECT_FALSE(handedOff());
}
