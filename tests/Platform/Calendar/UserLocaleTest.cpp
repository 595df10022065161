#include "Platform/Calendar/UserLocale.h"

#include "Platform/Calendar/LocaleDigits.h"
#include "tests/Support/EnvironmentGuard.h"

#include <gtest/gtest.h>

using platform::LocaleDigits;
using platform::UserLocale;
using tarvelo::testsupport::EnvironmentGuard;

TEST(UserLocale, TranslatesPosixValuesToIcuIdentifiersAndCPosixAndGarbageToPosixEnglish) {
    const std::pair<const char*, const char*> cases[] = {
        {"de_DE.UTF-8", "de_DE"},
        {"pl_PL", "pl_PL"},
        {"fr", "fr"},
        {"de_DE.ISO-8859-15@euro", "de_DE"},
        {"sr_RS.UTF-8@latin", "sr_Latn_RS"},
        {"ja_JP.UTF-8@calendar=japanese", "ja_JP@calendar=japanese"},
        {"en_GB@fw=sun", "en_GB@fw=sun"}};
    for (const auto& [posix, icu] : cases)
        EXPECT_EQ(UserLocale::fromPosix(posix), icu) << posix;
    for (const char* value : {"", "C", "POSIX", "C.UTF-8", "../../etc/passwd", "de DE", "\xff\xfe"})
        EXPECT_EQ(UserLocale::fromPosix(value), "en_US_POSIX") << value;
}

TEST(UserLocale, FollowsTheCLibraryOrderOfVariables) {
    EnvironmentGuard environment{{"LC_ALL", nullptr}, {"LC_TIME", "de_DE.UTF-8"}, {"LANG", "en_US.UTF-8"}};
    EXPECT_EQ(UserLocale::identifier(), "de_DE") << "LC_TIME outranks LANG";

    environment.set("LC_ALL", "fr_FR.UTF-8");
    EXPECT_EQ(UserLocale::identifier(), "fr_FR") << "LC_ALL outranks everything";

    environment.set("LC_ALL", "");
    environment.set("LC_TIME", "");
    EXPECT_EQ(UserLocale::identifier(), "en_US") << "empty values are skipped";

    environment.set("LANG", nullptr);
    EXPECT_EQ(UserLocale::identifier(), "en_US_POSIX");
}

TEST(UserLocale, WritingDirectionAndDigitsFollowTheLocale) {
    struct Case {
        const char* locale;
        bool rightToLeft;
        std::int64_t number;
        const char* written;
    };
    const Case cases[] = {
        {"en_US_POSIX", false, 2026, "2026"},
        {"he_IL", true, 31, "31"},
        {"ar_SA", true, 1234, "\u0661\u0662\u0663\u0664"}, // no grouping, as "%lld"
        {"fa_IR", true, 12, "\u06F1\u06F2"},
        {"ar_SA@numbers=latn", true, 7, "7"},
        {"ur", true, 5, "5"},
        {"sr_Latn_RS", false, -3, "-3"},
    };
    for (const Case& example : cases) {
        EXPECT_EQ(UserLocale::isRightToLeft(example.locale), example.rightToLeft) << example.locale;
        EXPECT_EQ(LocaleDigits(example.locale).string(example.number), example.written) << example.locale;
    }
    // A negative number in native digits takes the locale's own minus sign.
    const std::string negative = LocaleDigits("ar_SA").string(-5);
    EXPECT_NE(negative.find("\u0665"), std::string::npos);
    EXPECT_NE(negative.find('-'), std::string::npos);
}
