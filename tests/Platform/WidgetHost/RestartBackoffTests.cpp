#include "Platform/WidgetHost/RestartBackoff.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;
using platform::RestartBackoff;

TEST(RestartBackoff, DoublesFromHalfASecondUpToThirtySeconds) {
    RestartBackoff backoff;
    std::vector<long> delays;
    for (int failure = 0; failure < 10; ++failure)
        delays.push_back(static_cast<long>(backoff.failed().count()));
    EXPECT_EQ(delays, (std::vector<long>{500, 1000, 2000, 4000, 8000, 16000, 30000, 30000, 30000, 30000}));
}

TEST(RestartBackoff, SuccessStartsOverAndNoFailureCountGoesPastTheCeiling) {
    RestartBackoff backoff(1ms, 50ms);
    for (int failure = 0; failure < 100000; ++failure)
        ASSERT_LE(backoff.failed(), 50ms);
    EXPECT_EQ(backoff.failed(), 50ms);
    backoff.succeeded();
    EXPECT_EQ(backoff.failures(), 0);
    EXPECT_EQ(backoff.failed(), 1ms);
}
