#include "vantrel/image/palette_bitmap.h"

#include <memory>

#include "vantrel/platform/platform.h"

namespace vantrel {

namespace {

// The Win32 LOGPALETTE of 256 entries: version, count, then the entries.
struct TLOGPALETTE256 {
  std::uint16_t palVersion = 0x300;
  std::uint16_t palNumEntries = 256;
  TPALETTEENTRY palPalEntry[256];
};
static_assert(sizeof(TLOGPALETTE256) == 4 + 256 * 4);

} // namespace

THANDLE LOADBMPFROMFILE(const ANSISTRING &FILENAME, THANDLE &PAL) {
  THANDLE BMP = platform::LoadImageA(platform::GetModuleHandleA(nullptr), FILENAME.c_str(),
                                     IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION);
  if (BMP == 0) return 0;

  TBITMAP BM;
  platform::GetObjectA(BMP, sizeof(TBITMAP), &BM);
  LONGINT DEPTH = LONGINT(BM.bmBitsPixel) * LONGINT(BM.bmPlanes);
  if (DEPTH <= 8) {
    THANDLE MEMDC = platform::CreateCompatibleDC(0);
    THANDLE OLDBMP = platform::SelectObject(MEMDC, BMP);
    // Zeroed, so the entries that a short colour table does not fill stay black.
    TRGBQUAD RGB[256] = {};
    platform::GetDIBColorTable(MEMDC, 0, 256, RGB);
    auto LOGPAL = std::make_unique<TLOGPALETTE256>();
    for (LONGINT I = 0; I < 256; I++) {
      LOGPAL->palPalEntry[I].peRed = RGB[I].rgbRed;
      LOGPAL->palPalEntry[I].peGreen = RGB[I].rgbGreen;
      LOGPAL->palPalEntry[I].peBlue = RGB[I].rgbBlue;
      LOGPAL->palPalEntry[I].peFlags = 0;
    }
    PAL = platform::CreatePalette(LOGPAL->palPalEntry, LOGPAL->palNumEntries);
    LOGPAL.reset();
    platform::SelectObject(MEMDC, OLDBMP);
    platform::DeleteDC(MEMDC);
  } else {
    THANDLE SCREEN = platform::GetDC(0);
    PAL = platform::CreateHalftonePalette(SCREEN);
    platform::ReleaseDC(0, SCREEN);
  }
  return BMP;
}

} // namespace vantrel
