#include "vantrel/render/outline_text.h"

#include "vantrel/gl.h"
#include "vantrel/globals.h"
#include "vantrel/platform/platform.h"
#include "vantrel/runerror.h"

namespace vantrel {

void INITTEXT(SINGLE DEPTH, LONGINT ANG, LONGINT ITAL, LONGINT GRAS) {
  // Italic and underline go to the font mapper as unsigned numbers.
  if (!RANGECHECK(ITAL, 0, 0x7FFFFFFF, "italic flag") ||
      !RANGECHECK(GRAS, 0, 0x7FFFFFFF, "underline flag"))
    return;
  BASE = glGenLists(256);
  THANDLE FONT = platform::CreateFontA(-12, 0, ANG, ANG, FW_BOLD, LONGWORD(ITAL), LONGWORD(GRAS), 0,
                                       ANSI_CHARSET, OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS,
                                       ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_DONTCARE, nullptr);
  // The font stays selected for the rest of the run; the one it replaces is not needed.
  platform::SelectObject(DCWINDOW, FONT);
  // Codes 0..254 only: list BASE + 255 stays empty and GMF[255] zero.
  platform::wglUseFontOutlinesA(DCWINDOW, 0, 255, BASE, 0.0f, DEPTH, WGL_FONT_POLYGONS, GMF);
}

void DELETEGLTEXT() { glDeleteLists(BASE, 256); }

} // namespace vantrel
