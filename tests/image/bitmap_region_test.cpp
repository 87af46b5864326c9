// Regions made from pictures: which pixels they hold, and how they were put together.
#include <functional>

#include <gtest/gtest.h>

#include "tests/image/bmp_builder.h"
#include "tests/support/gl_fixture.h"
#include "vantrel/image/bitmap_region.h"

namespace vantrel::test {
namespace {

using pixel_fn = std::function<std::uint32_t(int, int)>; // 0xRRGGBB at (x, y), y = 0 the top

class BitmapRegionTest : public ::testing::Test {
protected:
  void SetUp() override { headless::reset(); }
  void TearDown() override { headless::reset(); }

  // The region of a W x H picture, checked pixel by pixel against OPAQUE(x, y); one pixel
  // beyond each side must be outside too.
  static void expect_region(THANDLE rgn, int w, int h,
                            const std::function<bool(int, int)> &opaque) {
    ASSERT_NE(rgn, 0u);
    int wrong = 0;
    for (int y = -1; y <= h; y++)
      for (int x = -1; x <= w; x++) {
        bool inside = x >= 0 && y >= 0 && x < w && y < h && opaque(x, y);
        if (bool(platform::PtInRegion(rgn, x, y)) != inside && ++wrong <= 5)
          ADD_FAILURE() << "pixel (" << x << ", " << y << ") should be "
                        << (inside ? "inside" : "outside");
      }
    EXPECT_EQ(wrong, 0);
  }
  static THANDLE region_of(int w, int h, const pixel_fn &pixel, LONGWORD transcolor, BYTE tolerance,
                           bool top_down = false) {
    return BITMAPTOREGION(write_temp_file("picture.bmp", bmp24(w, h, pixel, top_down)), transcolor,
                          tolerance);
  }
};

constexpr LONGWORD MAGENTA = 0x00FF00FF, WHITE = 0x00FFFFFF, BLACK = 0;

TEST_F(BitmapRegionTest, NothingTransparentGivesOneFullRowRectanglePerRow) {
  THANDLE rgn = region_of(
      7, 5, [](int x, int y) { return 0x204060u + x + 16 * y; }, MAGENTA, 1);
  expect_region(rgn, 7, 5, [](int, int) { return true; });
  EXPECT_EQ(LASTREGIONSCAN().BATCHES, std::vector<LONGINT>({5}));
  platform::DeleteObject(rgn);
}

TEST_F(BitmapRegionTest, AllTransparentGivesAnEmptyButValidRegion) {
  THANDLE rgn = region_of(
      6, 4, [](int, int) { return 0xFF00FFu; }, MAGENTA, 1);
  ASSERT_NE(rgn, 0u);
  expect_region(rgn, 6, 4, [](int, int) { return false; });
  EXPECT_EQ(LASTREGIONSCAN().BATCHES, std::vector<LONGINT>({0}));
  platform::DeleteObject(rgn);
}

TEST_F(BitmapRegionTest, TheColourWindowRunsUpwardFromTheColourOnly) {
  struct probe {
    std::uint32_t rgb;
    LONGWORD transcolor;
    BYTE tolerance;
    bool transparent;
  };
  const probe probes[] = {
      {0xFFFFFF, WHITE, 16, true},
      {0xFEFFFF, WHITE, 16, false}, // white: 255..255 whatever
      {0xFFFFEF, WHITE, 255, false},
      {0x000000, BLACK, 16, true}, // black: all channels <= 16
      {0x101010, BLACK, 16, true},
      {0x111010, BLACK, 16, false},
      {0x101011, BLACK, 16, false},
      {0x646464, 0x646464, 10, true},
      {0x6E6E6E, 0x646464, 10, true},
      {0x636464, 0x646464, 10, false}, // red below its bound, though within 10 of the colour
      {0x646463, 0x646464, 10, false},
      {0x6F6464, 0x646464, 10, false},
      {0xFF01FF, MAGENTA, 1, true},
      {0xFF02FF, MAGENTA, 1, false},
      {0xFE00FF, MAGENTA, 1, false},
      // The colour reference holds red in its low byte; the picture's pixel holds it high.
      {0x0000FF, 0x00FF0000, 0, true},
      {0xFF0000, 0x00FF0000, 0, false},
  };
  for (const probe &p : probes) {
    SCOPED_TRACE(::testing::Message() << std::hex << "pixel " << p.rgb << " colour " << p.transcolor
                                      << std::dec << " tolerance " << int(p.tolerance));
    // The probed pixel in the middle of an opaque row of grey 0x808080.
    THANDLE rgn = region_of(
        3, 1, [&](int x, int) { return x == 1 ? p.rgb : 0x808080u; }, p.transcolor, p.tolerance);
    expect_region(rgn, 3, 1, [&](int x, int) { return x != 1 || !p.transparent; });
    platform::DeleteObject(rgn);
  }
}

TEST_F(BitmapRegionTest, RunsCloseAtTheRightEdgeAndRowZeroIsTheTopInEitherRowOrder) {
  // Opaque: the top row's last three pixels, and the left column of the bottom half.
  auto pixel = [](int x, int y) {
    return (y == 0 && x >= 5) || (y >= 3 && x == 0) ? 0x00FF00u : 0xFF00FFu;
  };
  auto opaque = [](int x, int y) { return (y == 0 && x >= 5) || (y >= 3 && x == 0); };
  for (bool top_down : {false, true}) {
    SCOPED_TRACE(top_down ? "top-down file" : "bottom-up file");
    THANDLE rgn = region_of(8, 6, pixel, MAGENTA, 1, top_down);
    expect_region(rgn, 8, 6, opaque);
    EXPECT_EQ(LASTREGIONSCAN().BATCHES, std::vector<LONGINT>({4}));
    platform::DeleteObject(rgn);
  }
}

TEST_F(BitmapRegionTest, LargeShapesAreMergedFromBatchesOfTwoThousand) {
  // Every other pixel opaque: 40 runs a row. 100 rows make 4000 runs; a 101st row with a single
  // opaque pixel makes 4001.
  auto stripes = [](int rows, bool extra) {
    return [=](int x, int y) {
      if (y == rows) return extra && x == 0 ? 0x0000FFu : 0xFF00FFu;
      return x % 2 == 0 ? 0x0000FFu : 0xFF00FFu;
    };
  };
  THANDLE rgn = region_of(80, 100, stripes(100, false), MAGENTA, 1);
  EXPECT_EQ(LASTREGIONSCAN().BATCHES, std::vector<LONGINT>({2000, 2000, 0}));
  EXPECT_EQ(LASTREGIONSCAN().MAXRECTS, 2000);
  expect_region(rgn, 80, 100, [](int x, int) { return x % 2 == 0; });
  platform::DeleteObject(rgn);

  rgn = region_of(80, 101, stripes(100, true), MAGENTA, 1);
  EXPECT_EQ(LASTREGIONSCAN().BATCHES, std::vector<LONGINT>({2000, 2000, 1}));
  EXPECT_EQ(LASTREGIONSCAN().MAXRECTS, 2000);
  expect_region(rgn, 80, 101, [](int x, int y) { return y < 100 ? x % 2 == 0 : x == 0; });
  platform::DeleteObject(rgn);
}

TEST_F(BitmapRegionTest, ColourTablePicturesAreScannedThroughTheirTable) {
  // Entry 1 is magenta: those pixels are cut away, the others stay.
  auto file = write_temp_file("indexed.bmp", bmp_indexed(6, 2, 8, {0x3050A0, 0xFF00FF},
                                                         [](int x, int y) { return (x + y) % 2; }));
  THANDLE rgn = BITMAPTOREGION(file, MAGENTA, 1);
  expect_region(rgn, 6, 2, [](int x, int y) { return (x + y) % 2 == 0; });
  platform::DeleteObject(rgn);
}

TEST_F(BitmapRegionTest, MissingFileGivesNoRegion) {
  EXPECT_EQ(BITMAPTOREGION("/nonexistent/shape.bmp", MAGENTA, 1), 0u);
}

TEST(BitmapRegionDeathTest, ColourReferenceOutOfRangeIsARangeError) {
  death_tests_skip_leak_check();
  EXPECT_EXIT(BITMAPTOREGION("any.bmp", 0x80000000u, 0), ::testing::ExitedWithCode(201), "colour");
}

} // namespace
} // namespace vantrel::test
