// Picture files loaded for ordinary windows, and the palette each comes with.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/image/bmp_builder.h"
#include "tests/support/gl_fixture.h"
#include "tests/support/special_files.h"
#include "vantrel/image/bitmap_region.h"
#include "vantrel/image/palette_bitmap.h"

namespace vantrel::test {
namespace {

class PaletteBitmapTest : public ::testing::Test {
protected:
  void SetUp() override { headless::reset(); }
  void TearDown() override {
    for (THANDLE h : owned_)
      platform::DeleteObject(h);
    headless::reset();
  }
  THANDLE load(const std::string &path, THANDLE &pal) {
    THANDLE bmp = LOADBMPFROMFILE(path, pal);
    owned_.push_back(bmp);
    owned_.push_back(pal);
    return bmp;
  }
  static std::vector<TPALETTEENTRY> entries(THANDLE pal) {
    std::vector<TPALETTEENTRY> e(256);
    e.resize(platform::GetPaletteEntries(pal, 0, 256, e.data()));
    return e;
  }
  static std::vector<TPALETTEENTRY> halftone() {
    THANDLE screen = platform::GetDC(0);
    THANDLE pal = platform::CreateHalftonePalette(screen);
    platform::ReleaseDC(0, screen);
    auto e = entries(pal);
    platform::DeleteObject(pal);
    return e;
  }
  static bool same(const std::vector<TPALETTEENTRY> &a, const std::vector<TPALETTEENTRY> &b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); i++)
      if (a[i].peRed != b[i].peRed || a[i].peGreen != b[i].peGreen || a[i].peBlue != b[i].peBlue)
        return false;
    return true;
  }
  std::vector<THANDLE> owned_;
};

TEST_F(PaletteBitmapTest, ColourTableImagesGetTheirTableInFileOrderThenBlack) {
  // Distinct red, green and blue in every entry, so an exchange of red and blue shows.
  const std::vector<std::uint32_t> table = {0x102030, 0xF0E0D0, 0x00FF7F, 0x7F00FF};
  for (std::uint16_t bpp : {1, 4, 8}) {
    SCOPED_TRACE("bits per pixel " + std::to_string(bpp));
    std::size_t used = bpp == 1 ? 2 : table.size();
    std::vector<std::uint32_t> t(table.begin(), table.begin() + std::ptrdiff_t(used));
    auto file = write_temp_file("indexed" + std::to_string(bpp) + ".bmp",
                                bmp_indexed(5, 3, bpp, t, [&](int x, int) { return x % used; }));
    THANDLE pal = 0;
    THANDLE bmp = load(file, pal);
    ASSERT_NE(bmp, 0u);
    TBITMAP bm;
    ASSERT_EQ(platform::GetObjectA(bmp, sizeof bm, &bm), LONGINT(sizeof bm));
    EXPECT_EQ(bm.bmWidth, 5);
    EXPECT_EQ(bm.bmHeight, 3);
    EXPECT_EQ(bm.bmBitsPixel * bm.bmPlanes, bpp) << "the picture keeps its own depth";
    auto e = entries(pal);
    ASSERT_EQ(e.size(), 256u);
    for (std::size_t i = 0; i < 256; i++) {
      std::uint32_t want = i < used ? t[i] : 0;
      EXPECT_EQ(e[i].peRed, want >> 16 & 0xFF) << "entry " << i;
      EXPECT_EQ(e[i].peGreen, want >> 8 & 0xFF) << "entry " << i;
      EXPECT_EQ(e[i].peBlue, want & 0xFF) << "entry " << i;
      EXPECT_EQ(e[i].peFlags, 0) << "entry " << i;
    }
  }
}

TEST_F(PaletteBitmapTest, DeeperImagesGetTheHalftonePaletteNeverOneFromTheirPixels) {
  auto expected = halftone();
  ASSERT_EQ(expected.size(), 256u);
  // One colour that no general-purpose palette lists, so a palette made from the pixels differs.
  auto file = write_temp_file("flat.bmp", bmp24(4, 4, [](int, int) { return 0x123457u; }));
  THANDLE pal = 0;
  ASSERT_NE(load(file, pal), 0u);
  EXPECT_TRUE(same(entries(pal), expected));

  bmp_layout b32;
  b32.width = 2, b32.height = 1, b32.bpp = 32;
  b32.pixels = bytes({0x57, 0x34, 0x12, 0, 0x57, 0x34, 0x12, 0});
  THANDLE pal32 = 0;
  ASSERT_NE(load(write_temp_file("flat32.bmp", make_bmp(b32)), pal32), 0u);
  EXPECT_TRUE(same(entries(pal32), expected));
}

TEST_F(PaletteBitmapTest, MissingOrUnusableFilesGiveZeroAndLeaveThePaletteAlone) {
  // A missing picture is an ordinary case (a button without a hover picture): nothing is said.
  THANDLE pal = 0x5EED;
  testing::internal::CaptureStderr();
  EXPECT_EQ(LOADBMPFROMFILE("/nonexistent/picture.bmp", pal), 0u);
  EXPECT_EQ(BITMAPTOREGION("/nonexistent/picture.bmp", 0xFF00FF, 1), 0u);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(pal, 0x5EEDu);

  // A file that is there but cannot be used says why, once a load, and is never waited on.
  const std::string dir = make_directory("directory.bmp");
  ASSERT_TRUE(std::filesystem::is_directory(dir));
  std::string fifo = temp_path("fifo.bmp");
  bool have_fifo = make_fifo(fifo);
  bmp_layout wide, large;
  wide.width = 16385, wide.bpp = 1, wide.pixels = std::string(2052, '\0');
  large.width = large.height = 8193; // 2^26 pixels and more, and none of them in the file
  struct row {
    std::string path, reason; // the reason is the platform's own where empty
  } rows[] = {
      {dir, "is a directory"},
      {fifo, "not a regular file"},
      {write_temp_file("wide.bmp", make_bmp(wide)),
       "its 16385 x 1 pixels exceed the largest picture for a window, 16384 pixels a side and "
       "67108864 in all"},
      {write_temp_file("large.bmp", make_bmp(large)),
       "its 8193 x 8193 pixels exceed the largest picture for a window"},
      {write_temp_file("broken.bmp", "BM not really"), ""},
  };
  for (auto &r : rows) {
    SCOPED_TRACE(r.path);
    if (r.path == fifo && !have_fifo) continue; // no FIFOs on Windows itself
    testing::internal::CaptureStderr();
    THANDLE bmp = 1, rgn = 1;
    EXPECT_TRUE(returns_before_deadline(r.path, [&] {
      bmp = LOADBMPFROMFILE(r.path, pal);
      rgn = BITMAPTOREGION(r.path, 0xFF00FF, 1);
    })) << "the load waited on the file";
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(bmp, 0u);
    EXPECT_EQ(rgn, 0u);
    EXPECT_EQ(pal, 0x5EEDu);
    std::string start = "vantrel: warning: picture '" + r.path + "' not loaded: ";
    ASSERT_EQ(std::count(err.begin(), err.end(), '\n'), 2) << err;
    std::string line = err.substr(0, err.find('\n') + 1);
    EXPECT_EQ(err, line + line) << "the region builder loads the picture the same way";
    EXPECT_EQ(line.rfind(start + r.reason, 0), 0u) << line;
    EXPECT_GT(line.size(), start.size() + 1) << "no reason given";
  }
}

} // namespace
} // namespace vantrel::test
