// The 3-D and 2-D view set-ups: matrices, clear values and the state each leaves.
#include <cmath>
#include <numbers>

#include "tests/support/gl_fixture.h"
#include "vantrel/render/projection.h"

namespace vantrel::test {
namespace {

class ProjectionTest : public GLTest {};

void expect_matrix(GLenum which, const double (&want)[16], double tol) {
  GLdouble m[16];
  glGetDoublev(which, m);
  for (int i = 0; i < 16; i++)
    EXPECT_NEAR(m[i], want[i], tol) << "element " << i;
}

const double identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

TEST_F(ProjectionTest, PerspectiveViewAndItsFixedState) {
  glClearDepth(0.25);
  glMatrixMode(GL_TEXTURE); // must end in model-view mode with the identity
  OPENGL_INIT(1000.0, 0, 0, 0, 0);
  const double f = 1 / std::tan(22.5 * std::numbers::pi / 180), n = 0.1, far = 1000;
  const double want[16] = {
      f / (4.0 / 3.0),         0, 0, 0, 0, f, 0, 0, 0, 0, (far + n) / (n - far), -1, 0, 0,
      2 * far * n / (n - far), 0};
  expect_matrix(GL_PROJECTION_MATRIX, want, 1e-5);
  expect_matrix(GL_MODELVIEW_MATRIX, identity, 0);
  EXPECT_EQ(get_int(GL_MATRIX_MODE), GL_MODELVIEW);
  GLint vp[4];
  glGetIntegerv(GL_VIEWPORT, vp);
  EXPECT_EQ(vp[2], 800);
  EXPECT_EQ(vp[3], 600);
  GLfloat c[4];
  glGetFloatv(GL_COLOR_CLEAR_VALUE, c);
  EXPECT_EQ(c[0] + c[1] + c[2] + c[3], 0);
  EXPECT_FLOAT_EQ(get_float(GL_DEPTH_CLEAR_VALUE), 1.0f) << "1000 clamps to 1";
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
  EXPECT_EQ(get_int(GL_DEPTH_FUNC), GL_LEQUAL);
  glGetFloatv(GL_CURRENT_COLOR, c);
  EXPECT_FLOAT_EQ(c[0], 1);
  EXPECT_FLOAT_EQ(c[3], 0.5f);
  EXPECT_EQ(get_int(GL_BLEND_SRC), GL_SRC_ALPHA);
  EXPECT_EQ(get_int(GL_BLEND_DST), GL_ONE);
  EXPECT_FALSE(glIsEnabled(GL_BLEND)) << "blending is the cartoon effect's to switch";
  EXPECT_EQ(get_int(GL_LIGHT_MODEL_LOCAL_VIEWER), GL_TRUE);
  EXPECT_EQ(get_int(GL_LINE_SMOOTH_HINT), GL_NICEST);
  EXPECT_EQ(get_int(GL_POLYGON_SMOOTH_HINT), GL_NICEST);
  EXPECT_EQ(get_int(GL_PERSPECTIVE_CORRECTION_HINT), GL_NICEST);
  EXPECT_TRUE(glIsEnabled(GL_AUTO_NORMAL));
  EXPECT_TRUE(glIsEnabled(GL_NORMALIZE));

  // A second call leaves the same projection.
  glTranslatef(1, 2, 3);
  OPENGL_INIT(1000.0, 0, 0, 0, 0);
  expect_matrix(GL_PROJECTION_MATRIX, want, 1e-5);
  expect_matrix(GL_MODELVIEW_MATRIX, identity, 0);
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(ProjectionTest, AlphaComesFirstAndSmallDepthsClearAsGiven) {
  OPENGL_INIT(1000.0, 1.0, 0.2, 0.4, 0.6);
  GLfloat c[4];
  glGetFloatv(GL_COLOR_CLEAR_VALUE, c);
  EXPECT_FLOAT_EQ(c[0], 0.2f);
  EXPECT_FLOAT_EQ(c[1], 0.4f);
  EXPECT_FLOAT_EQ(c[2], 0.6f);
  EXPECT_FLOAT_EQ(c[3], 1.0f);
  OPENGL_INIT(0.5, 0, 0, 0, 0);
  EXPECT_FLOAT_EQ(get_float(GL_DEPTH_CLEAR_VALUE), 0.5f);
}

TEST_F(ProjectionTest, OverlayMapsTwoUnitsToTheWindowEdgesAndKeepsOtherState) {
  OPENGL_INIT(1000.0, 0, 0, 0, 0);
  glClearDepth(0.75);
  glColor4f(0.1f, 0.2f, 0.3f, 0.4f);
  glBlendFunc(GL_ONE, GL_ZERO);
  glDepthFunc(GL_ALWAYS);
  glDisable(GL_NORMALIZE);
  glMatrixMode(GL_PROJECTION);
  OPENGL_I2D(1.0, 0.5, 0.25, 0.125);
  const double want[16] = {0.5, 0, 0, 0, 0, 1 / 1.5, 0, 0, 0, 0, -0.5, 0, 0, 0, 0, 1};
  expect_matrix(GL_PROJECTION_MATRIX, want, 1e-6);
  expect_matrix(GL_MODELVIEW_MATRIX, identity, 0);
  EXPECT_EQ(get_int(GL_MATRIX_MODE), GL_MODELVIEW);
  GLfloat c[4];
  glGetFloatv(GL_COLOR_CLEAR_VALUE, c);
  EXPECT_FLOAT_EQ(c[0], 0.5f);
  EXPECT_FLOAT_EQ(c[3], 1.0f);
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
  EXPECT_EQ(get_int(GL_DEPTH_FUNC), GL_LEQUAL);
  EXPECT_TRUE(glIsEnabled(GL_NORMALIZE));
  // Untouched: clear depth, current colour, blend factors.
  EXPECT_FLOAT_EQ(get_float(GL_DEPTH_CLEAR_VALUE), 0.75f);
  glGetFloatv(GL_CURRENT_COLOR, c);
  EXPECT_FLOAT_EQ(c[0], 0.1f);
  EXPECT_EQ(get_int(GL_BLEND_SRC), GL_ONE);
  EXPECT_EQ(get_int(GL_BLEND_DST), GL_ZERO);

  // The corners of the range land on the corners of the window.
  auto prims = capture_feedback([] {
    glBegin(GL_POINTS);
    glVertex2f(-2, -1.5f);
    glVertex2f(2, 1.5f);
    glEnd();
  });
  ASSERT_EQ(prims.size(), 2u);
  EXPECT_NEAR(prims[0].v[0].x, 0, 1e-3);
  EXPECT_NEAR(prims[0].v[0].y, 0, 1e-3);
  EXPECT_NEAR(prims[1].v[0].x, 800, 1e-3);
  EXPECT_NEAR(prims[1].v[0].y, 600, 1e-3);
}

TEST_F(ProjectionTest, OverlayStopsOnAnOverflowingHeight) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        // The window goes first so the leak checker has nothing to report at the exit.
        TearDown();
        window_ = dc_ = rc_ = 0;
        WIDTH = 800;
        HEIGHT = 1 << 30;
        OPENGL_I2D(0, 0, 0, 0);
      },
      ::testing::ExitedWithCode(215), "215");
}

class PortraitProjectionTest : public GLTest {
protected:
  void SetUp() override {
    width_ = 600;
    height_ = 800;
    GLTest::SetUp();
  }
};

TEST_F(PortraitProjectionTest, OverlayKeepsTheWindowsProportions) {
  OPENGL_I2D(0, 0, 0, 0);
  GLdouble m[16];
  glGetDoublev(GL_PROJECTION_MATRIX, m);
  EXPECT_NEAR(1 / m[5], 800.0 / 300.0, 1e-6) << "vertical range +-2.666";
  EXPECT_NEAR(m[0], 0.5, 1e-9);
  auto prims = capture_feedback([] {
    glBegin(GL_POINTS);
    glVertex2f(2, 8.0f / 3.0f);
    glEnd();
  });
  ASSERT_EQ(prims.size(), 1u);
  EXPECT_NEAR(prims[0].v[0].x, 600, 1e-2);
  EXPECT_NEAR(prims[0].v[0].y, 800, 1e-2);
}

} // namespace
} // namespace vantrel::test
