// Calendars, date formats, the user's locale and the system time zone, as
// ICU and the environment give them.

#include "Platform/Calendar/Calendar.h"
#include "Platform/Calendar/LocaleDigits.h"
#include "Platform/Calendar/SystemTimeZone.h"
#include "Platform/Calendar/UserLocale.h"
#include "tests/Support/EnvironmentGuard.h"

#include <gtest/gtest.h>
#include <limits>

using namespace platform;
using tarvelo::testsupport::EnvironmentGuard;

namespace {

Instant utc(double unixSeconds) {
    return Instant::sinceUnixEpoch(unixSeconds);
}

const Instant january2026 = utc(1767225600); // 2026-01-01T00:00Z
const Instant july2026 = utc(1782864000);    // 2026-07-01T00:00Z

// Offset from UTC, in hours, of the current zone at a given instant.
double currentOffsetHours(Instant instant) {
    int32_t raw = 0, dst = 0;
    UErrorCode status = U_ZERO_ERROR;
    SystemTimeZone::current()->getOffset(instant.udate(), false, raw, dst, status);
    return (raw + dst) / 3600000.0;
}

} // namespace

TEST(Calendar, LocalesSelectTheirCalendarSystemAndFirstWeekday) {
    const std::tuple<const char*, const char*, int> cases[] = {{"en_US", "gregorian", 1},
                                                               {"de_DE", "gregorian", 2},
                                                               {"th_TH", "buddhist", 1},
                                                               {"ar_SA", "islamic-umalqura", 1},
                                                               {"ja_JP@calendar=japanese", "japanese", 1},
                                                               {"fa_IR", "persian", 7},
                                                               {"he_IL@calendar=hebrew", "hebrew", 1},
                                                               {"en_GB@fw=sun", "gregorian", 1},
                                                               {"en_US@fw=sat", "gregorian", 7}};
    for (const auto& [locale, system, firstWeekday] : cases) {
        const Calendar calendar(locale, "UTC");
        EXPECT_EQ(std::pair(calendar.identifier(), calendar.firstWeekday()),
                  std::pair(std::string(system), firstWeekday))
            << locale;
    }
}

TEST(Calendar, EraYearsFindTheirMonthAndAddingReachesTheFarPastButNeverOverflowsOrHangs) {
    // A calendar whose years restart with each era still finds the right month.
    const Calendar japanese("ja_JP@calendar=japanese", "Asia/Tokyo");
    const auto month = japanese.yearMonth(utc(946684800)); // 2000-01-01, Heisei 12
    EXPECT_EQ(month.year, 12);
    EXPECT_EQ(japanese.startOfMonth(month)->timeIntervalSince1970(), 946684800 - 9 * 3600);

    const Calendar calendar("en_US", "UTC");
    const Instant december = utc(1796083200); // 2026-12-01T00:00Z
    EXPECT_EQ(
        calendar.component(CalendarUnit::era, *calendar.adding(CalendarUnit::month, -12 * 3000, december)), 0)
        << "4th century BC";
    EXPECT_FALSE(calendar.adding(CalendarUnit::month, std::numeric_limits<std::int64_t>::max(), december));
    EXPECT_FALSE(calendar.adding(CalendarUnit::month, std::numeric_limits<std::int64_t>::min(), december));
    // At the edge of ICU's range: an answer or none, never a hang.
    for (const char* locale :
         {"en_US", "ar_SA", "he_IL@calendar=hebrew", "ja_JP@calendar=japanese", "zh_CN@calendar=chinese"})
        for (std::int64_t months : {12LL * 5'000'000, 12LL * 5'890'000, -12LL * 5'000'000, -12LL * 5'890'000})
            (void)Calendar(locale, "UTC").adding(CalendarUnit::month, months, utc(0));
}

