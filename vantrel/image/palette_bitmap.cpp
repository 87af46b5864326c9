#include "vantrel/image/palette_bitmap.h"

#include <cstdint>
#include <memory>

#include "vantrel/image/picture_file.h"
#include "vantrel/platform/platform.h"
#include "vantrel/runerror.h"

namespace vantrel {

namespace {

// The Win32 LOGPALETTE of 256 entries: version, count, then the entries.
struct TLOGPALETTE256 {
  std::uint16_t palVersion = 0x300;
  std::uint16_t palNumEntries = 256;
  TPALETTEENTRY palPalEntry[256];
};
static_assert(sizeof(TLOGPALETTE256) == 4 + 256 * 4);

// Pictures for ordinary windows, not textures: none needs a side beyond 16384 pixels (twice the
// widest screens) or more than 64 Mi pixels (256 MiB as the region builder's 32-bit copy), and
// the bound keeps a hostile header from asking for gigabytes before a pixel is read.
constexpr LONGINT MAXPICTURESIDE = 16384;
constexpr std::int64_t MAXPICTUREPIXELS = std::int64_t(1) << 26;

} // namespace

THANDLE LOADBMPFROMFILE(const ANSISTRING &FILENAME, THANDLE &PAL) {
  // A missing picture is an ordinary case (a button without its hover picture) and stays
  // silent; a file that is there but cannot be used says why.
  auto refuse = [&](const std::string &why) {
    WARNING("picture '" + FILENAME + "' not loaded: " + why);
    return THANDLE(0);
  };
  LONGINT W, H;
  std::string why;
  if (!READPICTURESIZE(FILENAME.c_str(), W, H, why)) {
    LONGWORD code = platform::GetLastError();
    return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND ? 0 : refuse(why);
  }
  if (W > MAXPICTURESIDE || H > MAXPICTURESIDE || std::int64_t(W) * H > MAXPICTUREPIXELS)
    return refuse("its " + std::to_string(W) + " x " + std::to_string(H) +
                  " pixels exceed the largest picture for a window, " +
                  std::to_string(MAXPICTURESIDE) + " pixels a side and " +
                  std::to_string(MAXPICTUREPIXELS) + " in all");

  THANDLE BMP = platform::LoadImageA(platform::GetModuleHandleA(nullptr), FILENAME.c_str(),
                                     IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION);
  if (BMP == 0) return refuse(platform::LastErrorText());

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
