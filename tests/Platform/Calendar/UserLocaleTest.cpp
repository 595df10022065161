#include <gtest/gtest.h>

#include "EnvironmentGuard.h"
#include "UserLocale.h"

using platform::UserLocale;
using tarvelo::testing::EnvironmentGuard;

TEST(UserLocale, TranslatesPosixValuesToIcuIdentifiers) {
    EXPECT_EQ(UserLocale::fromPosix("de_DE.UTF-8"), "de_DE");
    EXPECT_EQ(UserLocale::fromPosix("pl_PL"), "pl_PL");
    EXPECT_EQ(UserLocale::fromPosix("fr"), "fr");
    EXPECT_EQ(UserLocale::fromPosix("de_DE.ISO-8859-15@euro"), "de_DE");
    EXPECT_EQ(UserLocale::fromPosix("sr_RS.UTF-8@latin"), "sr_Latn_RS");
    EXPECT_EQ(UserLocale::fromPosix("ja_JP.UTF-8@calendar=japanese"), "ja_JP@calendar=japanese");
    EXPECT_EQ(UserLocale::fromPosix("en_GB@fw=sun"), "en_GB@fw=sun");
}

TEST(UserLocale, CAndPosixAndGarbageMeanPosixEnglish) {
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
