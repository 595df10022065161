// Each preview is read as its caption and " size preview of the Tarvelo
// widget".
#include "PreviewLabel.h"

#include <gtest/gtest.h>

using tarvelo::previewAccessibilityLabel;

TEST(PreviewLabelTest, FollowsTheCaptionWithTheSentence) {
    EXPECT_EQ(previewAccessibilityLabel("Small"), "Small size preview of the Tarvelo widget");
    EXPECT_EQ(previewAccessibilityLabel("Medium"), "Medium size preview of the Tarvelo widget");
}

TEST(PreviewLabelTest, TakesACaptionAsTextEvenWithConversionsInIt) {
    EXPECT_EQ(previewAccessibilityLabel("%s %d 100%"), "%s %d 100% size preview of the Tarvelo widget");
    EXPECT_EQ(previewAccessibilityLabel(""), " size preview of the Tarvelo widget");
}
