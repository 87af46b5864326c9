// The box: vertex layout, outward normals and size-only texture coordinates.
#include "tests/geometry/mesh_capture.h"
#include "tests/support/gl_recorder.h"
#include "vantrel/geometry/box.h"

namespace vantrel::test {
namespace {

class BoxTest : public GLTest {};

// The six faces in their order, each with its normal and its corners as the box table gives
// them: a corner is its low (0) or high (1) side on each axis and its texture coordinate, each
// component 0 or the half-size along 'X', 'Y' or 'Z'.
struct corner_spec {
  int x, y, z;
  char s, t;
};
struct face_spec {
  float nx, ny, nz;
  corner_spec c[4];
};
const face_spec box_faces[6] = {
    {0, 0, 1, {{0, 0, 1, '0', '0'}, {1, 0, 1, 'X', '0'}, {1, 1, 1, 'X', 'Y'}, {0, 1, 1, '0', 'Y'}}},
    {0,
     0,
     -1,
     {{0, 0, 0, 'X', '0'}, {0, 1, 0, 'X', 'Y'}, {1, 1, 0, '0', 'Y'}, {1, 0, 0, '0', '0'}}},
    {0, 1, 0, {{0, 1, 0, '0', 'Z'}, {0, 1, 1, '0', '0'}, {1, 1, 1, 'X', '0'}, {1, 1, 0, 'X', 'Z'}}},
    {0,
     -1,
     0,
     {{0, 0, 0, 'X', 'Z'}, {1, 0, 0, '0', 'Z'}, {1, 0, 1, '0', '0'}, {0, 0, 1, 'X', '0'}}},
    {1, 0, 0, {{1, 0, 0, 'Z', '0'}, {1, 1, 0, 'Z', 'Y'}, {1, 1, 1, '0', 'Y'}, {1, 0, 1, '0', '0'}}},
    {-1,
     0,
     0,
     {{0, 0, 0, '0', '0'}, {0, 0, 1, 'Z', '0'}, {0, 1, 1, 'Z', 'Y'}, {0, 1, 0, '0', 'Y'}}}};

TEST_F(BoxTest, OneQuadPrimitiveOfSixFacesExactlyAsTheTableGivesThem) {
  const float X = 1, Y = 2, Z = 3, SX = 0.5f, SY = 1.5f, SZ = 2.5f;
  auto half = [&](char c) { return c == 'X' ? SX : c == 'Y' ? SY : c == 'Z' ? SZ : 0.0f; };
  calls want = {"glBegin(GL_QUADS)"};
  for (const face_spec &f : box_faces) {
    want.push_back(call("glNormal3f", {f.nx, f.ny, f.nz}));
    for (const corner_spec &c : f.c) {
      want.push_back(call("glTexCoord2f", {half(c.s), half(c.t)}));
      want.push_back(call("glVertex3f",
                          {c.x ? X + SX : X - SX, c.y ? Y + SY : Y - SY, c.z ? Z + SZ : Z - SZ}));
    }
  }
  want.push_back("glEnd()");
  EXPECT_TRUE(same_calls(record_gl([&] { CUBO(X, Y, Z, SX, SY, SZ); }), want));
  EXPECT_DOUBLE_EQ(FNORMAL[1], -1) << "the last face's normal stays in FNORMAL";
}

TEST_F(BoxTest, FloorSlabCoordinatesDependOnSizeOnly) {
  auto floor = capture_mesh([] { CUBO(0, 0, -5, 40, 20, 0.1f); }, 50);
  auto moved = capture_mesh([] { CUBO(7, -3, 11, 40, 20, 0.1f); }, 50);
  ASSERT_EQ(floor.size(), 12u);
  ASSERT_EQ(moved.size(), 12u);
  double max_s = 0, max_t = 0;
  for (int i = 0; i < 4; i++) // the two large faces
    for (const auto &c : floor[i]) {
      max_s = std::max(max_s, c.s);
      max_t = std::max(max_t, c.t);
    }
  EXPECT_FLOAT_EQ(max_s, 40);
  EXPECT_FLOAT_EQ(max_t, 20);
  for (const auto &c : floor[0])
    EXPECT_NEAR(c.p.z, -4.9, 1e-3) << "top face";
  for (std::size_t i = 0; i < floor.size(); i++)
    for (int k = 0; k < 3; k++) {
      EXPECT_FLOAT_EQ(moved[i][k].s, floor[i][k].s);
      EXPECT_FLOAT_EQ(moved[i][k].t, floor[i][k].t);
      vec3 d = moved[i][k].p - floor[i][k].p;
      EXPECT_NEAR(d.x, 7, 2e-3);
      EXPECT_NEAR(d.y, -3, 2e-3);
      EXPECT_NEAR(d.z, 16, 2e-3);
    }
}

// Sign of the normals relative to the outward direction: +1 outward, -1 inward.
int orientation(const std::vector<triangle> &mesh) {
  int out = 0, in = 0;
  for (const auto &t : mesh) {
    vec3 mid = t[0].p + t[1].p + t[2].p;
    double d = dot(mid, t[0].n);
    (d > 0 ? out : in)++;
    EXPECT_TRUE(winds_around_its_normal(t)) << "corners follow the normal";
  }
  EXPECT_TRUE(out == 0 || in == 0) << "mixed orientation";
  return out > 0 ? 1 : -1;
}

TEST_F(BoxTest, NegativeHalfSizesTurnTheBoxInsideOutOnlyForAnOddCount) {
  EXPECT_EQ(orientation(capture_mesh([] { CUBO(0, 0, 0, -1, 1, 1); }, 2)), -1);
  EXPECT_EQ(orientation(capture_mesh([] { CUBO(0, 0, 0, 1, -1, -1); }, 2)), 1);
  EXPECT_EQ(orientation(capture_mesh([] { CUBO(0, 0, 0, -1, -1, -1); }, 2)), -1);
}

TEST_F(BoxTest, ZeroHalfSizeGivesZeroNormalsOnTheCollapsedFaces) {
  auto mesh = capture_mesh([] { CUBO(0, 0, 0, 1, 0, 1); }, 2);
  ASSERT_EQ(mesh.size(), 12u);
  const bool collapsed[6] = {true, true, false, false, true, true}; // faces spanning Y
  for (int f = 0; f < 6; f++)
    for (const auto &c : mesh[2 * f])
      EXPECT_EQ(length(c.n) == 0, collapsed[f]) << "face " << f + 1;
  CUBO(0, 0, 0, 1, 0, 1);
  GLfloat n[4];
  glGetFloatv(GL_CURRENT_NORMAL, n);
  EXPECT_EQ(n[0], 0);
  EXPECT_EQ(n[1], 0);
  EXPECT_EQ(n[2], 0);
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

} // namespace
} // namespace vantrel::test
