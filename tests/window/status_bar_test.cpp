// The main window's status bar, created by the window set-up when the application asks for it.
#include <cstring>

#include "tests/image/bmp_builder.h"
#include "tests/window/window_fixture.h"
#include "vantrel/window/status_bar.h"

namespace vantrel::test {
namespace {

using StatusBarTest = WindowTest;

std::vector<LONGINT> parts(THANDLE bar) {
  std::vector<LONGINT> edges(256, 0);
  auto n = platform::SendMessageA(bar, SB_GETPARTS, edges.size(),
                                  reinterpret_cast<TLPARAM>(edges.data()));
  edges.resize(std::size_t(n));
  return edges;
}

std::string text(THANDLE bar, int part) {
  char buffer[300] = {};
  platform::SendMessageA(bar, SB_GETTEXTA, TWPARAM(part), reinterpret_cast<TLPARAM>(buffer));
  return buffer;
}

TEST_F(StatusBarTest, NoneUnlessAsked) {
  open();
  EXPECT_EQ(HSTATUS, 0u);
  EXPECT_EQ(AWND, 0u);
}

TEST_F(StatusBarTest, ThreePartsAlongTheBottomShowingTheInitialText) {
  std::memset(FILENAME, 'x', sizeof FILENAME);
  SHOWSTATUSBAR = true;
  MAXSTATUSITEM = 3;
  STATUSITEM[1] = 100, STATUSITEM[2] = 200, STATUSITEM[3] = -1;
  open();
  ASSERT_NE(HSTATUS, 0u);
  EXPECT_EQ(HSTATUS, AWND);
  EXPECT_EQ(platform::GetParent(HSTATUS), HWINDOW);
  EXPECT_EQ(platform::GetDlgCtrlID(HSTATUS), 0x7712);
  EXPECT_EQ(parts(HSTATUS), std::vector<LONGINT>({100, 200, -1}));
  EXPECT_EQ(std::vector<LONGINT>(EDGES + 1, EDGES + 4), std::vector<LONGINT>({100, 200, -1}));
  EXPECT_EQ(text(HSTATUS, 0), "Percorso file");
  // The whole buffer is replaced: nothing of the old contents is left behind the text.
  EXPECT_STREQ(FILENAME, "Percorso file");
  for (std::size_t i = std::strlen(FILENAME); i < sizeof FILENAME; i++)
    ASSERT_EQ(FILENAME[i], 0) << "byte " << i;
  // Along the bottom of the main window's client area, across its width.
  TRECT bar, client, main;
  platform::GetWindowRect(HSTATUS, &bar);
  platform::GetWindowRect(HWINDOW, &main);
  platform::GetClientRect(HWINDOW, &client);
  EXPECT_EQ(bar.RIGHT - bar.LEFT, client.RIGHT);
  EXPECT_GT(bar.BOTTOM - bar.TOP, 10);
  EXPECT_LE(bar.BOTTOM, main.BOTTOM);
  EXPECT_GT(bar.TOP, main.TOP + client.BOTTOM / 2);
}

// The main window asks its status bar to repaint when it paints, and on every message with
// wParam 0 that goes on to default processing; each case starts with the bar in need of paint.
TEST_F(StatusBarTest, RepaintedWhenTheWindowPaintsAndOnMessagesWithWParamZero) {
  SHOWSTATUSBAR = true;
  open();
  struct message_case {
    LONGWORD message;
    TWPARAM wparam;
    bool repaints;
  };
  const message_case cases[] = {{WM_PAINT, 0, true},     {WM_PAINT, 7, true},
                                {WM_MOUSEMOVE, 0, true}, {WM_MOUSEMOVE, MK_LBUTTON, false},
                                {WM_LBUTTONUP, 0, true}, {WM_KEYUP, 'A', false},
                                {WM_USER, 0, true},      {WM_USER, 1, false},
                                {WM_COMMAND, 0, false}};
  for (const message_case &c : cases) {
    SCOPED_TRACE(::testing::Message() << "message " << c.message << ", wParam " << c.wparam);
    platform::InvalidateRect(HSTATUS, nullptr, false);
    ASSERT_TRUE(update_pending(HSTATUS));
    send(c.message, c.wparam, xy(5, 5));
    EXPECT_EQ(update_pending(HSTATUS), !c.repaints);
  }
}

TEST_F(StatusBarTest, ZeroPartsLeavesTheEdgesAlone) {
  SHOWSTATUSBAR = true;
  MAXSTATUSITEM = 0;
  STATUSITEM[1] = 50;
  EDGES[1] = 7;
  open();
  ASSERT_NE(HSTATUS, 0u);
  EXPECT_EQ(EDGES[1], 7);
  EXPECT_EQ(text(HSTATUS, 0), "Percorso file");
}

TEST_F(StatusBarTest, MoreThanTwentyPartsIsARangeError) {
  death_tests_skip_leak_check();
  SHOWSTATUSBAR = true;
  MAXSTATUSITEM = 21;
  EXPECT_EXIT(open(), ::testing::ExitedWithCode(201), "status bar parts");
}

TEST_F(StatusBarTest, TwentyPartsAreAccepted) {
  SHOWSTATUSBAR = true;
  MAXSTATUSITEM = 20;
  for (int i = 1; i <= 20; i++)
    STATUSITEM[i] = 30 * i;
  open();
  auto p = parts(HSTATUS);
  ASSERT_EQ(p.size(), 20u);
  EXPECT_EQ(p[19], 600);
}

} // namespace
} // namespace vantrel::test
