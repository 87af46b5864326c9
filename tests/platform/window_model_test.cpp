// Win32's window model as the framework meets it, checked alike on the headless backend and,
// in a Windows build, against the real calls under Wine: where the frame puts the client area
// and the children, and how default processing erases with the class background.
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#ifdef VANTREL_TEST_WIN32
#include "tests/support/win32_controls.h"
#else
#include "vantrel/platform/headless/headless_test_hooks.h"
#endif
#include "tests/support/brush_cases.h"
#include "vantrel/platform/platform.h"

namespace vantrel::test {
namespace {

TLRESULT plain_proc(THANDLE w, LONGWORD m, TWPARAM wp, TLPARAM lp) {
  return platform::DefWindowProcA(w, m, wp, lp);
}

class WindowModelTest : public ::testing::Test {
protected:
  void SetUp() override {
    headless::reset();
    TWNDCLASS cls;
    cls.WNDPROC = plain_proc;
    cls.CLASSNAME = "VantrelTest";
    ASSERT_NE(platform::RegisterClassA(&cls), 0u);
  }
  void TearDown() override { headless::reset(); }
};

// Rectangles as Wine reports them for an outer rectangle of 400 x 300 at (100, 50) and a child
// asked for at client (60, 100), 30 x 20: Win32's frame between window and client rectangles.
TEST_F(WindowModelTest, WindowAndClientRectanglesFollowWin32sFrames) {
  struct frame_case {
    LONGWORD style;
    LONGINT left, top, right, bottom; // the frame on each side
  } cases[] = {{WS_POPUP, 0, 0, 0, 0},
               {0x96CA0000, 3, 22, 3, 3},                             // caption, the demo's window
               {0x96880000, 1, 1, 1, 1},                              // WS_BORDER, its full screen
               {WS_POPUP | 0x00400000, 3, 3, 3, 3},                   // dialog frame
               {WS_POPUP | WS_CAPTION | WS_THICKFRAME, 4, 23, 4, 4}}; // sizing frame
  auto expect_rect = [](THANDLE w, bool client, LONGINT l, LONGINT t, LONGINT r, LONGINT b) {
    TRECT got;
    ASSERT_TRUE(client ? platform::GetClientRect(w, &got) : platform::GetWindowRect(w, &got));
    EXPECT_EQ(got.LEFT, l);
    EXPECT_EQ(got.TOP, t);
    EXPECT_EQ(got.RIGHT, r);
    EXPECT_EQ(got.BOTTOM, b);
  };
  for (const frame_case &c : cases) {
    SCOPED_TRACE(testing::Message() << "style 0x" << std::hex << c.style);
    THANDLE w = platform::CreateWindowExA(0, "VantrelTest", "framed", c.style, 100, 50, 400, 300, 0,
                                          0, 0, nullptr);
    ASSERT_NE(w, 0u);
    expect_rect(w, false, 100, 50, 500, 350);
    expect_rect(w, true, 0, 0, 400 - c.left - c.right, 300 - c.top - c.bottom);
    THANDLE child = platform::CreateWindowExA(0, "VantrelTest", "", WS_CHILD | WS_VISIBLE, 60, 100,
                                              30, 20, w, THANDLE(1), 0, nullptr);
    ASSERT_NE(child, 0u);
    LONGINT x = 100 + c.left, y = 50 + c.top; // the client area's origin on the screen
    expect_rect(child, false, x + 60, y + 100, x + 90, y + 120);
    ASSERT_TRUE(platform::MoveWindow(child, 10, 20, 30, 40, false));
    expect_rect(child, false, x + 10, y + 20, x + 40, y + 60);
    ASSERT_TRUE(platform::MoveWindow(w, 0, 0, 200, 100, false));
    expect_rect(w, true, 0, 0, 200 - c.left - c.right, 100 - c.top - c.bottom);
    expect_rect(child, false, c.left + 10, c.top + 20, c.left + 40, c.top + 60);
    platform::DestroyWindow(w);
  }
  EXPECT_EQ(platform::GetSystemMetrics(SM_CYCAPTION), 19);
  EXPECT_EQ(platform::GetSystemMetrics(SM_CXBORDER), 1);
  EXPECT_EQ(platform::GetSystemMetrics(SM_CXDLGFRAME), 3);
  EXPECT_EQ(platform::GetSystemMetrics(SM_CXFRAME), 4);
}

// What each window saw of the background erase: DefWindowProcA's answers to WM_ERASEBKGND and
// the last paint record.
std::vector<TLRESULT> erase_answers;
TPAINTSTRUCT last_paint;

TLRESULT erase_recorder(THANDLE w, LONGWORD m, TWPARAM wp, TLPARAM lp) {
  if (m == WM_PAINT) {
    platform::BeginPaint(w, &last_paint);
    platform::EndPaint(w, &last_paint);
    return 0;
  }
  TLRESULT r = platform::DefWindowProcA(w, m, wp, lp);
  if (m == WM_ERASEBKGND) erase_answers.push_back(r);
  return r;
}

// A 24-bit picture of W x H in one colour, selected into a memory context.
THANDLE solid_picture_dc(LONGINT w, LONGINT h, std::uint32_t rgb) {
  TBITMAPINFOHEADER info;
  info.biWidth = w;
  info.biHeight = h;
  info.biBitCount = 24;
  void *bits = nullptr;
  THANDLE b = platform::CreateDIBSection(0, &info, DIB_RGB_COLORS, &bits, 0, 0);
  if (!b || !bits) return 0;
  auto *p = static_cast<std::uint8_t *>(bits);
  std::size_t stride = (std::size_t(w) * 3 + 3) & ~std::size_t(3);
  for (LONGINT y = 0; y < h; y++)
    for (LONGINT x = 0; x < w; x++) {
      std::uint8_t *px = p + std::size_t(y) * stride + std::size_t(x) * 3;
      px[0] = std::uint8_t(rgb), px[1] = std::uint8_t(rgb >> 8), px[2] = std::uint8_t(rgb >> 16);
    }
  THANDLE dc = platform::CreateCompatibleDC(0);
  platform::SelectObject(dc, b);
  return dc;
}

// The class background as Wine paints it: shown windows are erased at once, BeginPaint erases
// what InvalidateRect marked for erasing and only that, NULL_BRUSH paints nothing but counts
// as erased, a class without a brush leaves the erase to the painter.
TEST_F(WindowModelTest, ClassBackgroundIsErasedAsWineErasesIt) {
  constexpr std::uint32_t drawn = 0x102030;
  const std::vector<brush_case> cases = brush_cases();
  int n = 0;
  for (const brush_case &c : cases) {
    SCOPED_TRACE(c.what);
    std::string name = "Erase" + std::to_string(n++);
    TWNDCLASS cls;
    cls.WNDPROC = erase_recorder;
    cls.BACKGROUND = c.brush;
    cls.CLASSNAME = name.c_str();
    ASSERT_NE(platform::RegisterClassA(&cls), 0u);
    erase_answers.clear();
    THANDLE w = platform::CreateWindowExA(0, name.c_str(), "", WS_POPUP | WS_VISIBLE, 0, 0, 64, 48,
                                          0, 0, 0, nullptr);
    ASSERT_NE(w, 0u);
    ASSERT_EQ(erase_answers, std::vector<TLRESULT>{c.answer}) << "erased as it is shown";
    std::uint32_t background = c.colour < 0 ? 0 : std::uint32_t(c.colour); // canvases start black
    for (std::uint32_t p : headless::window_pixels(w))
      ASSERT_EQ(p, background);
    platform::UpdateWindow(w);
    EXPECT_EQ(erase_answers.size(), 1u) << "the first paint does not erase again";
    EXPECT_EQ(bool(last_paint.ERASE), c.answer == 0) << "a refused erase is left to the painter";
    EXPECT_EQ(last_paint.PAINT.RIGHT, 64);
    EXPECT_EQ(last_paint.PAINT.BOTTOM, 48);

    THANDLE picture = solid_picture_dc(64, 48, drawn);
    THANDLE dc = platform::GetDC(w);
    ASSERT_TRUE(platform::BitBlt(dc, 0, 0, 64, 48, picture, 0, 0, SRCCOPY));
    TRECT part{10, 10, 20, 20}, beside{30, 10, 40, 20};
    platform::InvalidateRect(w, &part, true);
    platform::InvalidateRect(w, &beside, false);
    platform::UpdateWindow(w);
    EXPECT_EQ(erase_answers.size(), 2u);
    EXPECT_EQ(last_paint.PAINT.LEFT, 10) << "the bounds of both parts";
    EXPECT_EQ(last_paint.PAINT.RIGHT, 40);
    EXPECT_EQ(last_paint.PAINT.BOTTOM, 20);
    std::uint32_t inside = c.colour < 0 ? drawn : std::uint32_t(c.colour);
    auto px = headless::window_pixels(w);
    EXPECT_EQ(px[15 * 64 + 15], inside);
    EXPECT_EQ(px[10 * 64 + 10], inside);
    EXPECT_EQ(px[19 * 64 + 19], inside);
    EXPECT_EQ(px[20 * 64 + 20], drawn) << "only the invalidated part is erased";
    EXPECT_EQ(px[9 * 64 + 15], drawn);
    EXPECT_EQ(px[15 * 64 + 25], drawn) << "between the parts: their union is erased, not bounds";

    ASSERT_TRUE(platform::BitBlt(dc, 0, 0, 64, 48, picture, 0, 0, SRCCOPY));
    platform::InvalidateRect(w, nullptr, false);
    platform::UpdateWindow(w);
    EXPECT_EQ(erase_answers.size(), 2u) << "no erase was asked for";
    EXPECT_EQ(headless::window_pixels(w)[15 * 64 + 15], drawn);
    platform::ReleaseDC(w, dc);
    platform::DeleteDC(picture);
    platform::DestroyWindow(w);
  }
}

// Which of the lifecycle messages each window got: "p" the top-level window, "c" its child.
std::string lifecycle_log;
struct lifecycle_case {
  const char *what;
  char who;      // the window whose procedure acts
  LONGWORD when; // on this message, once
  int act;       // 0: DestroyWindow itself, 1: DestroyWindow its parent, -1: answer -1
  bool made_p, made_c;
  const char *log;
} const *acting = nullptr;
bool acted = false;

TLRESULT lifecycle_proc(THANDLE w, LONGWORD m, TWPARAM wp, TLPARAM lp) {
  const char who = platform::GetParent(w) ? 'c' : 'p';
  const char *name = m == WM_CREATE ? "CREATE" : m == WM_DESTROY ? "DESTROY" : "NCDESTROY";
  if (m == WM_CREATE || m == WM_DESTROY || m == WM_NCDESTROY)
    lifecycle_log += std::string(lifecycle_log.empty() ? "" : " ") + who + ":" + name;
  if (m == WM_NCCREATE || m == WM_CREATE) { // the record of CreateWindowExA's arguments
    const auto *cs = reinterpret_cast<const TCREATESTRUCT *>(lp);
    const bool child = who == 'c';
    EXPECT_TRUE(cs && cs->CREATEPARAMS == &lifecycle_log && cs->CX == (child ? 8 : 64) &&
                cs->CY == (child ? 8 : 48) && cs->PARENT == platform::GetParent(w) &&
                cs->MENU == THANDLE(child) && (cs->STYLE & WS_CHILD) == (child ? WS_CHILD : 0) &&
                std::string(cs->CLASS) == "Lifecycle" && cs->EXSTYLE == 0)
        << m;
  }
  if (acting && !acted && acting->who == who && acting->when == m) {
    acted = true;
    if (acting->act < 0) return -1;
    platform::DestroyWindow(acting->act == 0 ? w : platform::GetParent(w));
  }
  return platform::DefWindowProcA(w, m, wp, lp);
}

// Whatever a procedure does while its window is made or destroyed, as Wine orders it:
// creation fails with 0, nothing is destroyed twice, children go between their parent's
// WM_DESTROY and WM_NCDESTROY.
TEST_F(WindowModelTest, DestroyingDuringCreationAndDestructionAsWineDoes) {
  const char *whole = "p:CREATE c:CREATE p:DESTROY c:DESTROY c:NCDESTROY p:NCDESTROY";
  const lifecycle_case cases[] = {
      {"destroys itself in WM_CREATE", 'p', WM_CREATE, 0, false, false,
       "p:CREATE p:DESTROY p:NCDESTROY"},
      {"WM_CREATE answers -1", 'p', WM_CREATE, -1, false, false, "p:CREATE p:NCDESTROY"},
      {"child destroys its parent in WM_CREATE", 'c', WM_CREATE, 1, true, false, whole},
      {"child's WM_CREATE answers -1", 'c', WM_CREATE, -1, true, false,
       "p:CREATE c:CREATE c:NCDESTROY p:DESTROY p:NCDESTROY"},
      // Destroyed again from its messages: the inner call does the whole job.
      {"destroys itself again in WM_DESTROY", 'p', WM_DESTROY, 0, true, true,
       "p:CREATE c:CREATE p:DESTROY p:DESTROY c:DESTROY c:NCDESTROY p:NCDESTROY"},
      {"child destroys its parent in WM_DESTROY", 'c', WM_DESTROY, 1, true, true,
       "p:CREATE c:CREATE p:DESTROY c:DESTROY p:DESTROY c:DESTROY c:NCDESTROY p:NCDESTROY"},
      {"child destroys its parent in WM_NCDESTROY", 'c', WM_NCDESTROY, 1, true, true,
       "p:CREATE c:CREATE p:DESTROY c:DESTROY c:NCDESTROY p:DESTROY p:NCDESTROY"}};
  TWNDCLASS cls;
  cls.WNDPROC = lifecycle_proc;
  cls.CLASSNAME = "Lifecycle";
  ASSERT_NE(platform::RegisterClassA(&cls), 0u);
  for (const lifecycle_case &c : cases) {
    SCOPED_TRACE(c.what);
    lifecycle_log.clear();
    acting = &c, acted = false;
    THANDLE p = platform::CreateWindowExA(0, "Lifecycle", "", WS_POPUP, 0, 0, 64, 48, 0, 0, 0,
                                          &lifecycle_log);
    EXPECT_EQ(p != 0, c.made_p);
    THANDLE child = p ? platform::CreateWindowExA(0, "Lifecycle", "", WS_CHILD | WS_VISIBLE, 0, 0,
                                                  8, 8, p, THANDLE(1), 0, &lifecycle_log)
                      : 0;
    EXPECT_EQ(child != 0, c.made_c);
    TRECT r;
    if (p && platform::GetWindowRect(p, &r)) {
      EXPECT_TRUE(platform::DestroyWindow(p));
    }
    EXPECT_FALSE(p && platform::GetWindowRect(p, &r));
    EXPECT_EQ(lifecycle_log, c.log);
  }
  acting = nullptr;
}

// What default processing makes of a child's right click and wheel: the parent gets the
// context-menu request, with the screen place of the release, and the wheel.
std::vector<TMSG> parent_got;
TLRESULT parent_recorder(THANDLE w, LONGWORD m, TWPARAM wp, TLPARAM lp) {
  if (m == WM_CONTEXTMENU || m == WM_MOUSEWHEEL) parent_got.push_back({w, m, wp, lp, 0, {}});
  return platform::DefWindowProcA(w, m, wp, lp);
}

TEST_F(WindowModelTest, ChildsContextMenuRequestsAndWheelGoUpToTheParent) {
  TWNDCLASS cls;
  cls.WNDPROC = parent_recorder;
  cls.CLASSNAME = "Parent";
  ASSERT_NE(platform::RegisterClassA(&cls), 0u);
  THANDLE p =
      platform::CreateWindowExA(0, "Parent", "", 0x96CA0000, 100, 50, 400, 300, 0, 0, 0, nullptr);
  THANDLE c = platform::CreateWindowExA(0, "VantrelTest", "", WS_CHILD | WS_VISIBLE, 60, 100, 30,
                                        20, p, THANDLE(1), 0, nullptr);
  parent_got.clear();
  platform::SendMessageA(c, WM_RBUTTONUP, 0, TLPARAM(6 << 16 | 5));
  platform::SendMessageA(c, WM_MOUSEWHEEL, TWPARAM(120) << 16, TLPARAM(8 << 16 | 7));
  ASSERT_EQ(parent_got.size(), 2u);
  const TLPARAM screen = TLPARAM((50 + 22 + 100 + 6) << 16 | (100 + 3 + 60 + 5));
  const TMSG want[] = {{p, WM_CONTEXTMENU, TWPARAM(c), screen, 0, {}},
                       {p, WM_MOUSEWHEEL, TWPARAM(120) << 16, TLPARAM(8 << 16 | 7), 0, {}}};
  for (int i = 0; i < 2; i++) {
    EXPECT_EQ(parent_got[i].HWND, want[i].HWND) << i;
    EXPECT_EQ(parent_got[i].MESSAGE, want[i].MESSAGE) << i;
    EXPECT_EQ(parent_got[i].WPARAM, want[i].WPARAM) << i;
    EXPECT_EQ(LONGWORD(parent_got[i].LPARAM), LONGWORD(want[i].LPARAM)) << i;
  }
  platform::DestroyWindow(p);
}

} // namespace
} // namespace vantrel::test
