#include "window/layout.h"
#include "window/twip_scale.h"

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

TEST(LayoutTest, TwipsConvertAtTheWindowsDpiAndTheMarginsFollowTheFrame) {
  // Margins taken at load at 96 dpi with a frame of 8 x 31 pixels (120 x 465 twips); the list's
  // design width (7900 twips) in pixels at each DPI.
  struct Case {
    const char* name;
    int dpi, frameWidth, frameHeight;  // the frame in pixels at that DPI
    float widthMargin, heightMargin;
    int listPixels;
  };
  const Case cases[] = {
      {"96 dpi: the margins as loaded", 96, 8, 31, 205.0f, 560.0f, 527},
      {"144 dpi, the frame scaled with it", 144, 12, 46, 205.0f, 555.0f, 790},
      {"144 dpi, the frame kept in pixels", 144, 8, 31, 165.0f, 405.0f, 790},
      {"192 dpi", 192, 16, 62, 205.0f, 560.0f, 1053},
      {"no DPI: 96", 0, 8, 31, 205.0f, 560.0f, 527},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const TwipScale scale(c.dpi);
    EXPECT_EQ(scale.ToPixels(7900.0f), c.listPixels);
    EXPECT_EQ(scale.ToPixels(scale.ToTwips(c.listPixels)), c.listPixels);
    const LayoutMargins margins =
        RetakeMargins({205.0f, 560.0f}, {120.0f, 465.0f},
                      {scale.ToTwips(c.frameWidth), scale.ToTwips(c.frameHeight)});
    EXPECT_FLOAT_EQ(margins.width, c.widthMargin);
    EXPECT_FLOAT_EQ(margins.height, c.heightMargin);
  }
}

}  // namespace
}  // namespace sirel
