// Face normals from three points and the textured vertex pair.
#include <cmath>

#include "tests/support/gl_fixture.h"
#include "vantrel/geometry/normals.h"

namespace vantrel::test {
namespace {

void expect_normal(double x, double y, double z) {
  EXPECT_DOUBLE_EQ(FNORMAL[1], x);
  EXPECT_DOUBLE_EQ(FNORMAL[2], y);
  EXPECT_DOUBLE_EQ(FNORMAL[3], z);
}

TEST(FindNormal, FollowsTheRightHandRuleAndHasUnitLength) {
  FINDNORMAL(0, 0, 0, 1, 0, 0, 1, 1, 0);
  expect_normal(0, 0, 1);
  FINDNORMAL(0, 0, 0, 1, 1, 0, 1, 0, 0); // second and third point exchanged
  expect_normal(0, 0, -1);
  FINDNORMAL(0, 0, 0, 2, 0, 0, 2, 0, 5); // a large triangle still gives a unit normal
  expect_normal(0, -1, 0);
  FINDNORMAL(1, 2, 3, 4, 6, 3, 4, 6, 8); // tilted plane, arbitrary size
  double len =
      std::sqrt(FNORMAL[1] * FNORMAL[1] + FNORMAL[2] * FNORMAL[2] + FNORMAL[3] * FNORMAL[3]);
  EXPECT_NEAR(len, 1.0, 1e-7);
  EXPECT_NEAR(FNORMAL[1], 0.8, 1e-7);
  EXPECT_NEAR(FNORMAL[2], -0.6, 1e-7);
  EXPECT_NEAR(FNORMAL[3], 0.0, 1e-7);
}

TEST(FindNormal, DegenerateTrianglesGiveExactlyZero) {
  FINDNORMAL(0, 0, 1, 0, 0, 1, 0, 0, 1); // three equal points
  expect_normal(0, 0, 0);
  FINDNORMAL(5, 5, 5, 2, 5, 5, 2, 5, 5); // a previous result must not leak through
  expect_normal(0, 0, 0);
  FINDNORMAL(0, 0, 0, 1, 2, 3, 2, 4, 6); // on one line
  expect_normal(0, 0, 0);
  EXPECT_EQ(FNORMAL[0], 0.0) << "element 0 is not part of the result";
}

class LineFreeTest : public GLTest {};

TEST_F(LineFreeTest, SendsTexCoordsOnlyWhenAsked) {
  auto textured = capture_geometry(
      [] {
        glTexCoord2f(9, 9);
        glBegin(GL_LINES);
        LINEFREE(0.25f, 0.5f, 0.75f, 1.0f, 1, 2, 3, 4, 5, 6, true);
        glEnd();
      },
      10);
  ASSERT_EQ(textured.size(), 1u);
  ASSERT_EQ(textured[0].v.size(), 2u);
  const auto &a = textured[0].v[0], &b = textured[0].v[1];
  EXPECT_NEAR(a.x, 1, 1e-3);
  EXPECT_NEAR(a.y, 2, 1e-3);
  EXPECT_NEAR(a.z, 3, 1e-3);
  EXPECT_FLOAT_EQ(a.s, 0.25f);
  EXPECT_FLOAT_EQ(a.t, 0.5f);
  EXPECT_NEAR(b.x, 4, 1e-3);
  EXPECT_NEAR(b.y, 5, 1e-3);
  EXPECT_NEAR(b.z, 6, 1e-3);
  EXPECT_FLOAT_EQ(b.s, 0.75f);
  EXPECT_FLOAT_EQ(b.t, 1.0f);

  auto plain = capture_geometry(
      [] {
        glTexCoord2f(9, 8);
        glBegin(GL_LINES);
        LINEFREE(0.25f, 0.5f, 0.75f, 1.0f, 1, 2, 3, 4, 5, 6, false);
        glEnd();
      },
      10);
  ASSERT_EQ(plain.size(), 1u);
  for (const auto &v : plain[0].v) { // both keep the coordinate current before the pair
    EXPECT_FLOAT_EQ(v.s, 9);
    EXPECT_FLOAT_EQ(v.t, 8);
  }
  EXPECT_NEAR(plain[0].v[1].x, 4, 1e-3);
  // Without texture the pair leaves the current coordinate alone.
  glTexCoord2f(3, 4);
  glBegin(GL_LINES);
  LINEFREE(0.25f, 0.5f, 0.75f, 1.0f, 1, 2, 3, 4, 5, 6, false);
  glEnd();
  GLfloat current[4];
  glGetFloatv(GL_CURRENT_TEXTURE_COORDS, current);
  EXPECT_FLOAT_EQ(current[0], 3);
  EXPECT_FLOAT_EQ(current[1], 4);
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

} // namespace
} // namespace vantrel::test
