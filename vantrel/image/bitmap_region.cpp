#include "vantrel/image/bitmap_region.h"

#include <algorithm>
#include <cstring>

#include "vantrel/image/palette_bitmap.h"
#include "vantrel/platform/platform.h"
#include "vantrel/runerror.h"

namespace vantrel {

namespace {

TREGIONSCAN SCAN;

// The rectangles of the batch being collected; the buffer grows in steps of ALLOC_UNIT and is
// never shrunk, so a large picture settles at one batch's worth.
struct TRECTBUFFER {
  std::vector<TRECT> RECTS;
  LONGINT NCOUNT = 0;
  THANDLE RESULT = 0;

  void ADD(LONGINT X0, LONGINT Y, LONGINT X) {
    if (NCOUNT >= SCAN.MAXRECTS) {
      SCAN.MAXRECTS += ALLOC_UNIT;
      RECTS.resize(std::size_t(SCAN.MAXRECTS));
    }
    RECTS[std::size_t(NCOUNT)] = TRECT{X0, Y, X, Y + 1};
    NCOUNT++;
    if (NCOUNT == REGION_BATCH) FLUSH();
  }

  // Merges the batch into the result; a batch whose region cannot be made adds nothing.
  void FLUSH() {
    SCAN.BATCHES.push_back(NCOUNT);
    THANDLE H = platform::ExtCreateRegion(RECTS.data(), LONGWORD(NCOUNT));
    if (H != 0) {
      if (RESULT == 0) {
        RESULT = H;
      } else {
        platform::CombineRgn(RESULT, RESULT, H, RGN_OR);
        platform::DeleteObject(H);
      }
    }
    NCOUNT = 0;
  }
};

} // namespace

const TREGIONSCAN &LASTREGIONSCAN() { return SCAN; }

THANDLE BITMAPTOREGION(const ANSISTRING &BMPNAME, LONGWORD TRANSCOLOR, BYTE TOLERANCE) {
  // A colour reference is 0x00BBGGRR; the top byte set is no colour at all.
  if (TRANSCOLOR >= 0x80000000u) {
    RUNERROR(RE_RANGE_CHECK, "transparent colour " + std::to_string(TRANSCOLOR) +
                                 " is outside the colour-reference range");
    return 0;
  }
  SCAN = TREGIONSCAN{};

  THANDLE PAL = 0;
  THANDLE BMP = LOADBMPFROMFILE(BMPNAME, PAL);
  if (BMP == 0) return 0;
  auto RELEASE_SOURCE = [&] {
    platform::DeleteObject(PAL);
    platform::DeleteObject(BMP);
  };

  THANDLE MEMDC = platform::CreateCompatibleDC(0);
  if (MEMDC == 0) {
    RELEASE_SOURCE();
    return 0;
  }
  TBITMAP BM;
  platform::GetObjectA(BMP, sizeof(TBITMAP), &BM);
  // The working image: 32 bits a pixel, bottom-up, whatever the source's depth or row order.
  TBITMAPINFOHEADER RGB32BITSBITMAPINFO;
  RGB32BITSBITMAPINFO.biSize = 40;
  RGB32BITSBITMAPINFO.biWidth = BM.bmWidth;
  RGB32BITSBITMAPINFO.biHeight = BM.bmHeight;
  RGB32BITSBITMAPINFO.biPlanes = 1;
  RGB32BITSBITMAPINFO.biBitCount = 32;
  RGB32BITSBITMAPINFO.biCompression = BI_RGB;
  void *PBITS32 = nullptr;
  THANDLE HBM32 =
      platform::CreateDIBSection(MEMDC, &RGB32BITSBITMAPINFO, DIB_RGB_COLORS, &PBITS32, 0, 0);
  if (HBM32 == 0) {
    platform::DeleteDC(MEMDC);
    RELEASE_SOURCE();
    return 0;
  }
  THANDLE HOLDBMP = platform::SelectObject(MEMDC, HBM32);
  auto RELEASE_WORKING = [&] {
    platform::SelectObject(MEMDC, HOLDBMP);
    platform::DeleteObject(HBM32);
    platform::DeleteDC(MEMDC);
    RELEASE_SOURCE();
  };

  THANDLE DC = platform::CreateCompatibleDC(MEMDC);
  if (DC == 0) {
    RELEASE_WORKING();
    return 0;
  }
  THANDLE HOLDBMP2 = platform::SelectObject(DC, BMP);
  THANDLE HOLDPAL = platform::SelectPalette(DC, PAL, true);
  platform::RealizePalette(DC);
  BOOLEAN COPIED = platform::BitBlt(MEMDC, 0, 0, BM.bmWidth, BM.bmHeight, DC, 0, 0, SRCCOPY);
  platform::SelectPalette(DC, HOLDPAL, false);
  platform::SelectObject(DC, HOLDBMP2);
  platform::DeleteDC(DC);

  TBITMAP BM32;
  // A copy that failed would scan zeroed memory as if it were the picture.
  if (!COPIED || platform::GetObjectA(HBM32, sizeof(TBITMAP), &BM32) < LONGINT(sizeof(TBITMAP)) ||
      !BM32.bmBits || BM32.bmWidthBytes < BM.bmWidth * 4) {
    RELEASE_WORKING();
    return 0;
  }

  SCAN.MAXRECTS = ALLOC_UNIT;
  TRECTBUFFER BUFFER;
  BUFFER.RECTS.resize(std::size_t(ALLOC_UNIT));

  const auto LR = BYTE(TRANSCOLOR & 0xFF), LG = BYTE((TRANSCOLOR >> 8) & 0xFF),
             LB = BYTE((TRANSCOLOR >> 16) & 0xFF);
  const auto HR = BYTE(std::min(LR + TOLERANCE, 0xFF)), HG = BYTE(std::min(LG + TOLERANCE, 0xFF)),
             HB = BYTE(std::min(LB + TOLERANCE, 0xFF));
  auto TRANSPARENT = [&](std::uint32_t P) {
    BYTE R = BYTE(P >> 16), G = BYTE(P >> 8), B = BYTE(P);
    return R >= LR && R <= HR && G >= LG && G <= HG && B >= LB && B <= HB;
  };

  const LONGINT W = BM.bmWidth, H = BM32.bmHeight;
  const std::size_t ROWBYTES = std::size_t(BM32.bmWidthBytes);
  // The last row in memory is the top of the picture: the working image is stored bottom-up.
  const auto *ROW =
      static_cast<const std::uint8_t *>(BM32.bmBits) + std::size_t(std::max(H - 1, 0)) * ROWBYTES;
  for (LONGINT Y = 0; Y < H; Y++) {
    const auto *P32 = reinterpret_cast<const std::uint32_t *>(ROW);
    LONGINT X = 0;
    while (X < W) {
      LONGINT X0 = X;
      while (X < W && !TRANSPARENT(P32[X]))
        X++;
      if (X > X0) BUFFER.ADD(X0, Y, X);
      X++; // over the transparent pixel that ended the run
    }
    ROW -= ROWBYTES;
  }
  // The last batch, even when empty: a picture with no opaque pixel gives an empty region.
  BUFFER.FLUSH();

  RELEASE_WORKING();
  return BUFFER.RESULT;
}

} // namespace vantrel
