#include "vantrel/image/shade_ramp.h"

#include <cfloat>

#include "vantrel/gl.h"
#include "vantrel/globals.h"
#include "vantrel/image/text_file.h"
#include "vantrel/runerror.h"

namespace vantrel {

BOOLEAN READSHADERFILE(const ANSISTRING &SDRFILE, SINGLE (&SHADERDATA)[32][3], ANSISTRING &WHY) {
  LOADFILE(SDRFILE);
  if (IORESULT() != 0) {
    WHY = LOADFILEREASON();
    return false;
  }
  for (LONGINT I = 0; I < 32; I++) {
    if (TEXTEOF()) break;
    REAL V = READREAL();
    READLN();
    // A number past SINGLE's range becomes the largest SINGLE; OpenGL clamps into 0..1 anyway.
    if (V > FLT_MAX) V = FLT_MAX;
    if (V < -FLT_MAX) V = -FLT_MAX;
    SHADERDATA[I][0] = SHADERDATA[I][1] = SHADERDATA[I][2] = SINGLE(V);
  }
  ENDFILE();
  return true;
}

void TEXTURELOADSHADER(const ANSISTRING &SDRFILE) {
  // Entry after entry, red, green and blue adjacent: the layout glTexImage1D reads.
  SINGLE SHADERDATA[32][3] = {};
  static_assert(sizeof(SHADERDATA) == 384);
  ANSISTRING WHY;
  if (!READSHADERFILE(SDRFILE, SHADERDATA, WHY)) {
    WARNING("shade ramp '" + SDRFILE + "' not loaded: " + WHY);
    return;
  }

  glEnable(GL_TEXTURE_1D);
  glGenTextures(1, &TEXTUREID);
  glBindTexture(GL_TEXTURE_1D, TEXTUREID);
  glTexImage1D(GL_TEXTURE_1D, 0, GL_RGB, 32, 0, GL_RGB, GL_FLOAT, SHADERDATA);
  // Nearest filtering makes the bands hard-edged; clamp to edge keeps the ramp's ends from
  // wrapping into each other.
  glTexParameteri(GL_TEXTURE_1D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_1D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_1D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_1D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  glEnable(GL_TEXTURE_1D);
  glBindTexture(GL_TEXTURE_1D, TEXTUREID);
}

void TEXTURESHADERON() {
  glEnable(GL_TEXTURE_1D);
  glDisable(GL_LIGHTING);
  ACTIVETEXTURESHADER = true;
}

void TEXTURESHADEROFF() {
  glDisable(GL_TEXTURE_1D);
  glEnable(GL_LIGHTING);
  ACTIVETEXTURESHADER = false;
}

} // namespace vantrel
