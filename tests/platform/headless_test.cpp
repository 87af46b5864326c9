// The headless backend as the framework relies on it: a real GL context, the Win32-ordered
// queue and default processing.
#include "tests/support/gl_fixture.h"

namespace vantrel::test {
namespace {

class HeadlessTest : public GLTest {};

TEST_F(HeadlessTest, ContextIsCompatibilityProfileOnTheWindowSize) {
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[2], 800);
  EXPECT_EQ(viewport[3], 600);
  glBegin(GL_QUADS); // immediate mode needs a compatibility context
  glEnd();
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
  glClearColor(0, 1, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  auto px = read_pixels(800, 600);
  EXPECT_EQ(px[799 * 4 + 1], 255);
  EXPECT_EQ(px[(599 * 800 + 799) * 4 + 0], 0);
}

TEST_F(HeadlessTest, QueueHandsOutPostedMessagesInOrderThenPaint) {
  ASSERT_TRUE(platform::PostMessageA(window_, WM_KEYDOWN, 'A', 0));
  ASSERT_TRUE(platform::PostMessageA(window_, WM_KEYUP, 'A', 0));
  TMSG m;
  ASSERT_TRUE(platform::PeekMessageA(&m, 0, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(m.MESSAGE, WM_KEYDOWN);
  ASSERT_EQ(platform::GetMessageA(&m, 0, 0, 0), 1);
  EXPECT_EQ(m.MESSAGE, WM_KEYDOWN);
  EXPECT_TRUE(platform::TranslateMessage(&m));
  ASSERT_EQ(platform::GetMessageA(&m, 0, 0, 0), 1);
  EXPECT_EQ(m.MESSAGE, WM_KEYUP);
  EXPECT_TRUE(platform::TranslateMessage(&m)) << "nonzero for key-ups too, as on Win32";
  const TMSG move{window_, WM_MOUSEMOVE, 0, 0, 0, {}};
  EXPECT_FALSE(platform::TranslateMessage(&move));
  ASSERT_EQ(platform::GetMessageA(&m, 0, 0, 0), 1);
  EXPECT_EQ(m.MESSAGE, WM_CHAR);
  EXPECT_EQ(m.WPARAM, TWPARAM('a'));
  // Nothing posted is left; the new window still wants its first paint.
  ASSERT_TRUE(platform::PeekMessageA(&m, 0, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.MESSAGE, WM_PAINT);
  platform::DispatchMessageA(&m); // default processing validates it
  EXPECT_FALSE(platform::PeekMessageA(&m, 0, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(platform::GetMessageA(&m, 0, 0, 0), 0) << "an empty queue ends a waiting loop";
  EXPECT_EQ(m.MESSAGE, WM_QUIT);
  EXPECT_EQ(platform::GetMessageA(&m, THANDLE(0x7FFFFFF0), 0, 0), -1) << "no such window";
  // The quit message passes every filter; a window filter takes the children's messages.
  THANDLE child =
      platform::CreateWindowExA(0, "VantrelTest", "", WS_CHILD, 0, 0, 8, 8, window_, 0, 0, nullptr);
  platform::PostMessageA(child, WM_USER, 0, 0);
  ASSERT_TRUE(platform::PeekMessageA(&m, window_, WM_USER, WM_USER, PM_REMOVE));
  EXPECT_EQ(m.HWND, child);
  platform::PostQuitMessage(7);
  EXPECT_EQ(platform::GetMessageA(&m, window_, WM_KEYDOWN, WM_KEYUP), 0);
  EXPECT_EQ(m.WPARAM, 7u);
}

TEST_F(HeadlessTest, CloseAndAltF4DestroyThroughDefaultProcessing) {
  TRECT r;
  platform::SendMessageA(window_, WM_SYSKEYDOWN, VK_F4, 0);
  TMSG m;
  EXPECT_FALSE(platform::PeekMessageA(&m, 0, WM_SYSCOMMAND, WM_SYSCOMMAND, PM_NOREMOVE))
      << "F4 without Alt closes nothing";
  // With Alt held the close command is posted, and taking it destroys the window.
  platform::SendMessageA(window_, WM_SYSKEYDOWN, VK_F4, TLPARAM(1) << 29);
  ASSERT_TRUE(platform::GetWindowRect(window_, &r));
  ASSERT_TRUE(platform::PeekMessageA(&m, 0, WM_SYSCOMMAND, WM_SYSCOMMAND, PM_REMOVE));
  EXPECT_EQ(m.WPARAM, TWPARAM(SC_CLOSE));
  platform::DispatchMessageA(&m);
  EXPECT_FALSE(platform::GetWindowRect(window_, &r));
  window_ = 0;
}

// The pointer's steps in a pop-up: a click on a grey item keeps the menu open, one on a pop-up
// item opens it, one on a command chooses it; a click outside, or no step at all, cancels.
TEST_F(HeadlessTest, ScriptedPointerStepsChooseFromPopupMenus) {
  using step = headless::menu_step;
  THANDLE menu = platform::CreatePopupMenu(), sub = platform::CreatePopupMenu();
  ASSERT_TRUE(platform::AppendMenuA(sub, MF_STRING, 11, "&One"));
  ASSERT_TRUE(platform::AppendMenuA(menu, MF_GRAYED, 1, "&Grey"));
  ASSERT_TRUE(platform::AppendMenuA(menu, MF_POPUP, sub, "&Sub"));
  headless::script_menu({{step::point, 0, 0},
                         {step::click},
                         {step::point, 1, 0},
                         {step::click},
                         {step::point, 0, 1},
                         {step::click}});
  EXPECT_EQ(platform::TrackPopupMenu(menu, TPM_RETURNCMD, 5, 5, 0, window_, nullptr), 11);
  headless::script_menu({{step::point, 1, 0}, {step::click_outside}, {step::click}});
  EXPECT_EQ(platform::TrackPopupMenu(menu, TPM_RETURNCMD, 5, 5, 0, window_, nullptr), 0);
  EXPECT_EQ(platform::TrackPopupMenu(menu, TPM_RETURNCMD, 5, 5, 0, window_, nullptr), 0)
      << "a step left from the last script, then none: cancelled";
  EXPECT_TRUE(platform::DestroyMenu(menu));
  EXPECT_FALSE(platform::DestroyMenu(sub)) << "the pop-up went with its menu";
}

// Scripted clicks of a CS_DBLCLKS class: the second press is a double click, the third a press
// again; a hidden window is not painted, nor its children.
TEST_F(HeadlessTest, DoubleClicksAndHiddenWindows) {
  TWNDCLASS cls;
  cls.STYLE = CS_DBLCLKS;
  cls.WNDPROC = platform::DefWindowProcA;
  cls.CLASSNAME = "Double";
  ASSERT_NE(platform::RegisterClassA(&cls), 0u);
  THANDLE w = platform::CreateWindowExA(0, "Double", "", WS_POPUP, 0, 0, 50, 50, 0, 0, 0, nullptr);
  TMSG m;
  while (platform::PeekMessageA(&m, 0, 0, 0, PM_REMOVE)) // the main window's first paint
    platform::DispatchMessageA(&m);
  for (LONGWORD message :
       {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDOWN})
    headless::input_mouse(w, message, 5, 5, 0);
  for (LONGWORD want :
       {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP, WM_LBUTTONDOWN}) {
    ASSERT_TRUE(platform::PeekMessageA(&m, w, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.MESSAGE, want);
  }
  EXPECT_FALSE(platform::PeekMessageA(&m, 0, 0, 0, PM_NOREMOVE)) << "a hidden window: no paint";
  platform::ShowWindow(w, SW_SHOWNORMAL);
  EXPECT_TRUE(platform::PeekMessageA(&m, 0, WM_PAINT, WM_PAINT, PM_NOREMOVE));
  platform::ShowWindow(w, 0);
  EXPECT_FALSE(platform::PeekMessageA(&m, 0, 0, 0, PM_NOREMOVE)) << "SW_HIDE hides";
  platform::CreateWindowExA(0, "Double", "", WS_CHILD | WS_VISIBLE, 0, 0, 9, 9, w, 0, 0, nullptr);
  EXPECT_FALSE(platform::PeekMessageA(&m, 0, 0, 0, PM_NOREMOVE)) << "nor its children";
}

TEST_F(HeadlessTest, ScriptedMessageBoxAnswersAndIsRecorded) {
  headless::script_message_box(IDNO);
  EXPECT_EQ(platform::MessageBoxA(0, "text", "Caption", MB_YESNO | MB_ICONQUESTION), IDNO);
  EXPECT_EQ(platform::MessageBoxA(0, "second", "Error", MB_OK), 0);
  ASSERT_EQ(headless::message_boxes().size(), 2u);
  EXPECT_EQ(headless::message_boxes()[0].caption, "Caption");
  EXPECT_EQ(headless::message_boxes()[0].style, 0x24u);
}

TEST_F(HeadlessTest, FeedbackReportsObjectCoordinates) {
  auto prims = capture_geometry([] {
    glBegin(GL_TRIANGLES);
    glTexCoord2f(0.25f, 0.5f);
    glVertex3f(10, 20, 30);
    glVertex3f(-40, 0, 0);
    glVertex3f(0, -50, -60);
    glEnd();
  });
  ASSERT_EQ(prims.size(), 1u);
  ASSERT_EQ(prims[0].v.size(), 3u);
  EXPECT_NEAR(prims[0].v[0].x, 10, 5e-3);
  EXPECT_NEAR(prims[0].v[0].y, 20, 5e-3);
  EXPECT_NEAR(prims[0].v[0].z, 30, 5e-3);
  EXPECT_NEAR(prims[0].v[2].z, -60, 5e-3);
  EXPECT_FLOAT_EQ(prims[0].v[1].s, 0.25f);
}

} // namespace
} // namespace vantrel::test
