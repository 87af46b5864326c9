// Face normals from three points and the textured vertex pair.
#include <cmath>

#include "tests/support/gl_fixture.h"
#include "tests/support/gl_recorder.h"
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

TEST_F(LineFreeTest, EmitsTheCoordinateBeforeEachVertexOnlyWhenAsked) {
  auto pair = [](bool texture) {
    return record_gl([=] { LINEFREE(0.25f, 0.5f, 0.75f, 1, 1, 2, 3, 4, 5, 6, texture); });
  };
  EXPECT_TRUE(same_calls(pair(true), {"glTexCoord2f(0.25, 0.5)", "glVertex3f(1, 2, 3)",
                                      "glTexCoord2f(0.75, 1)", "glVertex3f(4, 5, 6)"}));
  EXPECT_TRUE(same_calls(pair(false), {"glVertex3f(1, 2, 3)", "glVertex3f(4, 5, 6)"}));
}

} // namespace
} // namespace vantrel::test
