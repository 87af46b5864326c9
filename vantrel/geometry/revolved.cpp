#include "vantrel/geometry/revolved.h"

#include <cmath>
#include <cstdint>
#include <numbers>

#include "vantrel/geometry/normals.h"
#include "vantrel/gl.h"
#include "vantrel/runerror.h"

namespace vantrel {

namespace {
constexpr double PI = std::numbers::pi;

// Sine and cosine of a single-precision angle, kept in single precision like the angles.
inline SINGLE COSF(SINGLE A) { return std::cos(A); }
inline SINGLE SINF(SINGLE A) { return std::sin(A); }
} // namespace

void TOROIDE(SINGLE X, SINGLE Y, SINGLE Z, SINGLE TUBER, SINGLE R, LONGINT SIDES, LONGINT RINGS) {
  if (SIDES == 0 || RINGS == 0) return; // the angle steps would divide by zero
  glPushMatrix();
  glTranslatef(X, Y, Z);
  const SINGLE SIDEDELTA = SINGLE(2 * PI / SIDES);
  const SINGLE RINGDELTA = SINGLE(2 * PI / RINGS);
  SINGLE THETA = 0, COSTHETA = 1, SINTHETA = 0;
  // 64-bit loop counters: SIDES + 1 must not wrap for the largest count.
  for (std::int64_t RING = 0; RING < RINGS; RING++) {
    const SINGLE THETA1 = THETA + RINGDELTA; // repeated single-precision addition
    const SINGLE COSTHETA1 = COSF(THETA1), SINTHETA1 = SINF(THETA1);
    glBegin(GL_QUAD_STRIP);
    SINGLE PHI = 0;
    for (std::int64_t SIDE = 0; SIDE < std::int64_t(SIDES) + 1; SIDE++) {
      PHI = PHI + SIDEDELTA; // the step comes first: the strip closes one step past a turn
      const SINGLE COSPHI = COSF(PHI), SINPHI = SINF(PHI);
      const SINGLE DIST = R + TUBER * COSPHI;
      glTexCoord2f(COSTHETA1 * DIST, -SINTHETA1 * DIST);
      glNormal3f(COSTHETA1 * COSPHI, -SINTHETA1 * COSPHI, SINPHI);
      glVertex3f(COSTHETA1 * DIST, -SINTHETA1 * DIST, TUBER * SINPHI);
      glTexCoord2f(COSTHETA * DIST, -SINTHETA * DIST);
      glNormal3f(COSTHETA * COSPHI, -SINTHETA * COSPHI, SINPHI);
      glVertex3f(COSTHETA * DIST, -SINTHETA * DIST, TUBER * SINPHI);
    }
    glEnd();
    THETA = THETA1;
    COSTHETA = COSTHETA1;
    SINTHETA = SINTHETA1;
  }
  glPopMatrix();
}

void CONOTRONCO(SINGLE X, SINGLE Y, SINGLE Z, LONGINT NUMPOINTS, SINGLE RIN, SINGLE ROUT,
                SINGLE H) {
  const LONGINT N = NUMPOINTS;
  if (N == 0) return; // the angle step would divide by zero
  const SINGLE DA = SINGLE(2 * PI / N / 4);
  const SINGLE TOP = Z + H;
  glBegin(GL_QUAD_STRIP);
  for (std::int64_t I = 0; I <= N; I++) {
    // The divisor N + 0.1 leaves the last step short of a full turn; its second pair closes it.
    LONGINT TWICE;
    if (!CHECKEDMUL(2, LONGINT(I), TWICE, "CONOTRONCO angle")) break; // the strip ends here
    const SINGLE ANGLE = SINGLE(TWICE * PI / (N + 0.1));
    const SINGLE T1 = ANGLE + DA / 2, T2 = ANGLE + 5 * DA / 2, B2 = ANGLE + 3 * DA;
    glNormal3f(ROUT * COSF(ANGLE), ROUT * SINF(ANGLE), 0);
    LINEFREE(2 * T1 + X, TOP + 1, 2 * ANGLE + X, Z, X + RIN * COSF(T1), Y + RIN * SINF(T1), TOP,
             X + ROUT * COSF(ANGLE), Y + ROUT * SINF(ANGLE), Z, true);
    glNormal3f(ROUT * COSF(B2), ROUT * SINF(B2), 0);
    LINEFREE(2 * T2 + X, TOP + 1, 2 * B2 + X, Z, X + RIN * COSF(T2), Y + RIN * SINF(T2), TOP,
             X + ROUT * COSF(B2), Y + ROUT * SINF(B2), Z, true);
  }
  glEnd();
}

void SUPPORTOASSE(SINGLE X, SINGLE Y, SINGLE Z, LONGINT NUMPOINTS, SINGLE RIN, SINGLE ROUT,
                  SINGLE H) {
  const SINGLE INNERRADIUS = RIN, OUTERRADIUS = ROUT, WIDTH = H;
  const LONGINT TEETH = NUMPOINTS;
  if (TEETH == 0) return; // the angle step would divide by zero
  const SINGLE OUTERRADIUS1 = OUTERRADIUS - 0.15f;
  const SINGLE RI = INNERRADIUS, R1 = OUTERRADIUS1, W2 = WIDTH / 2;
  const SINGLE DA = SINGLE(2 * PI / TEETH / 4);
  // False once the step count overflows (after a host's error hook): the strip ends there.
  auto SEGMENT = [&](std::int64_t I, SINGLE &A) {
    LONGINT TWICE;
    if (!CHECKEDMUL(2, LONGINT(I), TWICE, "SUPPORTOASSE angle")) return false;
    A = SINGLE(TWICE * PI / TEETH);
    return true;
  };

  glPushMatrix();
  glTranslatef(X, Y, Z);

  // End faces: inner points at ANGLE + DA/2 and + 5DA/2, rim points at ANGLE and + 3DA; each
  // vertex takes its own x and y as texture coordinate.
  glNormal3f(0, 0, 1);
  glBegin(GL_QUAD_STRIP);
  for (std::int64_t I = 0; I <= TEETH; I++) {
    SINGLE A;
    if (!SEGMENT(I, A)) break;
    const SINGLE I1 = A + DA / 2, I2 = A + 5 * DA / 2, O2 = A + 3 * DA;
    const SINGLE IX1 = RI * COSF(I1), IY1 = RI * SINF(I1), OX1 = R1 * COSF(A), OY1 = R1 * SINF(A);
    const SINGLE IX2 = RI * COSF(I2), IY2 = RI * SINF(I2), OX2 = R1 * COSF(O2), OY2 = R1 * SINF(O2);
    LINEFREE(IX1, IY1, OX1, OY1, IX1, IY1, W2, OX1, OY1, W2, true);
    LINEFREE(IX2, IY2, OX2, OY2, IX2, IY2, W2, OX2, OY2, W2, true);
  }
  glEnd();

  glNormal3f(0, 0, -1);
  glBegin(GL_QUAD_STRIP);
  for (std::int64_t I = 0; I <= TEETH; I++) {
    SINGLE A;
    if (!SEGMENT(I, A)) break;
    const SINGLE I1 = A + DA / 2, I2 = A + 5 * DA / 2, O2 = A + 3 * DA;
    const SINGLE IX1 = RI * COSF(I1), IY1 = RI * SINF(I1), OX1 = R1 * COSF(A), OY1 = R1 * SINF(A);
    const SINGLE IX2 = RI * COSF(I2), IY2 = RI * SINF(I2), OX2 = R1 * COSF(O2), OY2 = R1 * SINF(O2);
    // Rim vertex first: the opposite order turns this face's front towards -z.
    LINEFREE(OX1, OY1, IX1, IY1, OX1, OY1, -W2, IX1, IY1, -W2, true);
    LINEFREE(OX2, OY2, IX2, IY2, OX2, OY2, -W2, IX2, IY2, -W2, true);
  }
  glEnd();

  // Recorded into a list, this switches the caller's shade model from here on.
  glShadeModel(GL_SMOOTH);

  glBegin(GL_QUAD_STRIP);
  for (std::int64_t I = 0; I <= TEETH; I++) {
    SINGLE A;
    if (!SEGMENT(I, A)) break;
    const SINGLE F = A + DA / 2;
    glNormal3f(R1 * COSF(A), R1 * SINF(A), 0);
    LINEFREE((W2 + F) * R1, W2, (W2 + A) * R1, -W2, R1 * COSF(F), R1 * SINF(F), W2, R1 * COSF(A),
             R1 * SINF(A), -W2, true);
  }
  glEnd();

  glBegin(GL_QUAD_STRIP);
  LONGINT STEPS;
  if (!CHECKEDMUL(2, TEETH, STEPS, "SUPPORTOASSE inner wall")) STEPS = -1; // no inner wall
  for (std::int64_t I = 0; I <= STEPS; I++) {
    const SINGLE A = SINGLE(I * PI / TEETH + DA / 2);
    const SINGLE CX = COSF(A), SY = SINF(A);
    glNormal3f(-CX, -SY, 0);
    LINEFREE((W2 + A) * RI, -W2, (W2 + A) * RI, W2, RI * CX, RI * SY, -W2, RI * CX, RI * SY, W2,
             true);
  }
  glEnd();

  glPopMatrix();
}

} // namespace vantrel
