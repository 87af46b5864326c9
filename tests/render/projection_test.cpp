// The 3-D and 2-D view set-ups, call by call, for windows of three shapes.
#include "tests/support/gl_fixture.h"
#include "tests/support/gl_recorder.h"
#include "vantrel/render/projection.h"

namespace vantrel::test {
namespace {

class ProjectionTest : public GLTest {};

TEST_F(ProjectionTest, BothViewsMakeExactlyTheirCalls) {
  struct window_case {
    LONGINT w, h;
    const char *perspective, *ortho;
  };
  const window_case windows[] = {
      {800, 600, "gluPerspective(45, 1.33333, 0.1, 1000)", "glOrtho(-2, 2, -1.5, 1.5, -2, 2)"},
      {600, 800, "gluPerspective(45, 0.75, 0.1, 1000)", "glOrtho(-2, 2, -2.66667, 2.66667, -2, 2)"},
      // 2 * 599 / 801 formed from integers, then divided in floating point.
      {801, 599, "gluPerspective(45, 1.33723, 0.1, 1000)",
       "glOrtho(-2, 2, -1.49563, 1.49563, -2, 2)"},
  };
  for (const window_case &c : windows) {
    SCOPED_TRACE(::testing::Message() << c.w << " x " << c.h);
    WIDTH = c.w, HEIGHT = c.h;
    const std::string viewport =
        "glViewport(0, 0, " + std::to_string(c.w) + ", " + std::to_string(c.h) + ")";
    // The first colour parameter is alpha; OpenGL takes it last.
    EXPECT_TRUE(same_calls(
        record_gl([] { OPENGL_INIT(1000.0, 0.25, 0.2, 0.4, 0.6); }),
        {"glClearColor(0.2, 0.4, 0.6, 0.25)", viewport, "glMatrixMode(GL_PROJECTION)",
         "glLoadIdentity()", c.perspective, "glMatrixMode(GL_MODELVIEW)", "glLoadIdentity()",
         "glClearDepth(1000)", "glEnable(GL_DEPTH_TEST)", "glDepthFunc(GL_LEQUAL)",
         "glColor4f(1, 1, 1, 0.5)", "glBlendFunc(GL_SRC_ALPHA, GL_ONE)",
         "glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, 1)", "glHint(GL_LINE_SMOOTH_HINT, GL_NICEST)",
         "glHint(GL_POLYGON_SMOOTH_HINT, GL_NICEST)",
         "glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST)", "glEnable(GL_AUTO_NORMAL)",
         "glEnable(GL_NORMALIZE)"}));
    EXPECT_TRUE(same_calls(
        record_gl([] { OPENGL_I2D(0.25, 0.2, 0.4, 0.6); }),
        {"glClearColor(0.2, 0.4, 0.6, 0.25)", viewport, "glMatrixMode(GL_PROJECTION)",
         "glLoadIdentity()", c.ortho, "glMatrixMode(GL_MODELVIEW)", "glLoadIdentity()",
         "glEnable(GL_DEPTH_TEST)", "glDepthFunc(GL_LEQUAL)", "glEnable(GL_NORMALIZE)"}));
  }
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

} // namespace
} // namespace vantrel::test
