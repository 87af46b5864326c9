#include "vantrel/geometry/box.h"

#include "vantrel/geometry/normals.h"
#include "vantrel/gl.h"
#include "vantrel/globals.h"

namespace vantrel {

namespace {
struct corner {
  SINGLE X, Y, Z; // position
  SINGLE S, T;    // texture coordinate
};

// One face: the normal from its first three corners, then the corners as two vertex pairs.
void FACE(const corner &A, const corner &B, const corner &C, const corner &D) {
  FINDNORMAL(A.X, A.Y, A.Z, B.X, B.Y, B.Z, C.X, C.Y, C.Z);
  glNormal3f(SINGLE(FNORMAL[1]), SINGLE(FNORMAL[2]), SINGLE(FNORMAL[3]));
  LINEFREE(A.S, A.T, B.S, B.T, A.X, A.Y, A.Z, B.X, B.Y, B.Z, true);
  LINEFREE(C.S, C.T, D.S, D.T, C.X, C.Y, C.Z, D.X, D.Y, D.Z, true);
}
} // namespace

void CUBO(SINGLE X, SINGLE Y, SINGLE Z, SINGLE SX, SINGLE SY, SINGLE SZ) {
  const SINGLE X0 = X - SX, X1 = X + SX;
  const SINGLE Y0 = Y - SY, Y1 = Y + SY;
  const SINGLE Z0 = Z - SZ, Z1 = Z + SZ;
  glBegin(GL_QUADS);
  // Corners run counter-clockwise seen from outside; texture coordinates depend only on size.
  FACE({X0, Y0, Z1, 0, 0}, {X1, Y0, Z1, SX, 0}, {X1, Y1, Z1, SX, SY}, {X0, Y1, Z1, 0, SY});
  FACE({X0, Y0, Z0, SX, 0}, {X0, Y1, Z0, SX, SY}, {X1, Y1, Z0, 0, SY}, {X1, Y0, Z0, 0, 0});
  FACE({X0, Y1, Z0, 0, SZ}, {X0, Y1, Z1, 0, 0}, {X1, Y1, Z1, SX, 0}, {X1, Y1, Z0, SX, SZ});
  FACE({X0, Y0, Z0, SX, SZ}, {X1, Y0, Z0, 0, SZ}, {X1, Y0, Z1, 0, 0}, {X0, Y0, Z1, SX, 0});
  FACE({X1, Y0, Z0, SZ, 0}, {X1, Y1, Z0, SZ, SY}, {X1, Y1, Z1, 0, SY}, {X1, Y0, Z1, 0, 0});
  FACE({X0, Y0, Z0, 0, 0}, {X0, Y0, Z1, SZ, 0}, {X0, Y1, Z1, SZ, SY}, {X0, Y1, Z0, 0, SY});
  glEnd();
}

} // namespace vantrel
