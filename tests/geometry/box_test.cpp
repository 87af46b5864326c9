// The box: vertex layout, outward normals and size-only texture coordinates.
#include "tests/geometry/mesh_capture.h"
#include "vantrel/geometry/box.h"

namespace vantrel::test {
namespace {

class BoxTest : public GLTest {};

// The corners of face F (0-based), as the two triangles of its quad give them.
std::vector<corner> face_corners(const std::vector<triangle> &mesh, int f) {
  std::vector<corner> out;
  for (int k = 0; k < 2; k++)
    for (const auto &c : mesh[2 * f + k]) {
      bool seen = false;
      for (const auto &o : out)
        seen |= length(o.p - c.p) < 1e-4;
      if (!seen) out.push_back(c);
    }
  return out;
}

TEST_F(BoxTest, UnitBoxTopFaceComesFirstWithItsCornersAndCoordinates) {
  auto mesh = capture_mesh([] { CUBO(0, 0, 0, 1, 1, 1); }, 2);
  ASSERT_EQ(mesh.size(), 12u) << "six quads";
  auto top = face_corners(mesh, 0);
  ASSERT_EQ(top.size(), 4u);
  struct expected {
    vec3 p;
    double s, t;
  } want[4] = {{{-1, -1, 1}, 0, 0}, {{1, -1, 1}, 1, 0}, {{1, 1, 1}, 1, 1}, {{-1, 1, 1}, 0, 1}};
  for (const auto &w : want) {
    bool found = false;
    for (const auto &c : top)
      if (length(c.p - w.p) < 1e-4) {
        found = true;
        EXPECT_FLOAT_EQ(c.s, w.s);
        EXPECT_FLOAT_EQ(c.t, w.t);
        EXPECT_NEAR(c.n.x, 0, 1e-6);
        EXPECT_NEAR(c.n.y, 0, 1e-6);
        EXPECT_NEAR(c.n.z, 1, 1e-6);
      }
    EXPECT_TRUE(found) << "corner " << w.p.x << "," << w.p.y << "," << w.p.z;
  }
  // State left behind: the last face's normal and texture coordinate.
  CUBO(0, 0, 0, 1, 1, 1); // outside the capture, which restores the current values
  GLfloat n[4], tc[4];
  glGetFloatv(GL_CURRENT_NORMAL, n);
  glGetFloatv(GL_CURRENT_TEXTURE_COORDS, tc);
  EXPECT_FLOAT_EQ(n[0], -1);
  EXPECT_FLOAT_EQ(n[1], 0);
  EXPECT_FLOAT_EQ(n[2], 0);
  EXPECT_FLOAT_EQ(tc[0], 0);
  EXPECT_FLOAT_EQ(tc[1], 1);
  EXPECT_DOUBLE_EQ(FNORMAL[1], -1);
}

TEST_F(BoxTest, EveryFaceIsOutwardCounterClockwiseAndFlat) {
  auto mesh = capture_mesh([] { CUBO(1, 2, 3, 0.5f, 1.5f, 2.5f); }, 8);
  ASSERT_EQ(mesh.size(), 12u);
  const vec3 centre{1, 2, 3};
  const vec3 normals[6] = {{0, 0, 1}, {0, 0, -1}, {0, 1, 0}, {0, -1, 0}, {1, 0, 0}, {-1, 0, 0}};
  for (int f = 0; f < 6; f++)
    for (int k = 0; k < 2; k++) {
      const auto &t = mesh[2 * f + k];
      EXPECT_TRUE(winds_around_its_normal(t)) << "face " << f + 1;
      for (const auto &c : t) {
        EXPECT_NEAR(length(c.n - normals[f]), 0, 1e-6) << "face " << f + 1;
        EXPECT_GT(dot(c.p - centre, normals[f]), 0) << "corner on the outer side";
      }
    }
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
