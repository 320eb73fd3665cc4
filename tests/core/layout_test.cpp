#include "window/layout.h"

#include <gtest/gtest.h>

#include <limits>

namespace sirel {
namespace {

TEST(LayoutTest, MarginsAddTheGapToTheDifference) {
  // A window whose outer width exceeds the list's by 185 twips has a width margin of 205.
  const LayoutMargins margins = CaptureMargins(8085.0f, 1965.0f, 7900.0f, 1425.0f);
  EXPECT_FLOAT_EQ(margins.width, 205.0f);
  EXPECT_FLOAT_EQ(margins.height, 560.0f);
}

TEST(LayoutTest, FirstLayoutLeavesTheListTwentyTwipsSmaller) {
  const LayoutMargins margins = CaptureMargins(8085.0f, 1965.0f, 7900.0f, 1425.0f);
  const ListSizeChange change = LayOutList(8085.0f, 1965.0f, margins);
  ASSERT_TRUE(change.applyWidth);
  ASSERT_TRUE(change.applyHeight);
  EXPECT_FLOAT_EQ(change.width, 7880.0f);
  EXPECT_FLOAT_EQ(change.height, 1405.0f);
}

TEST(LayoutTest, ListFollowsEveryChangeOfTheWindowSize) {
  const LayoutMargins margins = CaptureMargins(8085.0f, 1965.0f, 7900.0f, 1425.0f);
  const ListSizeChange change = LayOutList(8085.0f + 1000.0f, 1965.0f + 500.0f, margins);
  EXPECT_FLOAT_EQ(change.width, 7880.0f + 1000.0f);
  EXPECT_FLOAT_EQ(change.height, 1405.0f + 500.0f);
}

TEST(LayoutTest, NegativeSizesAreNeverApplied) {
  const LayoutMargins margins{205.0f, 560.0f};
  const float nan = std::numeric_limits<float>::quiet_NaN();
  struct Case {
    const char* name;
    float windowWidth, windowHeight;
    bool applyWidth, applyHeight;
  };
  const Case cases[] = {
      {"both fit", 1000.0f, 1000.0f, true, true},
      {"exactly the margins", 205.0f, 560.0f, true, true},
      {"too short: width only", 1000.0f, 300.0f, true, false},
      {"too narrow: the height is skipped too", 100.0f, 1000.0f, false, false},
      {"too narrow and too short", 100.0f, 100.0f, false, false},
      {"not a number", nan, 1000.0f, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const ListSizeChange change = LayOutList(c.windowWidth, c.windowHeight, margins);
    EXPECT_EQ(change.applyWidth, c.applyWidth);
    EXPECT_EQ(change.applyHeight, c.applyHeight);
    if (change.applyWidth) {
      EXPECT_GE(change.width, 0.0f);
    }
    if (change.applyHeight) {
      EXPECT_GE(change.height, 0.0f);
    }
  }
}

}  // namespace
}  // namespace sirel
