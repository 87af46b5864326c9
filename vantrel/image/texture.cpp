#include "vantrel/image/texture.h"

#include <cstddef>
#include <string>
#include <type_traits>
#include <utility>

#include "vantrel/gl.h"
#include "vantrel/globals.h"
#include "vantrel/image/picture_file.h"
#include "vantrel/platform/platform.h"
#include "vantrel/runerror.h"

namespace vantrel {

// The slot table is handed to glGenTextures as it is.
static_assert(std::is_same_v<LONGWORD, GLuint>);

void SWAPRGB(std::uint8_t *DATA, LONGINT SIZE) {
  if (!DATA) return;
  for (LONGINT K = 0; K < SIZE; K++)
    std::swap(DATA[3 * std::size_t(K)], DATA[3 * std::size_t(K) + 2]);
}

void TEXTUREON() { glEnable(GL_TEXTURE_2D); }

void TEXTUREOFF() { glDisable(GL_TEXTURE_2D); }

void TEXTURESELECTID(LONGINT NUM) {
  if (!RANGECHECK(NUM, 0, 500, "texture slot")) return;
  glBindTexture(GL_TEXTURE_2D, TEXTUREID2[NUM]);
}

namespace {

// A 24-bit bottom-up copy of BITMAP (W x H pixels) made by a blit between two memory contexts,
// or 0 with the reason in WHY. BITMAP itself is left to the caller.
THANDLE TO24BIT(THANDLE BITMAP, LONGINT W, LONGINT H, std::string &WHY) {
  THANDLE SRC = platform::CreateCompatibleDC(0), DST = platform::CreateCompatibleDC(0);
  TBITMAPINFOHEADER INFO;
  INFO.biWidth = W;
  INFO.biHeight = H;
  INFO.biBitCount = 24;
  INFO.biCompression = BI_RGB;
  void *BITS = nullptr;
  THANDLE COPY =
      SRC && DST ? platform::CreateDIBSection(DST, &INFO, DIB_RGB_COLORS, &BITS, 0, 0) : 0;
  bool DONE = false;
  if (COPY) {
    THANDLE OLDSRC = platform::SelectObject(SRC, BITMAP);
    THANDLE OLDDST = platform::SelectObject(DST, COPY);
    DONE = OLDSRC && OLDDST && platform::BitBlt(DST, 0, 0, W, H, SRC, 0, 0, SRCCOPY);
    if (OLDSRC) platform::SelectObject(SRC, OLDSRC);
    if (OLDDST) platform::SelectObject(DST, OLDDST);
  }
  if (!DONE) WHY = "the picture cannot be converted to 24 bits: " + platform::LastErrorText();
  if (SRC) platform::DeleteDC(SRC);
  if (DST) platform::DeleteDC(DST);
  if (!DONE && COPY) platform::DeleteObject(COPY);
  return DONE ? COPY : 0;
}

} // namespace

void TEXTURELOADID(PCHAR BMPFILE, LONGINT NUM) {
  if (!RANGECHECK(NUM, 0, 500, "texture slot")) return;
  std::string name = BMPFILE ? BMPFILE : "(null)";
  auto refuse = [&](const std::string &why, LONGINT code = RE_READ_ERROR) {
    WARNING("texture '" + name + "' not loaded into slot " + std::to_string(NUM) + ": " + why,
            code);
  };

  // Decided from the header, before a pixel is read: OpenGL takes sides up to
  // GL_MAX_TEXTURE_SIZE, and its proxy says whether it can hold this picture at all. Without a
  // current context there is no limit to ask, and the loader's own bound applies.
  LONGINT FW, FH;
  std::string why;
  if (!READPICTURESIZE(BMPFILE, FW, FH, why)) {
    refuse(why, IOCODEOF(platform::GetLastError()));
    return;
  }
  GLint MAXSIDE = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &MAXSIDE);
  if (MAXSIDE > 0 && (FW > MAXSIDE || FH > MAXSIDE)) {
    refuse("its " + std::to_string(FW) + " x " + std::to_string(FH) +
           " pixels exceed the largest texture OpenGL takes here, " + std::to_string(MAXSIDE) +
           " pixels a side");
    return;
  }
  if (MAXSIDE > 0 && FW > 0 && FH > 0) {
    GLint HELD = 0;
    glTexImage2D(GL_PROXY_TEXTURE_2D, 0, 3, FW, FH, 0, GL_RGB, GL_UNSIGNED_BYTE, nullptr);
    glGetTexLevelParameteriv(GL_PROXY_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &HELD);
    if (HELD == 0) {
      refuse("OpenGL cannot hold a texture of " + std::to_string(FW) + " x " + std::to_string(FH) +
             " pixels");
      return;
    }
  }

