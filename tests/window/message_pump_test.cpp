#include "tests/window/window_fixture.h"

#include <functional>
#include <vector>

namespace vantrel::test {
namespace {

class PumpTest : public WindowTest {
protected:
  void SetUp() override {
    WindowTest::SetUp();
    open(false);
    TMSG m; // the first paint is handled like any message; clear it out of the way
    while (platform::PeekMessageA(&m, 0, 0, 0, PM_NOREMOVE))
      SETGLMSG();
  }
};

TEST_F(PumpTest, OneMessagePerCallAndNeverWaits) {
  for (int i = 0; i < 10; i++)
    platform::PostMessageA(HWINDOW, WM_MOUSEMOVE, 0, xy(i, 2 * i));
  for (int i = 0; i < 10; i++) {
    SETGLMSG();
    EXPECT_EQ(SETOMX, i) << "call " << i << " hands on exactly one message";
    TMSG next;
    ASSERT_EQ(bool(platform::PeekMessageA(&next, 0, 0, 0, PM_NOREMOVE)), i < 9);
    if (i < 9) {
      EXPECT_EQ(next.LPARAM, xy(i + 1, 2 * i + 2)) << "the next one still waits";
    }
  }
  SETGLMSG(); // an empty queue returns at once
  EXPECT_EQ(MSG_.LPARAM, xy(9, 18));
}

// Device input, queued as Win32 queues it: at most one pending move (the newest position),
// auto-repeats folded into the key-down still waiting, posted messages ahead of input, then the
// quit message ahead of input, then paint. Each row is a script and what comes out, in order.
TEST_F(PumpTest, DeviceInputIsQueuedByWin32Rules) {
  const TWPARAM L = MK_LBUTTON;
  const TLPARAM DOWN = 1, UP = TLPARAM(1u | 1u << 30 | 1u << 31);
  auto move = [](LONGINT x, LONGINT y, TWPARAM f = 0) {
    headless::input_mouse(HWINDOW, WM_MOUSEMOVE, x, y, f);
  };
  auto key = [](TWPARAM vk, bool down) { headless::input_key(HWINDOW, vk, down); };
  TWNDCLASS cls;
  cls.WNDPROC = platform::DefWindowProcA;
  cls.CLASSNAME = "Other";
  ASSERT_NE(platform::RegisterClassA(&cls), 0u);
  const THANDLE other =
      platform::CreateWindowExA(0, "Other", "", WS_POPUP, 0, 0, 10, 10, 0, 0, 0, nullptr);
  struct out {
    LONGWORD message;
    TWPARAM wparam;
    TLPARAM lparam;
  };
  std::vector<out> seventy; // more than the queue's first size
  for (int i = 0; i < 70; i++)
    seventy.push_back({WM_MOUSEMOVE, 0, xy(i, 0)});
  struct row {
    const char *what;
    std::function<void()> script;
    std::vector<out> expected;
  } rows[] = {
      {"forty moves leave one, at the newest position and flags",
       [&] {
         for (int i = 0; i < 40; i++)
           move(i, 2 * i, i < 39 ? 0 : L);
       },
       {{WM_MOUSEMOVE, L, xy(39, 78)}}},
      {"a move, a press and a move stay three",
       [&] {
         move(1, 1);
         move(2, 2);
         headless::input_mouse(HWINDOW, WM_LBUTTONDOWN, 2, 2, L);
         move(3, 3, L);
         move(4, 4, L);
       },
       {{WM_MOUSEMOVE, 0, xy(2, 2)}, {WM_LBUTTONDOWN, L, xy(2, 2)}, {WM_MOUSEMOVE, L, xy(4, 4)}}},
      {"a move for another window does not replace this one's",
       [&] {
         move(1, 1);
         headless::input_mouse(other, WM_MOUSEMOVE, 2, 2, 0);
         move(3, 3);
       },
       {{WM_MOUSEMOVE, 0, xy(1, 1)}, {WM_MOUSEMOVE, 0, xy(2, 2)}, {WM_MOUSEMOVE, 0, xy(3, 3)}}},
      {"posted moves are never merged",
       [&] {
         for (int i = 0; i < 3; i++)
           platform::PostMessageA(HWINDOW, WM_MOUSEMOVE, 0, xy(i, i));
       },
       {{WM_MOUSEMOVE, 0, xy(0, 0)}, {WM_MOUSEMOVE, 0, xy(1, 1)}, {WM_MOUSEMOVE, 0, xy(2, 2)}}},
      {"a held key is one key-down counting its repeats",
       [&] {
         for (int i = 0; i < 5; i++)
           key('W', true);
         key('W', false);
       },
       {{WM_KEYDOWN, 'W', 5}, {WM_KEYUP, 'W', UP}}},
      {"repeats fold only into the newest input message, never past a move or click",
       [&] {
         key('A', true);
         move(9, 9);
         key('A', true);
         headless::input_mouse(HWINDOW, WM_LBUTTONDOWN, 9, 9, L);
         key('A', true);
         key('B', true);
         key('A', true);
         key('A', true);
       },
       {{WM_KEYDOWN, 'A', DOWN},
        {WM_MOUSEMOVE, 0, xy(9, 9)},
        {WM_KEYDOWN, 'A', 1 | 1 << 30},
        {WM_LBUTTONDOWN, L, xy(9, 9)},
        {WM_KEYDOWN, 'A', 1 | 1 << 30},
        {WM_KEYDOWN, 'B', DOWN},
        {WM_KEYDOWN, 'A', 2 | 1 << 30}}},
      {"posted messages first, then the quit message, then input, then paint",
       [&] {
         move(5, 6);
         key(VK_SPACE, true);
         platform::PostMessageA(HWINDOW, WM_USER, 1, 2);
         platform::PostQuitMessage(3);
         platform::InvalidateRect(HWINDOW, nullptr, false);
       },
       {{WM_USER, 1, 2},
        {WM_QUIT, 3, 0},
        {WM_MOUSEMOVE, 0, xy(5, 6)},
        {WM_KEYDOWN, VK_SPACE, DOWN},
        {WM_PAINT, 0, 0}}},
      {"a key held past 65535 repeats counts 65535",
       [&] {
         for (int i = 0; i < 70000; i++)
           key('Q', true);
         key('Q', false);
       },
       {{WM_KEYDOWN, 'Q', 0xFFFF}, {WM_KEYUP, 'Q', UP}}},
      {"a backlog that outgrows the queue keeps its order",
       [&] {
         for (int i = 0; i < 70; i++)
           headless::input_mouse(i % 2 ? other : HWINDOW, WM_MOUSEMOVE, i, 0, 0);
       },
       seventy},
  };
  for (const row &r : rows) {
    SCOPED_TRACE(r.what);
    r.script();
    std::vector<out> got;
    TMSG m;
    while (got.size() < 100 && platform::PeekMessageA(&m, 0, 0, 0, PM_REMOVE)) {
      got.push_back({m.MESSAGE, m.WPARAM, m.LPARAM});
      if (m.MESSAGE == WM_PAINT) platform::DispatchMessageA(&m); // validates
    }
    ASSERT_EQ(got.size(), r.expected.size());
    for (std::size_t i = 0; i < got.size(); i++) {
      EXPECT_EQ(got[i].message, r.expected[i].message) << "message " << i;
      EXPECT_EQ(got[i].wparam, r.expected[i].wparam) << "message " << i;
      EXPECT_EQ(got[i].lparam, r.expected[i].lparam) << "message " << i;
    }
  }
}

// A key-down taken from the queue before its repeats arrive leaves them to a message of their
// own, which says the key was already down; the character carries the repeat count.
TEST_F(PumpTest, RepeatsAfterTheKeyDownWasTakenCountInTheirOwnMessageAndItsCharacter) {
  headless::input_key(HWINDOW, 'W', true);
  SETGLMSG();
  EXPECT_EQ(MSG_.LPARAM, 1);
  EXPECT_EQ(SETKEY['W'].VALUE, -1) << "true is stored as all bits set";
  for (int i = 0; i < 3; i++)
    headless::input_key(HWINDOW, 'W', true);
  SETGLMSG(); // the first key-down's character
  EXPECT_EQ(MSG_.MESSAGE, WM_CHAR);
  SETGLMSG();
  EXPECT_EQ(MSG_.MESSAGE, WM_KEYDOWN);
  EXPECT_EQ(MSG_.LPARAM, 3 | 1 << 30);
  SETGLMSG();
  EXPECT_EQ(MSG_.MESSAGE, WM_CHAR);
  EXPECT_EQ(MSG_.WPARAM, TWPARAM('w'));
  EXPECT_EQ(MSG_.LPARAM, 3 | 1 << 30) << "one character message with the count of three";
  TMSG m;
  EXPECT_FALSE(platform::PeekMessageA(&m, 0, 0, 0, PM_NOREMOVE));
}

TEST_F(PumpTest, KeysAreHeldUntilReleasedAndTranslateToCharacters) {
  platform::PostMessageA(HWINDOW, WM_KEYDOWN, 'W', 0);
  SETGLMSG();
  EXPECT_EQ(SETKEY['W'].VALUE, -1) << "true is stored as all bits set";
  platform::PostMessageA(HWINDOW, WM_KEYDOWN, 'W', 1 << 30); // auto-repeat
  SETGLMSG();
  SETGLMSG(); // the first WM_CHAR
  EXPECT_TRUE(SETKEY['W']);
  SETGLMSG();
  EXPECT_EQ(MSG_.MESSAGE, WM_CHAR);
  EXPECT_EQ(MSG_.WPARAM, TWPARAM('w'));
  MOUSEFREE = true;
  send(WM_KEYUP, 'W');
  EXPECT_EQ(SETKEY['W'].VALUE, 0);
  EXPECT_FALSE(MOUSEFREE) << "any key release ends free-mouse mode";
}

TEST_F(PumpTest, EscapeEndsTheLoopWithoutRecordingTheKey) {
  platform::PostMessageA(HWINDOW, WM_KEYDOWN, VK_ESCAPE, 0);
  SETGLMSG();
  EXPECT_FALSE(ACTIVE);
  EXPECT_FALSE(SETKEY[VK_ESCAPE]);
  TRECT r;
  EXPECT_TRUE(platform::GetWindowRect(HWINDOW, &r)) << "Esc does not destroy the window";
  TMSG m;
  ASSERT_TRUE(platform::PeekMessageA(&m, 0, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.MESSAGE, WM_CHAR) << "Esc still gives its character";
  ASSERT_TRUE(platform::PeekMessageA(&m, 0, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.MESSAGE, WM_QUIT);
}

TEST_F(PumpTest, CloseButtonAndAltF4DestroyTheWindow) {
  platform::PostMessageA(HWINDOW, WM_CLOSE, 0, 0);
  SETGLMSG();
  EXPECT_FALSE(ACTIVE);
  TRECT r;
  EXPECT_FALSE(platform::GetWindowRect(HWINDOW, &r)) << "destroyed";

  headless::reset();
  reset_framework_globals();
  open(false);
  platform::PostMessageA(HWINDOW, WM_SYSKEYDOWN, VK_F4, 0); // F4 alone (after F10, say)
  SETGLMSG();
  SETGLMSG();
  EXPECT_TRUE(ACTIVE) << "F4 without Alt closes nothing";
  platform::PostMessageA(HWINDOW, WM_SYSKEYDOWN, VK_F4, 1 << 29);
  SETGLMSG();
  EXPECT_TRUE(ACTIVE) << "the close command is posted, not sent";
  SETGLMSG();
  EXPECT_FALSE(ACTIVE);
  EXPECT_FALSE(SETKEY[VK_F4]) << "keys with Alt do not reach the key table";
}

TEST_F(PumpTest, KeyCodeBeyondTheTableIsARangeError) {
  EXPECT_EXIT(send(WM_KEYDOWN, 501), ::testing::ExitedWithCode(201), "key code");
  send(WM_KEYDOWN, 500);
  EXPECT_TRUE(SETKEY[500]);
}

TEST_F(PumpTest, LeftClickWithoutMovingResetsTheAnchors) {
  send(WM_MOUSEMOVE, 0, xy(30, 40));
  send(WM_LBUTTONDOWN, MK_LBUTTON, xy(30, 40));
  EXPECT_TRUE(LEFTMOUSEDOWN && LEFTMOUSEDOWN2);
  EXPECT_EQ(headless::capture(), HWINDOW);
  EXPECT_EQ(SETMX, 30);
  EXPECT_EQ(YCOORD, 40);
  send(WM_LBUTTONUP, 0, xy(30, 40));
  EXPECT_FALSE(LEFTMOUSEDOWN || LEFTMOUSEDOWN2);
  EXPECT_EQ(headless::capture(), 0u);
  EXPECT_EQ(XCOORD + YCOORD + SETMX + SETMY, 0);
  EXPECT_EQ(SETOMX, 30) << "the last move position stays";
  EXPECT_EQ(SETOMY, 40);
}

TEST_F(PumpTest, RightClickKeepsItsAnchor) {
  send(WM_RBUTTONDOWN, MK_RBUTTON, xy(5, 77));
  EXPECT_TRUE(RIGHTMOUSEDOWN && RIGHTMOUSEDOWN2);
  send(WM_RBUTTONUP, 0, xy(5, 77));
  EXPECT_FALSE(RIGHTMOUSEDOWN || RIGHTMOUSEDOWN2);
  EXPECT_EQ(ZCOORD, 77);
}

TEST_F(PumpTest, DragsTurnAndMoveAtTheSpeedFactor) {
  MSPEED = 2;
  send(WM_LBUTTONDOWN, MK_LBUTTON, xy(100, 100));
  send(WM_MOUSEMOVE, MK_LBUTTON, xy(100, 110)); // 10 down
  EXPECT_FLOAT_EQ(XROT, 10.0f);
  EXPECT_FLOAT_EQ(XROT2, 10.0f);
  EXPECT_FLOAT_EQ(YROT2, 0.0f) << "vertical motion feeds the first angles alone";
  send(WM_MOUSEMOVE, MK_LBUTTON, xy(110, 110)); // 10 right
  EXPECT_FLOAT_EQ(YROT, 10.0f);
  EXPECT_FLOAT_EQ(YROT2, 10.0f);
  send(WM_LBUTTONUP, 0, xy(110, 110));

  send(WM_RBUTTONDOWN, MK_RBUTTON, xy(0, 200));
  send(WM_MOUSEMOVE, MK_RBUTTON, xy(0, 210));
  EXPECT_FLOAT_EQ(DEPTH, -2.0f);
  send(WM_MOUSEMOVE, MK_RBUTTON, xy(50, 200)); // sideways motion does not count
  EXPECT_FLOAT_EQ(DEPTH, 0.0f);
  EXPECT_FLOAT_EQ(DEPTH2, 0.0f);
  EXPECT_FLOAT_EQ(XROT, 10.0f) << "a right drag does not turn";
}

TEST_F(PumpTest, BeforeTheFirstSpeedDragsOnlyMoveTheAnchors) {
  send(WM_LBUTTONDOWN, MK_LBUTTON, xy(10, 10));
  send(WM_MOUSEMOVE, MK_LBUTTON, xy(60, 90));
  EXPECT_EQ(XROT + YROT, 0.0f);
  EXPECT_EQ(XCOORD, 60);
  EXPECT_EQ(YCOORD, 90);
}

TEST_F(PumpTest, CapturedPositionLeftOfTheWindowArrivesUnsigned) {
  MSPEED = 1;
  send(WM_LBUTTONDOWN, MK_LBUTTON, xy(4, 0));
  send(WM_MOUSEMOVE, MK_LBUTTON, xy(-1, 0));
  EXPECT_EQ(SETOMX, 65535);
  EXPECT_FLOAT_EQ(YROT, (65535 - 4) / 2.0f);
}

TEST_F(PumpTest, FreeMouseTurnsFromTheCentreAndLimitsOneAngle) {
  MSPEED = 2;
  MOUSEFREE = true;
  platform::SetCursorPos(450, 300);
  send(WM_MOUSEMOVE, 0, xy(450, 300));
  EXPECT_FLOAT_EQ(XROT, 1.0f);
  POINT p;
  platform::GetCursorPos(&p);
  EXPECT_EQ(p.X, 400);
  EXPECT_EQ(p.Y, 300);
  for (int i = 0; i < 20; i++) {
    platform::SetCursorPos(400, 600); // far below the centre
    send(WM_MOUSEMOVE, 0, xy(400, 600));
  }
  EXPECT_FLOAT_EQ(YROT, 60.0f);
  EXPECT_FLOAT_EQ(YROT2, 60.0f);
  EXPECT_FLOAT_EQ(XROT2, 1.0f) << "horizontal motion feeds the first angles here";
  platform::SetCursorPos(10400, 300); // far right: the horizontal angles have no limit
  send(WM_MOUSEMOVE, 0, xy(0, 0));
  EXPECT_FLOAT_EQ(XROT, 201.0f);
  EXPECT_FLOAT_EQ(XROT2, 201.0f);

  send(WM_RBUTTONDOWN, MK_RBUTTON, xy(0, 0));
  platform::SetCursorPos(400, 300);
  send(WM_MOUSEMOVE, MK_RBUTTON, xy(0, 100));
  EXPECT_FLOAT_EQ(DEPTH, 0.0f) << "no distance change in free-mouse mode";
  send(WM_RBUTTONUP, 0, 0);

  send(WM_LBUTTONDOWN, MK_LBUTTON, xy(0, 0));
  platform::SetCursorPos(400, 300);
  send(WM_MOUSEMOVE, MK_LBUTTON, xy(0, 200)); // a left drag still turns, past the limit
  EXPECT_FLOAT_EQ(XROT, 401.0f);
}

TEST_F(PumpTest, FreeMouseIsIdleWhileAnotherWindowIsInFront) {
  MSPEED = 2;
  MOUSEFREE = true;
  headless::set_foreground(0);
  platform::SetCursorPos(450, 300);
  send(WM_MOUSEMOVE, 0, xy(450, 300));
  EXPECT_FLOAT_EQ(XROT, 0.0f);
  POINT p;
  platform::GetCursorPos(&p);
  EXPECT_EQ(p.X, 450);
}

TEST_F(PumpTest, CommandsAndContextMenusReachTheHooksOnlyWhenEnabled) {
  static int menus = 0, commands = 0;
  menus = commands = 0;
  GETINPUTCOMMAND = [](THANDLE, LONGWORD, TWPARAM w, TLPARAM) -> TLRESULT {
    commands += int(w);
    return 99;
  };
  send(WM_COMMAND, 5);
  send(WM_CONTEXTMENU);
  EXPECT_EQ(commands, 0);
  SHOWMENUBAR = true;
  send(WM_CONTEXTMENU); // no menu hook set: skipped
  CREATEMOUSEMENU = [] { menus++; };
  send(WM_CONTEXTMENU);
  EXPECT_EQ(platform::SendMessageA(HWINDOW, WM_COMMAND, 5, 0), 0) << "hook result discarded";
  EXPECT_EQ(menus, 1);
  EXPECT_EQ(commands, 5);
  // Default processing asks for the menu on a right click and on the Menu key's release.
  headless::input_mouse(HWINDOW, WM_RBUTTONDOWN, 5, 6, MK_RBUTTON);
  headless::input_mouse(HWINDOW, WM_RBUTTONUP, 5, 6, 0);
  headless::input_key(HWINDOW, 0x5D, true);
  headless::input_key(HWINDOW, 0x5D, false);
  for (int i = 0; i < 5; i++)
    SETGLMSG();
  EXPECT_EQ(menus, 3);
}

TEST_F(PumpTest, PaintValidatesTheWindow) {
  platform::InvalidateRect(HWINDOW, nullptr, true);
  TMSG m;
  ASSERT_TRUE(platform::PeekMessageA(&m, 0, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(m.MESSAGE, WM_PAINT);
  SETGLMSG();
  EXPECT_FALSE(platform::PeekMessageA(&m, 0, 0, 0, PM_NOREMOVE));
}

} // namespace
} // namespace vantrel::test
