#include "tests/support/gl_fixture.h"
#include "vantrel/window/navigation.h"

#include <array>

namespace vantrel::test {
namespace {

using NavigationTest = GLTest;

// Where the current model-view matrix takes a point.
std::array<float, 3> apply(float x, float y, float z) {
  GLfloat m[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, m);
  return {m[0] * x + m[4] * y + m[8] * z + m[12], m[1] * x + m[5] * y + m[9] * z + m[13],
          m[2] * x + m[6] * y + m[10] * z + m[14]};
}

void expect_point(std::array<float, 3> got, float x, float y, float z) {
  EXPECT_NEAR(got[0], x, 1e-5);
  EXPECT_NEAR(got[1], y, 1e-5);
  EXPECT_NEAR(got[2], z, 1e-5);
}

TEST_F(NavigationTest, ZeroNavigationLeavesTheMatrixAndSetsTheSpeed) {
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  SETGLMOUSEMOVE(GL_MX, 2);
  EXPECT_EQ(MSPEED, 2);
  expect_point(apply(1, 2, 3), 1, 2, 3);
}

TEST_F(NavigationTest, EachModeTranslatesThenTurnsAboutItsAxes) {
  struct mode_case {
    LONGINT mode;
    std::array<float, 3> my;       // the translation for DEPTH = -4
    std::array<float, 3> x_turned; // where (1, 0, 0) goes with XROT = 90 only
    std::array<float, 3> y_turned; // where (1, 0, 0) goes with YROT = 90 only
  };
  const mode_case cases[] = {
      {GL_M0, {0, 0, 4}, {1, 0, 0}, {0, 0, -1}},  // about x, then about y
      {GL_MX, {0, 4, 0}, {1, 0, 0}, {0, 1, 0}},   // about x, then about z
      {GL_MY, {4, 0, 0}, {0, -1, 0}, {0, 0, -1}}, // about -z, then about y
      {GL_MZ, {0, 0, 4}, {0, 0, -1}, {1, 0, 0}},  // about y, then about x
  };
  for (const mode_case &c : cases) {
    SCOPED_TRACE(c.mode);
    glLoadIdentity();
    DEPTH = -4, XROT = 0, YROT = 0;
    SETGLMOUSEMOVE(c.mode, 1);
    EXPECT_FLOAT_EQ(MY.X, c.my[0]);
    EXPECT_FLOAT_EQ(MY.Y, c.my[1]);
    EXPECT_FLOAT_EQ(MY.Z, c.my[2]);
    expect_point(apply(0, 0, 0), c.my[0], c.my[1], c.my[2]);
    for (int which = 0; which < 2; which++) {
      glLoadIdentity();
      DEPTH = 0, XROT = which == 0 ? 90 : 0, YROT = which == 1 ? 90 : 0;
      SETGLMOUSEMOVE(c.mode, 1);
      auto want = which == 0 ? c.x_turned : c.y_turned;
      expect_point(apply(1, 0, 0), want[0], want[1], want[2]);
    }
  }
}

TEST_F(NavigationTest, TheSecondTurnActsFirstOnThePoint) {
  glLoadIdentity();
  DEPTH = 0, XROT = 90, YROT = 90;
  SETGLMOUSEMOVE(GL_MX, 1);
  // (1, 0, 0) turned about z to (0, 1, 0), then about x to (0, 0, 1).
  expect_point(apply(1, 0, 0), 0, 0, 1);
}

TEST_F(NavigationTest, UnknownModeOnlySetsTheSpeed) {
  glLoadIdentity();
  MY = {1, 2, 3};
  DEPTH = 5, XROT = 30;
  SETGLMOUSEMOVE(5, 3);
  EXPECT_EQ(MSPEED, 3);
  EXPECT_FLOAT_EQ(MY.Y, 2);
  expect_point(apply(1, 1, 1), 1, 1, 1);
}

} // namespace
} // namespace vantrel::test