  THANDLE bitmap =
      platform::LoadImageA(platform::GetModuleHandleA(nullptr), BMPFILE, IMAGE_BITMAP, 0, 0,
                           LR_LOADFROMFILE | LR_LOADTRANSPARENT | LR_CREATEDIBSECTION);
  if (!bitmap) {
    refuse(platform::LastErrorText());
    return;
  }
  TBITMAP bm;
  if (platform::GetObjectA(bitmap, sizeof(TBITMAP), &bm) < LONGINT(sizeof(TBITMAP))) {
    refuse("the bitmap cannot be read back");
    platform::DeleteObject(bitmap);
    return;
  }
  if (bm.bmBitsPixel <= 8) {
    // For a colour-table picture the transparency flag would repaint every pixel of the first
    // pixel's colour in the window colour; a texture keeps its own colours, so it is loaded again
    // without the flag (a 24-bit file, which has no table, is not affected by it).
    platform::DeleteObject(bitmap);
    bitmap = platform::LoadImageA(platform::GetModuleHandleA(nullptr), BMPFILE, IMAGE_BITMAP, 0, 0,
                                  LR_LOADFROMFILE | LR_CREATEDIBSECTION);
    if (!bitmap || platform::GetObjectA(bitmap, sizeof(TBITMAP), &bm) < LONGINT(sizeof(TBITMAP))) {
      refuse("the colour-table picture cannot be loaded again");
      if (bitmap) platform::DeleteObject(bitmap);
      return;
    }
  }
  if (bm.bmBitsPixel != 24 && bm.bmWidth > 0 && bm.bmHeight > 0) {
    // Colour-table pictures are loaded at their own depth; a blit onto a 24-bit DIB section
    // looks every pixel up in the table.
    THANDLE converted = TO24BIT(bitmap, bm.bmWidth, bm.bmHeight, why);
    platform::DeleteObject(bitmap);
    if (!converted) {
      refuse(why);
      return;
    }
    bitmap = converted;
    if (platform::GetObjectA(bitmap, sizeof(TBITMAP), &bm) < LONGINT(sizeof(TBITMAP))) {
      refuse("the converted bitmap cannot be read back");
      platform::DeleteObject(bitmap);
      return;
    }
  }
  LONGINT W = bm.bmWidth, H = bm.bmHeight;
  // The upload reads three bytes a pixel in 4-byte aligned rows from the bottom up; a bitmap of
  // another layout would be read wrongly, or past its end.
  std::string unusable;
  if (!bm.bmBits)
    unusable = "the bitmap has no pixel memory";
  else if (W <= 0 || H <= 0)
    unusable = "the bitmap is " + std::to_string(W) + " x " + std::to_string(H) + " pixels";
  else if (bm.bmBitsPixel != 24)
    unusable = "the bitmap has " + std::to_string(bm.bmBitsPixel) + " bits per pixel, not 24";
  else if (std::int64_t(bm.bmWidthBytes) != (std::int64_t(W) * 3 + 3) / 4 * 4)
    unusable = "rows of " + std::to_string(bm.bmWidthBytes) + " bytes do not fit a width of " +
               std::to_string(W);
  if (!unusable.empty()) {
    refuse(unusable);
    platform::DeleteObject(bitmap);
    return;
  }

  LONGINT PIXELS;
  if (!CHECKEDMUL(W, H, PIXELS, "texture size")) {
    platform::DeleteObject(bitmap);
    return;
  }
  // Row by row, so that the filler at the end of each row is never taken for a pixel.
  auto *P = static_cast<std::uint8_t *>(bm.bmBits);
  for (LONGINT ROW = 0; ROW < H; ROW++)
    SWAPRGB(P + std::size_t(ROW) * bm.bmWidthBytes, W);

  glEnable(GL_TEXTURE_2D);
  glGenTextures(1, &TEXTUREID2[NUM]);
  glBindTexture(GL_TEXTURE_2D, TEXTUREID2[NUM]);
  // An alignment of 4 is the BMP row rule, so rows are read as the bitmap stores them.
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
  glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
  glTexImage2D(GL_TEXTURE_2D, 0, 3, W, H, 0, GL_RGB, GL_UNSIGNED_BYTE, P);
  // OpenGL keeps its own copy of the image.
  platform::DeleteObject(bitmap);
}

} // namespace vantrel
