// The torus, the truncated cone and the ring: extents, counts, normals, winding and the
// count edge cases.
#include <algorithm>
#include <numbers>

#include "tests/geometry/mesh_capture.h"
#include "vantrel/geometry/revolved.h"

namespace vantrel::test {
namespace {

class RevolvedTest : public GLTest {};

struct extent {
  double rmin = 1e30, rmax = -1e30, zmin = 1e30, zmax = -1e30;
};
extent extent_of(const std::vector<triangle> &mesh) {
  extent e;
  for (const auto &t : mesh)
    for (const auto &c : t) {
      e.rmin = std::min(e.rmin, radius_xy(c.p));
      e.rmax = std::max(e.rmax, radius_xy(c.p));
      e.zmin = std::min(e.zmin, c.p.z);
      e.zmax = std::max(e.zmax, c.p.z);
    }
  return e;
}

vec3 unit(vec3 v) {
  double l = length(v);
  return {v.x / l, v.y / l, v.z / l};
}

TEST_F(RevolvedTest, TorusSpansItsTubeAndPointsItsNormalsAwayFromTheTubeCentre) {
  auto mesh = capture_mesh([] { TOROIDE(0, 0, 0, 0.4f, 1.75f, 20, 20); }, 3);
  // 20 strips of 21 pairs: 20 quads each, two triangles per quad.
  EXPECT_EQ(mesh.size(), 20u * 20u * 2u);
  auto e = extent_of(mesh);
  EXPECT_NEAR(e.rmin, 1.35, 1e-3);
  EXPECT_NEAR(e.rmax, 2.15, 1e-3);
  EXPECT_NEAR(e.zmin, -0.4, 1e-3);
  EXPECT_NEAR(e.zmax, 0.4, 1e-3);
  for (const auto &t : mesh) {
    EXPECT_TRUE(winds_around_its_normal(t));
    for (const auto &c : t) {
      double r = radius_xy(c.p);
      vec3 centre{c.p.x / r * 1.75, c.p.y / r * 1.75, 0};
      EXPECT_NEAR(length(unit(c.p - centre) - unit(c.n)), 0, 2e-3);
      EXPECT_NEAR(c.s, c.p.x, 1e-3) << "texture coordinate is the vertex's own x";
      EXPECT_NEAR(c.t, c.p.y, 1e-3);
    }
  }
  // Other counts: RINGS strips of SIDES quads.
  EXPECT_EQ(capture_mesh([] { TOROIDE(0, 0, 0, 0.4f, 1.75f, 5, 3); }, 3).size(), 3u * 5u * 2u);
}

TEST_F(RevolvedTest, ConeRunsFromTheBottomCircleToTheTopCircle) {
  auto mesh = capture_mesh([] { CONOTRONCO(0, 0, 0, 20, 1.5f, 2.0f, 2.0f); }, 3);
  EXPECT_EQ(mesh.size(), 41u * 2u) << "one strip of 84 vertices";
  const double DA = std::numbers::pi / 40;
  int first_bottom = 0;
  double last_s = 0;
  for (const auto &t : mesh) {
    EXPECT_TRUE(winds_around_its_normal(t));
    for (const auto &c : t) {
      bool top = c.p.z > 1;
      EXPECT_NEAR(c.p.z, top ? 2 : 0, 1e-4);
      EXPECT_NEAR(radius_xy(c.p), top ? 1.5 : 2.0, 1e-3);
      EXPECT_NEAR(c.n.z, 0, 1e-6) << "normals are horizontal";
      // A pair shares the normal of its bottom vertex; the top one lies DA/2 to either side.
      double off =
          std::remainder(std::atan2(c.p.y, c.p.x) - std::atan2(c.n.y, c.n.x), 2 * std::numbers::pi);
      EXPECT_NEAR(std::abs(off), top ? DA / 2 : 0, 1e-3);
      EXPECT_NEAR(c.t, top ? 3 : 0, 1e-6);
      last_s = std::max(last_s, c.s);
      if (length(c.p - vec3{2, 0, 0}) < 1e-3) {
        first_bottom++;
        EXPECT_FLOAT_EQ(c.s, 0);
        EXPECT_FLOAT_EQ(c.t, 0);
      }
    }
  }
  EXPECT_GT(first_bottom, 0) << "the first bottom vertex is (2, 0, 0)";
  // s is twice the angle: the last step starts at 2 pi 20 / 20.1 and its last vertex is 3 DA on.
  EXPECT_NEAR(last_s, 2 * (2 * std::numbers::pi * 20 / 20.1 + 3 * DA), 1e-4);
}

TEST_F(RevolvedTest, ShaftIsACylinderOfRimRadiusAndSwitchesToSmoothShading) {
  glShadeModel(GL_FLAT);
  auto mesh = capture_mesh([] { SUPPORTOASSE(0, 0, 0, 32, 0, 1.5f, 20); }, 12);
  // End faces 132 vertices each, rim 66, inner wall 130: 65 + 65 + 32 + 64 quads.
  ASSERT_EQ(mesh.size(), (65u + 65u + 32u + 64u) * 2u);
  auto e = extent_of(mesh);
  EXPECT_NEAR(e.rmax, 1.35, 1e-3);
  EXPECT_NEAR(e.zmin, -10, 1e-3);
  EXPECT_NEAR(e.zmax, 10, 1e-3);
  for (std::size_t i = 0; i < 260; i++)
    for (const auto &c : mesh[i]) {
      const double side = i < 130 ? 1 : -1; // the front face, then the back face
      EXPECT_NEAR(c.p.z, 10 * side, 1e-3);
      EXPECT_NEAR(c.n.z, side, 1e-6);
      EXPECT_NEAR(c.s, c.p.x, 1e-3) << "an end face's coordinate is its vertex's x and y";
      EXPECT_NEAR(c.t, c.p.y, 1e-3);
    }
  for (std::size_t i = 260; i < 324; i++)
    for (const auto &c : mesh[i]) {
      EXPECT_NEAR(radius_xy(c.p), 1.35, 1e-3) << "rim";
      // Along the rim s is (W/2 + angle) R1, up it t is the height.
      double angle = c.s / 1.35 - 10;
      EXPECT_NEAR(std::remainder(angle - std::atan2(c.p.y, c.p.x), 2 * std::numbers::pi), 0, 1e-3);
      EXPECT_NEAR(c.t, c.p.z, 1e-3);
    }
  for (std::size_t i = 324; i < mesh.size(); i++)
    for (const auto &c : mesh[i]) {
      EXPECT_NEAR(radius_xy(c.p), 0, 1e-3) << "inner wall on the axis";
      EXPECT_NEAR(c.t, c.p.z, 1e-3);
    }
  for (const auto &t : mesh)
    if (has_area(t)) {
      EXPECT_TRUE(winds_around_its_normal(t));
    }

  // The capture restores the shade model, so look at it after a plain call.
  SUPPORTOASSE(0, 0, 0, 32, 0, 1.5f, 20);
  GLint model = 0;
  glGetIntegerv(GL_SHADE_MODEL, &model);
  EXPECT_EQ(model, GL_SMOOTH);
}

TEST_F(RevolvedTest, RingFacesPointOutwardsAndItsInnerWallTowardsTheAxis) {
  auto mesh = capture_mesh([] { SUPPORTOASSE(0, 0, 0, 8, 0.5f, 1.5f, 2); }, 3);
  ASSERT_EQ(mesh.size(), (17u + 17u + 8u + 16u) * 2u);
  int inner = 0;
  for (const auto &t : mesh) {
    ASSERT_TRUE(has_area(t));
    EXPECT_TRUE(winds_around_its_normal(t));
    if (radius_xy(t[0].p) < 0.6 && radius_xy(t[1].p) < 0.6 && radius_xy(t[2].p) < 0.6) {
      inner++;
      vec3 mid = t[0].p + t[1].p + t[2].p;
      EXPECT_LT(dot(mid, t[0].n), 0) << "inner wall faces the axis";
    }
  }
  EXPECT_EQ(inner, 32);
}

TEST_F(RevolvedTest, NormalsDoNotDependOnThePosition) {
  auto same = [](const std::function<void(float, float, float)> &draw) {
    auto a = capture_mesh([&] { draw(0, 0, 0); }, 12);
    auto b = capture_mesh([&] { draw(2.5f, -1.5f, 3); }, 12);
    ASSERT_EQ(a.size(), b.size());
    ASSERT_FALSE(a.empty());
    for (std::size_t i = 0; i < a.size(); i++)
      for (int k = 0; k < 3; k++) {
        EXPECT_NEAR(length(a[i][k].n - b[i][k].n), 0, 1e-6);
        EXPECT_NEAR(length(b[i][k].p - a[i][k].p - vec3{2.5, -1.5, 3}), 0, 2e-3);
      }
  };
  same([](float x, float y, float z) { TOROIDE(x, y, z, 0.4f, 1.25f, 12, 10); });
  same([](float x, float y, float z) { CONOTRONCO(x, y, z, 20, 1.5f, 2, 2); });
  same([](float x, float y, float z) { SUPPORTOASSE(x, y, z, 16, 0.3f, 1.5f, 4); });
}

TEST_F(RevolvedTest, LeaveTheMatrixAndItsStackAsTheyFoundThem) {
  glMatrixMode(GL_MODELVIEW);
  glTranslatef(1, 2, 3);
  glRotatef(30, 0, 1, 0);
  GLdouble before[16], after[16];
  GLint depth_before = 0, depth_after = 0;
  glGetDoublev(GL_MODELVIEW_MATRIX, before);
  glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth_before);
  TOROIDE(5, 6, 7, 0.4f, 1.75f, 20, 20);
  CONOTRONCO(5, 6, 7, 20, 1.5f, 2, 2);
  SUPPORTOASSE(5, 6, 7, 32, 0, 1.5f, 20);
  glGetDoublev(GL_MODELVIEW_MATRIX, after);
  glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth_after);
  EXPECT_EQ(depth_after, depth_before);
  for (int i = 0; i < 16; i++)
    EXPECT_DOUBLE_EQ(after[i], before[i]);
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(RevolvedTest, ZeroCountDrawsNothingAndIssuesNoCall) {
  glShadeModel(GL_FLAT);
  EXPECT_TRUE(capture_geometry([] {
                TOROIDE(0, 0, 0, 0.4f, 1.75f, 0, 20);
                TOROIDE(0, 0, 0, 0.4f, 1.75f, 20, 0);
                CONOTRONCO(0, 0, 0, 0, 1.5f, 2, 2);
                SUPPORTOASSE(0, 0, 0, 0, 0, 1.5f, 20);
              }).empty());
  // Inside glBegin/glEnd any matrix, glBegin or shade-model call would raise an error.
  glBegin(GL_POINTS);
  TOROIDE(0, 0, 0, 0.4f, 1.75f, 0, 20);
  TOROIDE(0, 0, 0, 0.4f, 1.75f, 20, 0);
  CONOTRONCO(0, 0, 0, 0, 1.5f, 2, 2);
  SUPPORTOASSE(0, 0, 0, 0, 0, 1.5f, 20);
  glEnd();
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
  GLint model = 0;
  glGetIntegerv(GL_SHADE_MODEL, &model);
  EXPECT_EQ(model, GL_FLAT);
}

TEST_F(RevolvedTest, NegativeCountGivesEmptyStrips) {
  glShadeModel(GL_FLAT);
  GLint depth_before = 0, depth_after = 0;
  glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth_before);
  EXPECT_TRUE(capture_geometry([] {
                TOROIDE(0, 0, 0, 0.4f, 1.75f, -3, 20);
                TOROIDE(0, 0, 0, 0.4f, 1.75f, 20, -3);
                CONOTRONCO(0, 0, 0, -5, 1.5f, 2, 2);
                SUPPORTOASSE(0, 0, 0, -7, 0, 1.5f, 20);
              }).empty());
  SUPPORTOASSE(0, 0, 0, -7, 0, 1.5f, 20);
  glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth_after);
  EXPECT_EQ(depth_after, depth_before);
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
  GLint model = 0;
  glGetIntegerv(GL_SHADE_MODEL, &model);
  EXPECT_EQ(model, GL_SMOOTH) << "the empty ring still runs its steps";
}

} // namespace
} // namespace vantrel::test
