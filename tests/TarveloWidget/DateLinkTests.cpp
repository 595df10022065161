// The date link each day cell carries.

#include <gtest/gtest.h>

#include <limits>

#include "TarveloWidgetView.h"

using platform::Instant;
using tarvelo::TarveloWidgetView;

namespace {

std::string linkAt(double secondsSinceReferenceDate) {
    return TarveloWidgetView::dateLink(Instant::sinceReferenceDate(secondsSinceReferenceDate)).absoluteString();
}

} // namespace

TEST(DateLink, CountsWholeSecondsFromTheReferenceDateTowardZero) {
    EXPECT_EQ(linkAt(0.0), "tarvelo://date?t=0");
    EXPECT_EQ(linkAt(0.9), "tarvelo://date?t=0");
    EXPECT_EQ(linkAt(-1.0), "tarvelo://date?t=-1");
    EXPECT_EQ(linkAt(-0.5), "tarvelo://date?t=0");
    EXPECT_EQ(linkAt(-1.5), "tarvelo://date?t=-1");
    EXPECT_EQ(linkAt(794012400.0), "tarvelo://date?t=794012400");
}

TEST(DateLink, MeasuresFromTwoThousandOneNotNineteenSeventy) {
    EXPECT_EQ(TarveloWidgetView::dateLink(Instant::sinceUnixEpoch(978307200.0)).absoluteString(), "tarvelo://date?t=0");
}

TEST(DateLink, DatesBeyondSixtyFourBitsSaturateInsteadOfWrapping) {
    constexpr double infinity = std::numeric_limits<double>::infinity();
    EXPECT_EQ(linkAt(infinity), "tarvelo://date?t=9223372036854775807");
    EXPECT_EQ(linkAt(-infinity), "tarvelo://date?t=-9223372036854775808");
    EXPECT_EQ(linkAt(1e30), "tarvelo://date?t=9223372036854775807");
    EXPECT_EQ(linkAt(std::numeric_limits<double>::quiet_NaN()), "tarvelo://date?t=0");
}
