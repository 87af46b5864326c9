#include "vantrel/render/outline_text.h"

#include "vantrel/gl.h"
#include "vantrel/globals.h"
#include "vantrel/runerror.h"

namespace vantrel {

void INITTEXT(SINGLE DEPTH, LONGINT ANG, LONGINT ITAL, LONGINT GRAS) {
  // Italic and underline go to the font mapper as unsigned numbers.
  RANGECHECK(ITAL, 0, 0x7FFFFFFF, "italic flag");
  RANGECHECK(GRAS, 0, 0x7FFFFFFF, "underline flag");
  (void)DEPTH;
  (void)ANG;
  BASE = glGenLists(256);
}

void DELETEGLTEXT() { glDeleteLists(BASE, 256); }

} // namespace vantrel
