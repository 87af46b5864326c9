#include "vantrel/geometry/normals.h"

#include <cmath>

#include "vantrel/gl.h"
#include "vantrel/globals.h"

namespace vantrel {

// Second normalisation pass with a single-precision length; VECTOR holds three elements.
static void REDUCETOUNIT(REAL *VECTOR) {
  SINGLE LENGTH =
      SINGLE(std::sqrt(VECTOR[0] * VECTOR[0] + VECTOR[1] * VECTOR[1] + VECTOR[2] * VECTOR[2]));
  if (LENGTH == 0) LENGTH = 1; // a zero vector stays zero instead of becoming NaN
  VECTOR[0] /= LENGTH;
  VECTOR[1] /= LENGTH;
  VECTOR[2] /= LENGTH;
}

void FINDNORMAL(REAL V1X, REAL V1Y, REAL V1Z, REAL V2X, REAL V2Y, REAL V2Z, REAL V3X, REAL V3Y,
                REAL V3Z) {
  constexpr int X = 1, Y = 2, Z = 3;
  REAL TEMP_V1[4], TEMP_V2[4]; // used 1..3, like FNORMAL
  TEMP_V1[X] = V1X - V2X;
  TEMP_V1[Y] = V1Y - V2Y;
  TEMP_V1[Z] = V1Z - V2Z;
  TEMP_V2[X] = V2X - V3X;
  TEMP_V2[Y] = V2Y - V3Y;
  TEMP_V2[Z] = V2Z - V3Z;
  FNORMAL[X] = TEMP_V1[Y] * TEMP_V2[Z] - TEMP_V1[Z] * TEMP_V2[Y];
  FNORMAL[Y] = TEMP_V1[Z] * TEMP_V2[X] - TEMP_V1[X] * TEMP_V2[Z];
  FNORMAL[Z] = TEMP_V1[X] * TEMP_V2[Y] - TEMP_V1[Y] * TEMP_V2[X];
  REAL TEMP_LENGHT =
      std::sqrt(FNORMAL[X] * FNORMAL[X] + FNORMAL[Y] * FNORMAL[Y] + FNORMAL[Z] * FNORMAL[Z]);
  if (TEMP_LENGHT == 0) TEMP_LENGHT = 1; // collinear points give the zero normal, not NaN
  FNORMAL[X] /= TEMP_LENGHT;
  FNORMAL[Y] /= TEMP_LENGHT;
  FNORMAL[Z] /= TEMP_LENGHT;
  REDUCETOUNIT(&FNORMAL[X]);
}

void LINEFREE(SINGLE TX1, SINGLE TY1, SINGLE TX2, SINGLE TY2, SINGLE X1, SINGLE Y1, SINGLE Z1,
              SINGLE X2, SINGLE Y2, SINGLE Z2, BOOLEAN TEXTURE) {
  if (TEXTURE) glTexCoord2f(TX1, TY1);
  glVertex3f(X1, Y1, Z1);
  if (TEXTURE) glTexCoord2f(TX2, TY2);
  glVertex3f(X2, Y2, Z2);
}

} // namespace vantrel
