// Bitmaps, DIB sections, memory contexts, blits and palettes of the shared GDI, as the picture
// loaders and the picture button use them.
#include <cstring>
#include <functional>
#include <tuple>

#include "tests/image/bmp_builder.h"
#include "tests/support/gl_fixture.h"
#include "vantrel/image/bitmap_region.h"
#include "vantrel/image/palette_bitmap.h"
#include "vantrel/image/texture.h"
#include "vantrel/platform/common/gdi_objects.h"

namespace vantrel::test {
namespace {

class GdiBitmaps : public GLTest {};

THANDLE load(const std::string &name, const std::string &file) {
  std::string path = write_temp_file(name, file);
  return platform::LoadImageA(0, path.data(), IMAGE_BITMAP, 0, 0,
                              LR_LOADFROMFILE | LR_CREATEDIBSECTION);
}

TBITMAP object_of(THANDLE bitmap) {
  TBITMAP bm;
  EXPECT_EQ(platform::GetObjectA(bitmap, sizeof bm, &bm), LONGINT(sizeof bm));
  return bm;
}

THANDLE dib_section(LONGINT w, LONGINT h, std::uint16_t bpp, void **bits) {
  TBITMAPINFOHEADER info;
  info.biWidth = w, info.biHeight = h, info.biBitCount = bpp;
  return platform::CreateDIBSection(0, &info, DIB_RGB_COLORS, bits, 0, 0);
}

std::uint32_t word_at(const void *bits, std::size_t offset, int bytes_per_pixel) {
  const auto *p = static_cast<const std::uint8_t *>(bits) + offset;
  return std::uint32_t(p[2]) << 16 | std::uint32_t(p[1]) << 8 | p[0] |
         (bytes_per_pixel == 4 ? std::uint32_t(p[3]) << 24 : 0);
}

const std::vector<std::uint32_t> colours = {0x102030, 0xA0B0C0, 0xFF0001, 0x00FF7F, 0x7F7F7F};

TEST_F(GdiBitmaps, ColourTableFilesKeepTheirDepthAndTableInFileOrder) {
  for (std::uint16_t bpp : {1, 4, 8}) {
    SCOPED_TRACE(bpp);
    std::vector<std::uint32_t> table(colours.begin(), colours.begin() + (bpp == 1 ? 2 : 5));
    THANDLE bmp = load(
        "t" + std::to_string(bpp) + ".bmp",
        bmp_indexed(37, 3, bpp, table, [&](int x, int y) { return (x + y) % int(table.size()); }));
    ASSERT_NE(bmp, 0u) << platform::LastErrorText();
    TBITMAP bm = object_of(bmp);
    EXPECT_EQ(bm.bmBitsPixel, bpp);
    EXPECT_EQ(bm.bmWidth, 37);
    EXPECT_EQ(bm.bmHeight, 3);
    EXPECT_EQ(bm.bmWidthBytes, LONGINT((37 * bpp + 31) / 32 * 4));
    ASSERT_NE(bm.bmBits, nullptr);
    // The bottom row comes first; its first pixel is index (0 + 2) % n.
    auto *bits = static_cast<const std::uint8_t *>(bm.bmBits);
    EXPECT_EQ(bits[0] >> (8 - bpp), 2 % int(table.size()));

    THANDLE dc = platform::CreateCompatibleDC(0);
    THANDLE previous = platform::SelectObject(dc, bmp);
    ASSERT_NE(previous, 0u);
    TRGBQUAD got[256];
    ASSERT_EQ(platform::GetDIBColorTable(dc, 0, 256, got), LONGWORD(table.size()));
    for (std::size_t i = 0; i < table.size(); i++) {
      EXPECT_EQ(got[i].rgbRed, table[i] >> 16) << i;
      EXPECT_EQ(got[i].rgbGreen, table[i] >> 8 & 0xFF) << i;
      EXPECT_EQ(got[i].rgbBlue, table[i] & 0xFF) << i;
    }
    EXPECT_EQ(platform::GetDIBColorTable(dc, 1, 1, got), 1u);
    EXPECT_EQ(got[0].rgbRed, 0xA0);
    EXPECT_EQ(platform::GetDIBColorTable(dc, LONGWORD(table.size()), 4, got), 0u);
    EXPECT_EQ(platform::GetDIBColorTable(dc, 0, 4, nullptr), 0u);
    EXPECT_FALSE(platform::DeleteObject(bmp)) << "a selected bitmap is still in use";
    EXPECT_EQ(platform::SelectObject(dc, previous), bmp);
    EXPECT_EQ(platform::GetDIBColorTable(dc, 0, 256, got), 0u) << "the stock bitmap has none";
    EXPECT_TRUE(platform::DeleteDC(dc));
    EXPECT_TRUE(platform::DeleteObject(bmp));
  }
}

TEST_F(GdiBitmaps, DeepFilesAreTwentyFourBits) {
  bmp_layout b;
  b.width = 2, b.height = 1, b.bpp = 32;
  b.pixels = bytes({1, 2, 3, 0xFF, 4, 5, 6, 0xFF});
  THANDLE bmp = load("deep.bmp", make_bmp(b));
  ASSERT_NE(bmp, 0u);
  TBITMAP bm = object_of(bmp);
  EXPECT_EQ(bm.bmBitsPixel, 24);
  EXPECT_EQ(bm.bmWidthBytes, 8);
  EXPECT_EQ(word_at(bm.bmBits, 3, 3), 0x060504u) << "stored blue, green, red";
  EXPECT_TRUE(platform::DeleteObject(bmp));
}

TEST_F(GdiBitmaps, DibSectionsAreZeroedAndRefuseWhatTheyCannotHold) {
  void *bits = reinterpret_cast<void *>(1);
  THANDLE dib = dib_section(5, -3, 32, &bits);
  ASSERT_NE(dib, 0u);
  TBITMAP bm = object_of(dib);
  EXPECT_EQ(bm.bmBits, bits);
  EXPECT_EQ(bm.bmHeight, 3) << "the height is reported positive whatever the row order";
  EXPECT_EQ(bm.bmWidthBytes, 20);
  EXPECT_EQ(bm.bmBitsPixel, 32);
  std::vector<std::uint8_t> zero(60, 0);
  EXPECT_EQ(std::memcmp(bits, zero.data(), 60), 0);
  EXPECT_TRUE(platform::DeleteObject(dib));

  EXPECT_EQ(object_of(dib_section(3, 1, 24, &bits)).bmWidthBytes, 12);

  TBITMAPINFOHEADER fields;
  fields.biWidth = fields.biHeight = 4, fields.biBitCount = 32, fields.biCompression = BI_BITFIELDS;
  const std::vector<std::tuple<LONGINT, LONGINT, int>> refused = {
      {4, 4, 8},   {4, 4, 16},      {0, 4, 24},         {4, 0, 24},
      {-4, 4, 24}, {100000, 4, 24}, {20000, 20000, 32}, {4, INT32_MIN, 24}};
  for (auto [w, h, bpp] : refused) {
    bits = reinterpret_cast<void *>(1);
    EXPECT_EQ(dib_section(w, h, std::uint16_t(bpp), &bits), 0u) << w << " " << h << " " << bpp;
    EXPECT_EQ(bits, nullptr);
    EXPECT_FALSE(platform::LastErrorText().empty());
  }
  EXPECT_EQ(platform::CreateDIBSection(0, &fields, DIB_RGB_COLORS, &bits, 0, 0), 0u);
  EXPECT_EQ(platform::CreateDIBSection(0, nullptr, DIB_RGB_COLORS, &bits, 0, 0), 0u);
}

TEST_F(GdiBitmaps, BlitLooksColourTablesUpAndCountsRowsFromTheTop) {
  THANDLE bmp = load("ix.bmp", bmp_indexed(3, 2, 4, colours, [](int x, int y) {
                       return x + 3 * y; // top row 0 1 2, bottom row 3 4 5 (past the table)
                     }));
  ASSERT_NE(bmp, 0u);
  THANDLE src = platform::CreateCompatibleDC(0), dst = platform::CreateCompatibleDC(0);
  THANDLE old_src = platform::SelectObject(src, bmp);
  for (LONGINT height : {-2, 2}) {
    for (std::uint16_t bpp : {24, 32}) {
      SCOPED_TRACE(std::to_string(height) + " " + std::to_string(bpp));
      void *bits = nullptr;
      THANDLE dib = dib_section(3, height, bpp, &bits);
      THANDLE old_dst = platform::SelectObject(dst, dib);
      ASSERT_TRUE(platform::BitBlt(dst, 0, 0, 3, 2, src, 0, 0, SRCCOPY));
      int px = bpp / 8;
      std::size_t stride = (3 * std::size_t(px) + 3) / 4 * 4;
      // Memory row of the picture's top row: first when top-down, last when bottom-up.
      std::size_t top = height < 0 ? 0 : stride, bottom = height < 0 ? stride : 0;
      EXPECT_EQ(word_at(bits, top + 0 * px, px), colours[0]);
      EXPECT_EQ(word_at(bits, top + 2 * px, px), colours[2]);
      EXPECT_EQ(word_at(bits, bottom + 0 * px, px), colours[3]);
      EXPECT_EQ(word_at(bits, bottom + 1 * px, px), colours[4]);
      EXPECT_EQ(word_at(bits, bottom + 2 * px, px), 0u) << "an index past the table is black";

      // From the DIB section onward: a 24/32-bit source, one row down and to the right.
      THANDLE copy = dib_section(3, 2, 24, nullptr);
      THANDLE third = platform::CreateCompatibleDC(0);
      THANDLE old_third = platform::SelectObject(third, copy);
      ASSERT_TRUE(platform::BitBlt(third, 1, 1, 3, 2, dst, 0, 0, SRCCOPY));
      std::uint32_t got[6];
      ASSERT_TRUE(common::bitmap_pixels(copy, 0, 0, 3, 2, got));
      EXPECT_EQ(got[0], 0u);
      EXPECT_EQ(got[4], colours[0]) << "(1, 1) is the source's (0, 0)";
      EXPECT_EQ(got[5], colours[1]);
      platform::SelectObject(third, old_third);
      platform::DeleteDC(third);
      platform::DeleteObject(copy);

      EXPECT_EQ(platform::SelectObject(dst, old_dst), dib);
      EXPECT_TRUE(platform::DeleteObject(dib));
    }
  }
  // Colour-table targets and other operations are refused.
  THANDLE other = load("ix2.bmp", bmp_indexed(3, 2, 4, colours, [](int, int) { return 0; }));
  platform::SelectObject(dst, other);
  EXPECT_FALSE(platform::BitBlt(dst, 0, 0, 3, 2, src, 0, 0, SRCCOPY));
  EXPECT_FALSE(platform::BitBlt(dst, 0, 0, 3, 2, src, 0, 0, 0x00EE0086));
  EXPECT_FALSE(platform::BitBlt(dst, 0, 0, 3, 2, 12345, 0, 0, SRCCOPY));
  platform::SelectObject(src, old_src);
  platform::DeleteDC(src);
  platform::DeleteDC(dst);
  EXPECT_TRUE(platform::DeleteObject(bmp));
  EXPECT_TRUE(platform::DeleteObject(other));
}

TEST_F(GdiBitmaps, BlitsAreClippedToBothBitmaps) {
  void *sbits = nullptr, *dbits = nullptr;
  THANDLE s = dib_section(4, -4, 32, &sbits), d = dib_section(3, -3, 32, &dbits);
  auto *sp = static_cast<std::uint32_t *>(sbits);
  for (std::uint32_t i = 0; i < 16; i++)
    sp[i] = 0x010101 * (i + 1); // (x, y) holds 1 + x + 4 y in every channel
  THANDLE sdc = platform::CreateCompatibleDC(0), ddc = platform::CreateCompatibleDC(0);
  platform::SelectObject(sdc, s);
  platform::SelectObject(ddc, d);
  auto *dp = static_cast<std::uint32_t *>(dbits);
  ASSERT_TRUE(platform::BitBlt(ddc, -1, 1, 100, 100, sdc, 0, 0, SRCCOPY));
  EXPECT_EQ(dp[0], 0u) << "row 0 lies above the copy";
  EXPECT_EQ(dp[3], 0x020202u) << "(0, 1) is the source's (1, 0)";
  EXPECT_EQ(dp[5], 0x040404u);
  EXPECT_EQ(dp[6], 0x060606u);
  EXPECT_EQ(dp[8], 0x080808u);
  std::memset(dbits, 0, 36);
  ASSERT_TRUE(platform::BitBlt(ddc, 0, 0, 3, 3, sdc, -2, 3, SRCCOPY));
  EXPECT_EQ(dp[2], 0x0D0D0Du) << "(2, 0) is the source's (0, 3)";
  EXPECT_EQ(dp[0] | dp[1] | dp[3], 0u);
  EXPECT_TRUE(platform::BitBlt(ddc, 5, 5, 3, 3, sdc, 0, 0, SRCCOPY)) << "nothing to copy";
  EXPECT_TRUE(platform::BitBlt(ddc, 0, 0, INT32_MAX, -5, sdc, INT32_MIN, 0, SRCCOPY));
  // Onto itself, shifted: the overlap reads the picture as it was.
  ASSERT_TRUE(platform::BitBlt(sdc, 1, 1, 3, 3, sdc, 0, 0, SRCCOPY));
  EXPECT_EQ(sp[5], 0x010101u);
  EXPECT_EQ(sp[15], 0x0B0B0Bu);
  platform::DeleteDC(sdc);
  platform::DeleteDC(ddc);
  EXPECT_TRUE(platform::DeleteObject(s));
  EXPECT_TRUE(platform::DeleteObject(d));
}

TEST_F(GdiBitmaps, MemoryContextsStartWithStockObjectsAndLeaveTheirBitmaps) {
  THANDLE dc = platform::CreateCompatibleDC(0);
  ASSERT_NE(dc, 0u);
  THANDLE bmp = dib_section(2, 2, 24, nullptr);
  THANDLE stock = platform::SelectObject(dc, bmp);
  ASSERT_NE(stock, 0u);
  TBITMAP bm = object_of(stock);
  EXPECT_EQ(bm.bmWidth, 1);
  EXPECT_EQ(bm.bmHeight, 1);
  EXPECT_EQ(bm.bmBitsPixel, 1);
  EXPECT_FALSE(platform::DeleteObject(stock)) << "stock objects stay";
  EXPECT_EQ(platform::GetCurrentObject(dc, OBJ_BITMAP), bmp);
  // One bitmap lives in one context at a time.
  THANDLE second = platform::CreateCompatibleDC(dc);
  EXPECT_EQ(platform::SelectObject(second, bmp), 0u);
  EXPECT_EQ(platform::GetCurrentObject(second, OBJ_BITMAP), stock);
  // Deleting the context leaves the bitmap to its owner.
  EXPECT_TRUE(platform::DeleteDC(dc));
  EXPECT_EQ(object_of(bmp).bmWidth, 2);
  EXPECT_NE(platform::SelectObject(second, bmp), 0u);
  EXPECT_TRUE(platform::DeleteDC(second));
  EXPECT_TRUE(platform::DeleteObject(bmp));
  EXPECT_FALSE(platform::DeleteObject(bmp));
  EXPECT_EQ(platform::GetObjectA(bmp, sizeof bm, &bm), 0);
  EXPECT_FALSE(platform::DeleteDC(dc));
  // A window's context takes no bitmap and is released, not deleted.
  THANDLE wdc = platform::GetDC(window_);
  THANDLE other = dib_section(2, 2, 24, nullptr);
  EXPECT_EQ(platform::SelectObject(wdc, other), 0u);
  EXPECT_FALSE(platform::DeleteDC(wdc));
  EXPECT_EQ(platform::ReleaseDC(window_, wdc), 1);
  EXPECT_EQ(platform::CreateCompatibleDC(777), 0u);
  EXPECT_EQ(platform::GetCurrentObject(777, OBJ_BITMAP), 0u);
}

TEST_F(GdiBitmaps, PalettesKeepTheirEntriesAndTheHalftoneOneIsFixed) {
  TPALETTEENTRY three[3] = {{1, 2, 3, 0}, {250, 0, 5, 0}, {9, 9, 9, 0}};
  THANDLE pal = platform::CreatePalette(three, 3);
  ASSERT_NE(pal, 0u);
  std::uint16_t count = 0;
  EXPECT_EQ(platform::GetObjectA(pal, 2, &count), 2);
  EXPECT_EQ(count, 3);
  EXPECT_EQ(platform::GetPaletteEntries(pal, 0, 0, nullptr), 3u);
  TPALETTEENTRY got[256] = {};
  EXPECT_EQ(platform::GetPaletteEntries(pal, 1, 10, got), 2u);
  EXPECT_EQ(got[0].peRed, 250);
  EXPECT_EQ(got[0].peBlue, 5);
  EXPECT_EQ(got[1].peGreen, 9);
  EXPECT_EQ(platform::GetPaletteEntries(pal, 3, 1, got), 0u);
  EXPECT_EQ(platform::CreatePalette(three, 0), 0u);
  EXPECT_EQ(platform::CreatePalette(nullptr, 3), 0u);
  EXPECT_EQ(platform::CreatePalette(three, 70000), 0u);

  THANDLE half = platform::CreateHalftonePalette(0), again = platform::CreateHalftonePalette(0);
  ASSERT_EQ(platform::GetPaletteEntries(half, 0, 256, got), 256u);
  TPALETTEENTRY other[256];
  ASSERT_EQ(platform::GetPaletteEntries(again, 0, 256, other), 256u);
  EXPECT_EQ(std::memcmp(got, other, sizeof got), 0) << "made from nothing but its layout";
  EXPECT_EQ(got[0].peRed + got[0].peGreen + got[0].peBlue, 0);
  EXPECT_EQ(got[255].peRed & got[255].peGreen & got[255].peBlue, 255);
  const TPALETTEENTRY &magenta = got[10 + 36 * 5 + 5];
  EXPECT_EQ(magenta.peRed, 255);
  EXPECT_EQ(magenta.peGreen, 0);
  EXPECT_EQ(magenta.peBlue, 255);

  // Selecting hands back the previous palette, the default one on a fresh context.
  THANDLE dc = platform::CreateCompatibleDC(0);
  THANDLE initial = platform::SelectPalette(dc, pal, true);
  ASSERT_NE(initial, 0u);
  EXPECT_EQ(platform::GetPaletteEntries(initial, 0, 0, nullptr), 20u);
  EXPECT_EQ(platform::RealizePalette(dc), 0u);
  EXPECT_EQ(platform::GetCurrentObject(dc, OBJ_PAL), pal);
  EXPECT_EQ(platform::SelectPalette(dc, initial, false), pal);
  EXPECT_EQ(platform::SelectPalette(dc, dc, false), 0u) << "not a palette";
  EXPECT_EQ(platform::RealizePalette(4242), 0xFFFFFFFFu);
  EXPECT_FALSE(platform::DeleteObject(initial));
  EXPECT_TRUE(platform::DeleteObject(pal));
  EXPECT_EQ(platform::GetObjectA(pal, 2, &count), 0);
  EXPECT_TRUE(platform::DeleteObject(half));
  EXPECT_TRUE(platform::DeleteObject(again));
  platform::DeleteDC(dc);
}

TEST_F(GdiBitmaps, BlitsOntoAWindowLandOnItsCanvas) {
  void *bits = nullptr;
  THANDLE pic = dib_section(3, -2, 32, &bits);
  auto *p = static_cast<std::uint32_t *>(bits);
  for (std::uint32_t i = 0; i < 6; i++)
    p[i] = 0x100000 * (i + 1) + i;
  THANDLE mem = platform::CreateCompatibleDC(0);
  platform::SelectObject(mem, pic);
  LONGINT paints = headless::paint_count(window_);
  TPAINTSTRUCT ps;
  THANDLE dc = platform::BeginPaint(window_, &ps);
  ASSERT_NE(dc, 0u);
  EXPECT_TRUE(platform::BitBlt(dc, 10, 20, 3, 2, mem, 0, 0, SRCCOPY));
  EXPECT_TRUE(platform::BitBlt(dc, 798, 599, 3, 2, mem, 0, 0, SRCCOPY)); // clipped at the corner
  platform::EndPaint(window_, &ps);
  auto canvas = headless::window_pixels(window_);
  ASSERT_EQ(canvas.size(), 800u * 600u);
  EXPECT_EQ(canvas[20 * 800 + 10], p[0]);
  EXPECT_EQ(canvas[21 * 800 + 12], p[5]);
  EXPECT_EQ(canvas[20 * 800 + 13], 0u);
  EXPECT_EQ(canvas[599 * 800 + 798], p[0]);
  EXPECT_EQ(canvas[599 * 800 + 799], p[1]);
  EXPECT_EQ(headless::paint_count(window_), paints + 1);
  // The screen has a context, but nothing to draw on.
  THANDLE screen = platform::GetDC(0);
  ASSERT_NE(screen, 0u);
  EXPECT_FALSE(platform::BitBlt(screen, 0, 0, 3, 2, mem, 0, 0, SRCCOPY));
  EXPECT_EQ(platform::ReleaseDC(0, screen), 1);
  // A resized window starts again from black.
  ASSERT_TRUE(platform::MoveWindow(window_, 0, 0, 40, 30, false));
  canvas = headless::window_pixels(window_);
  ASSERT_EQ(canvas.size(), 40u * 30u);
  EXPECT_EQ(canvas[20 * 40 + 10], 0u);
  EXPECT_TRUE(headless::window_pixels(999).empty());
  platform::DeleteDC(mem);
  platform::DeleteObject(pic);
}

TEST_F(GdiBitmaps, BitmapPixelsReadsOnlyInside) {
  THANDLE bmp = load("px.bmp", bmp_indexed(2, 2, 1, {0x000000, 0xFFFFFF},
                                           [](int x, int y) { return x == 1 && y == 0; }));
  std::uint32_t out[4] = {7, 7, 7, 7};
  ASSERT_TRUE(common::bitmap_pixels(bmp, 0, 0, 2, 2, out));
  EXPECT_EQ(out[1], 0xFFFFFFu);
  EXPECT_EQ(out[0] | out[2] | out[3], 0u);
  out[0] = 7;
  EXPECT_FALSE(common::bitmap_pixels(bmp, 1, 0, 2, 1, out));
  EXPECT_FALSE(common::bitmap_pixels(bmp, -1, 0, 1, 1, out));
  EXPECT_FALSE(common::bitmap_pixels(bmp, 0, 0, INT32_MAX, 1, out));
  EXPECT_FALSE(common::bitmap_pixels(12345, 0, 0, 1, 1, out));
  EXPECT_EQ(out[0], 7u);
  LONGINT w = 0, h = 0;
  EXPECT_TRUE(common::bitmap_size(bmp, &w, &h));
  EXPECT_EQ(w * 10 + h, 22);
  platform::DeleteObject(bmp);
}

// The bitmaps, contexts, palettes and regions alive now, stock objects aside.
int live_objects() {
  int n = 0;
  const THANDLE last = common::new_handle();
  for (THANDLE h = 0x1000; h < last; h += 4)
    for (auto kind : {common::gdi_kind::bitmap, common::gdi_kind::dc, common::gdi_kind::palette,
                      common::gdi_kind::region})
      if (const common::gdi_object *o = common::find_object(h, kind); o && !o->stock) n++;
  return n;
}

// Each loader leaves behind only what it hands to its caller: its temporary contexts, working
// bitmaps and screen context are released before it returns.
TEST_F(GdiBitmaps, LoadersReleaseEveryTemporaryObject) {
  const std::string deep = write_temp_file(
      "deep.bmp", bmp24(8, 4, [](int x, int) { return x < 2 ? 0xFF00FFu : 0x336699u; }));
  const std::string indexed = write_temp_file(
      "indexed.bmp", bmp_indexed(8, 4, 8, colours, [](int x, int y) { return (x + y) % 5; }));
  struct loader {
    const char *name;
    std::function<std::vector<THANDLE>()> run; // what the caller owns afterwards
  };
  const loader loaders[] = {
      {"LOADBMPFROMFILE 24-bit",
       [&] {
         THANDLE pal = 0, bmp = LOADBMPFROMFILE(deep, pal);
         return std::vector<THANDLE>{bmp, pal};
       }},
      {"LOADBMPFROMFILE 8-bit",
       [&] {
         THANDLE pal = 0, bmp = LOADBMPFROMFILE(indexed, pal);
         return std::vector<THANDLE>{bmp, pal};
       }},
      {"LOADBMPFROMFILE missing",
       [&] {
         THANDLE pal = 0;
         EXPECT_EQ(LOADBMPFROMFILE("/nonexistent.bmp", pal), 0u);
         return std::vector<THANDLE>{};
       }},
      {"BITMAPTOREGION 24-bit",
       [&] { return std::vector<THANDLE>{BITMAPTOREGION(deep, 0xFF00FF, 1)}; }},
      {"BITMAPTOREGION 8-bit", [&] { return std::vector<THANDLE>{BITMAPTOREGION(indexed, 0, 0)}; }},
      {"TEXTURELOADID", [&] {
         TEXTURELOADID(deep.c_str(), 5);
         EXPECT_NE(TEXTUREID2[5], 0u);
         return std::vector<THANDLE>{};
       }}};
  for (const loader &l : loaders) {
    SCOPED_TRACE(l.name);
    const int before = live_objects();
    std::vector<THANDLE> owned = l.run();
    for (THANDLE h : owned)
      ASSERT_NE(h, 0u);
    EXPECT_EQ(live_objects(), before + int(owned.size()));
    for (THANDLE h : owned)
      EXPECT_TRUE(platform::DeleteObject(h));
    EXPECT_EQ(live_objects(), before);
  }
}

} // namespace
} // namespace vantrel::test
