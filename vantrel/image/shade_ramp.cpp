#include "vantrel/image/shade_ramp.h"

#include <cfloat>
#include <cstring>

#include "vantrel/gl.h"
#include "vantrel/globals.h"
#include "vantrel/image/text_file.h"
#include "vantrel/runerror.h"

namespace vantrel {

BOOLEAN READSHADERFILE(const ANSISTRING &SDRFILE, SINGLE (&SHADERDATA)[32][3], ANSISTRING &WHY,
                       LONGINT *COUNT, LONGINT *CODE) {
  if (COUNT) *COUNT = 0;
  LOADFILE(SDRFILE);
  if (const LONGINT RESULT = IORESULT(); RESULT != 0) {
    WHY = LOADFILEREASON();
    if (CODE) *CODE = RESULT;
    return false;
  }
  // Read into a copy, so that a number refused half-way leaves SHADERDATA as it was.
  SINGLE READ[32][3];
  std::memcpy(READ, SHADERDATA, sizeof READ);
  for (LONGINT I = 0; I < 32; I++) {
    if (TEXTEOF()) break;
    REAL V = READREAL();
    if (const LONGINT RESULT = IORESULT(); RESULT != 0) {
      // Only after a host's error hook took the malformed number.
      WHY = "line " + std::to_string(I + 1) + " is not a number";
      if (CODE) *CODE = RESULT;
      ENDFILE();
      return false;
    }
    READLN();
    // A number past SINGLE's range becomes the largest SINGLE; OpenGL clamps into 0..1 anyway.
    if (V > FLT_MAX) V = FLT_MAX;
    if (V < -FLT_MAX) V = -FLT_MAX;
    READ[I][0] = READ[I][1] = READ[I][2] = SINGLE(V);
    if (COUNT && NUMBERFOUND()) *COUNT = I + 1;
  }
  ENDFILE();
  std::memcpy(SHADERDATA, READ, sizeof READ);
  return true;
}

void TEXTURELOADSHADER(const ANSISTRING &SDRFILE) {
  // Entry after entry, red, green and blue adjacent: the layout glTexImage1D reads.
  SINGLE SHADERDATA[32][3] = {};
  static_assert(sizeof(SHADERDATA) == 384);
  ANSISTRING WHY;
  LONGINT COUNT = 0, CODE = RE_READ_ERROR;
  if (!READSHADERFILE(SDRFILE, SHADERDATA, WHY, &COUNT, &CODE)) {
    WARNING("shade ramp '" + SDRFILE + "' not loaded: " + WHY, CODE);
    return;
  }
  // Loaded all the same, as the file says: every band black.
  if (COUNT == 0) WARNING("shade ramp '" + SDRFILE + "' holds no number: every entry is 0");

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