TEST(Calendar, ConsecutiveDaysAgreeWithDayByDayCalendarArithmetic) {
    // The fast path counts days itself; ICU adding one day at a time is the
    // reference, across calendar systems and zones with awkward clock changes.
    for (const char* locale : {"en_US", "ar_SA", "he_IL@calendar=hebrew", "zh_CN@calendar=chinese", "fa_IR",
                               "ja_JP@calendar=japanese", "th_TH"})
        for (const char* zone :
             {"UTC", "America/Sao_Paulo", "Asia/Beirut", "Pacific/Apia", "Europe/London"}) {
            const Calendar calendar(locale, zone);
            for (double unixDay = 14000; unixDay < 22000; unixDay += 97) {
                SCOPED_TRACE(std::string(locale) + " " + zone + " " + std::to_string(unixDay));
                const auto first = *calendar.startOfDay(utc(unixDay * 86400));
                const auto days = calendar.consecutiveDays(first, 42);
                ASSERT_EQ(days.size(), 42u);
                for (int index = 0; index < 42; ++index) {
                    const auto reference = *calendar.adding(CalendarUnit::day, index, first);
                    const auto& day = days[static_cast<std::size_t>(index)];
                    ASSERT_EQ(day.dayNumber, calendar.dayNumber(reference));
                    ASSERT_EQ(day.month, calendar.yearMonth(reference));
                    ASSERT_EQ(day.start, *calendar.startOfDay(reference));
                }
            }
        }
}

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
    const std::tuple<const char*, bool, std::int64_t, const char*> cases[] = {
        {"en_US_POSIX", false, 2026, "2026"},
        {"he_IL", true, 31, "31"},
        {"ar_SA", true, 1234, "\u0661\u0662\u0663\u0664"}, // no grouping, as "%lld"
        {"fa_IR", true, 12, "\u06F1\u06F2"},
        {"ar_SA@numbers=latn", true, 7, "7"},
        {"ur", true, 5, "5"},
        {"sr_Latn_RS", false, -3, "-3"},
    };
    for (const auto& [locale, rightToLeft, number, written] : cases) {
        EXPECT_EQ(UserLocale::isRightToLeft(locale), rightToLeft) << locale;
        EXPECT_EQ(LocaleDigits(locale).string(number), written) << locale;
    }
    // A negative number in native digits takes the locale's own minus sign.
    const std::string negative = LocaleDigits("ar_SA").string(-5);
    EXPECT_NE(negative.find("\u0665"), std::string::npos);
    EXPECT_NE(negative.find('-'), std::string::npos);
}

TEST(SystemTimeZone, ReadsTheFormsOfTzThatIcuGetsWrong) {
    EnvironmentGuard environment;
    const std::pair<const char*, const char*> cases[] = {
        {":Europe/Paris", "Europe/Paris"},
        {"/usr/share/zoneinfo/America/New_York", "America/New_York"},
        {":/usr/share/zoneinfo/posix/Asia/Tokyo", "Asia/Tokyo"},
        {"", "UTC"}};
    for (const auto& [tz, identifier] : cases) {
        environment.set("TZ", tz);
        EXPECT_EQ(SystemTimeZone::identifier(), identifier) << tz;
    }
}

TEST(SystemTimeZone, AChangedTzTakesEffectAtTheNextCallAndRuleValuesKeepTheirOffsets) {
    EnvironmentGuard environment{{"TZ", "Asia/Tokyo"}};
    EXPECT_EQ(currentOffsetHours(january2026), 9.0);
    environment.set("TZ", "Pacific/Auckland");
    EXPECT_EQ(currentOffsetHours(january2026), 13.0);
    EXPECT_EQ(currentOffsetHours(july2026), 12.0);
    // A calendar made after the change is in the new zone too.
    EXPECT_EQ(Calendar::current().timeZoneIdentifier(), "Pacific/Auckland");
    // Unknown or rule values never fail, and keep the offset where ICU can tell.
    environment.set("TZ", "Not/A_Zone");
    EXPECT_FALSE(SystemTimeZone::identifier().empty());
    environment.set("TZ", "EST5EDT");
    EXPECT_EQ(currentOffsetHours(january2026), -5.0);
    EXPECT_EQ(currentOffsetHours(july2026), -4.0);
}
