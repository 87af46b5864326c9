// The navigation transform: the translation and the two turns of each mode, in their order; and
// the mouse capture that the drags feeding it hold.
#include "tests/support/gl_recorder.h"
#include "tests/window/window_fixture.h"
#include "vantrel/window/navigation.h"

namespace vantrel::test {
namespace {

using NavigationTest = GLTest;

TEST_F(NavigationTest, EachModeTranslatesThenTurnsInItsOrder) {
  struct mode_case {
    LONGINT mode;
    calls want; // with DEPTH -4, XROT 30, YROT 50
    TGLVERTEX my;
  };
  const mode_case cases[] = {
      {GL_M0,
       {"glTranslatef(0, 0, 4)", "glRotatef(30, 1, 0, 0)", "glRotatef(50, 0, 1, 0)"},
       {0, 0, 4}},
      {GL_MX,
       {"glTranslatef(0, 4, 0)", "glRotatef(30, 1, 0, 0)", "glRotatef(50, 0, 0, 1)"},
       {0, 4, 0}},
      {GL_MY,
       {"glTranslatef(4, 0, 0)", "glRotatef(30, 0, 0, -1)", "glRotatef(50, 0, 1, 0)"},
       {4, 0, 0}},
      {GL_MZ,
       {"glTranslatef(0, 0, 4)", "glRotatef(30, 0, 1, 0)", "glRotatef(50, 1, 0, 0)"},
       {0, 0, 4}},
      {5, {}, {7, 8, 9}}, // unknown: MY keeps its value, nothing is multiplied
      {-1, {}, {7, 8, 9}},
  };
  for (const mode_case &c : cases) {
    SCOPED_TRACE(c.mode);
    MY = {7, 8, 9};
    DEPTH = -4, XROT = 30, YROT = 50, MSPEED = 0;
    EXPECT_TRUE(same_calls(record_gl([&] { SETGLMOUSEMOVE(c.mode, 3); }), c.want));
    EXPECT_EQ(MSPEED, 3) << "the speed is set in every mode";
    EXPECT_FLOAT_EQ(MY.X, c.my.X);
    EXPECT_FLOAT_EQ(MY.Y, c.my.Y);
    EXPECT_FLOAT_EQ(MY.Z, c.my.Z);
  }
  // The model-view matrix is what is multiplied: the first turn is applied last to a point.
  glLoadIdentity();
  DEPTH = 0, XROT = 90, YROT = 90;
  SETGLMOUSEMOVE(GL_MX, 2);
  GLfloat m[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, m);
  EXPECT_NEAR(m[2], 1, 1e-6) << "(1, 0, 0) turns about z to (0, 1, 0), then about x to (0, 0, 1)";
}

// Either button's press takes the capture for the main window; either button's release lets
// it go, even while the other is still held.
using DragCaptureTest = WindowTest;

TEST_F(DragCaptureTest, EitherPressCapturesEitherReleaseLetsGo) {
  open();
  const THANDLE other =
      platform::CreateWindowExA(0, "GLWindow", "other", WS_POPUP, 0, 0, 10, 10, 0, 0, 0, nullptr);
  enum holder { NONE, MAIN, OTHER };
  struct step {
    LONGWORD message;
    TWPARAM wparam;
    holder before, after;
  };
  const step steps[] = {
      {WM_LBUTTONDOWN, MK_LBUTTON, OTHER, MAIN},
      {WM_RBUTTONDOWN, MK_LBUTTON | MK_RBUTTON, OTHER, MAIN},
      {WM_MOUSEMOVE, MK_LBUTTON | MK_RBUTTON, MAIN, MAIN},
      {WM_RBUTTONUP, MK_LBUTTON, MAIN, NONE}, // the left button is still held
      {WM_LBUTTONUP, MK_RBUTTON, MAIN, NONE}, // the right button is still held
      {WM_LBUTTONUP, 0, MAIN, NONE},
  };
  auto window = [&](holder h) { return h == MAIN ? HWINDOW : h == OTHER ? other : THANDLE(0); };
  for (const step &s : steps) {
    SCOPED_TRACE(::testing::Message() << "message " << s.message << ", wParam " << s.wparam);
    platform::SetCapture(window(s.before));
    send(s.message, s.wparam, xy(10, 10));
    EXPECT_EQ(headless::capture(), window(s.after));
  }
}

} // namespace
} // namespace vantrel::test
