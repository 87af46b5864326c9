// Win32's window model as the framework meets it, checked alike on the headless backend and,
// in a Windows build, against the real calls under Wine: where the frame puts the client area
// and the children, and how default processing erases with the class background.
#include <cstdint>
#include <cstdio>
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

// The menus of the menu tests: a bar with File (Open, a separator, Exit) and View (Fog, checked;
// Effect, a pop-up with Outline and a grey Bands).
struct test_menus {
  THANDLE bar = 0, file = 0, view = 0, effect = 0;
};
test_menus make_menus() {
  test_menus m{platform::CreateMenu(), platform::CreatePopupMenu(), platform::CreatePopupMenu(),
               platform::CreatePopupMenu()};
  platform::AppendMenuA(m.file, MF_STRING, 101, "&Open\tCtrl+O");
  platform::AppendMenuA(m.file, MF_SEPARATOR, 0, nullptr);
  platform::AppendMenuA(m.file, MF_STRING, 102, "E&xit");
  platform::AppendMenuA(m.effect, MF_STRING, 301, "&Outline");
  platform::AppendMenuA(m.effect, MF_GRAYED, 302, "&Bands");
  platform::AppendMenuA(m.view, MF_CHECKED, 201, "&Fog");
  platform::AppendMenuA(m.view, MF_POPUP, m.effect, "&Effect");
  platform::AppendMenuA(m.bar, MF_POPUP, m.file, "&File");
  platform::AppendMenuA(m.bar, MF_POPUP, m.view, "&View");
  return m;
}

// What the menus' owner heard, menus by name, and the keys it hands the open menu once the first
// pop-up opens (or the bar is entered, with nothing to open), as the user would type them.
test_menus menus_seen;
THANDLE menu_owner = 0;
std::string heard;
std::vector<std::pair<LONGWORD, TWPARAM>> keys_to_type;

std::string menu_name(TWPARAM h) {
  return h == menus_seen.bar      ? "bar"
         : h == menus_seen.file   ? "file"
         : h == menus_seen.view   ? "view"
         : h == menus_seen.effect ? "effect"
                                  : std::to_string(h);
}

void type_keys() {
  for (auto [message, key] : keys_to_type)
    platform::PostMessageA(menu_owner, message, key, 0);
  keys_to_type.clear();
}

TLRESULT menu_recorder(THANDLE w, LONGWORD m, TWPARAM wp, TLPARAM lp) {
  char line[64] = "";
  switch (m) {
  case WM_ENTERMENULOOP:
    std::snprintf(line, sizeof line, "enter%d ", int(wp));
    break;
  case WM_EXITMENULOOP:
    std::snprintf(line, sizeof line, "exit%d ", int(wp));
    break;
  case WM_INITMENU:
    std::snprintf(line, sizeof line, "init:%s ", menu_name(wp).c_str());
    break;
  case WM_INITMENUPOPUP:
    std::snprintf(line, sizeof line, "popup:%s@%d ", menu_name(wp).c_str(), int(lp));
    type_keys();
    break;
  case WM_UNINITMENUPOPUP:
    std::snprintf(line, sizeof line, "close:%s ", menu_name(wp).c_str());
    break;
  case WM_MENUSELECT:
    std::snprintf(line, sizeof line, "select:%d/%x/%s ", int(wp & 0xFFFF), unsigned(wp >> 16),
                  lp ? menu_name(TWPARAM(lp)).c_str() : "0");
    break;
  case WM_SIZE:
    std::snprintf(line, sizeof line, "size:%dx%d ", int(lp & 0xFFFF), int(lp >> 16));
    break;
  default:
    return platform::DefWindowProcA(w, m, wp, lp);
  }
  heard += line;
  return platform::DefWindowProcA(w, m, wp, lp);
}

// The menu loop as Wine runs it, keys typed into the open menu: what the owner is sent, the
// command it is posted, TrackPopupMenu's result.
TEST_F(WindowModelTest, MenuLoopsSendWhatWineSends) {
  TWNDCLASS cls;
  cls.WNDPROC = menu_recorder;
  cls.CLASSNAME = "MenuOwner";
  ASSERT_NE(platform::RegisterClassA(&cls), 0u);
  const LONGWORD D = WM_KEYDOWN, C = WM_CHAR;
  struct menu_case {
    const char *what;
    char bar_char;  // -1: TrackPopupMenu; else the bar entered by Alt with it (0: Alt alone)
    int popup;      // TrackPopupMenu's menu: 0 file, 1 view, 2 effect
    LONGWORD flags; // TrackPopupMenu's
    std::vector<std::pair<LONGWORD, TWPARAM>> keys;
    const char *expected;
    LONGINT result; // TrackPopupMenu's
  } cases[] = {
      {"Alt+F, Down, Enter",
       'f',
       0,
       0,
       {{D, VK_DOWN}, {D, VK_RETURN}},
       "enter0 init:bar select:0/90/bar popup:file@0 select:101/80/file select:102/80/file "
       "close:file select:0/ffff/0 exit0 command:102",
       0},
      {"Alt, Right, Down, Enter",
       0,
       0,
       0,
       {{D, VK_RIGHT}, {D, VK_DOWN}, {D, VK_RETURN}},
       "enter0 init:bar select:0/90/bar select:1/90/bar popup:view@1 select:201/88/view "
       "close:view select:0/ffff/0 exit0 command:201",
       0},
      {"Alt+V, mnemonics",
       'v',
       0,
       0,
       {{C, 'e'}, {C, 'o'}},
       "enter0 init:bar select:1/90/bar popup:view@1 select:201/88/view select:1/90/view "
       "popup:effect@1 select:301/80/effect close:effect close:view select:0/ffff/0 exit0 "
       "command:301",
       0},
      {"Escape out of a submenu",
       'v',
       0,
       0,
       {{C, 'e'}, {D, VK_ESCAPE}, {D, VK_ESCAPE}, {D, VK_ESCAPE}},
       "enter0 init:bar select:1/90/bar popup:view@1 select:201/88/view select:1/90/view "
       "popup:effect@1 select:301/80/effect close:effect close:view select:0/ffff/0 exit0 ",
       0},
      {"context menu, choose",
       -1,
       1,
       TPM_RIGHTBUTTON,
       {{D, VK_DOWN}, {D, VK_RETURN}},
       "enter1 init:view popup:view@0 select:201/88/view close:view select:0/ffff/0 exit1 "
       "command:201",
       1},
      {"context menu, returned",
       -1,
       1,
       TPM_RETURNCMD,
       {{D, VK_DOWN}, {D, VK_RETURN}},
       "enter1 init:view popup:view@0 select:201/88/view close:view select:0/ffff/0 exit1 ",
       201},
      {"context menu, Escape",
       -1,
       1,
       TPM_RIGHTBUTTON,
       {{D, VK_ESCAPE}},
       "enter1 init:view popup:view@0 close:view select:0/ffff/0 exit1 ",
       1},
      {"grey item, Enter",
       -1,
       2,
       0,
       {{D, VK_DOWN}, {D, VK_DOWN}, {D, VK_RETURN}},
       "enter1 init:effect popup:effect@0 select:301/80/effect select:302/81/effect "
       "close:effect select:0/ffff/0 exit1 ",
       1},
      {"grey item, mnemonic",
       -1,
       2,
       0,
       {{C, 'b'}},
       "enter1 init:effect popup:effect@0 select:302/81/effect close:effect select:0/ffff/0 "
       "exit1 ",
       1},
  };
  for (const menu_case &c : cases) {
    SCOPED_TRACE(c.what);
    menus_seen = make_menus();
    THANDLE w = platform::CreateWindowExA(0, "MenuOwner", "menus", 0x96CA0000, 100, 50, 400, 300, 0,
                                          c.bar_char >= 0 ? menus_seen.bar : 0, 0, nullptr);
    ASSERT_NE(w, 0u);
    menu_owner = w;
    heard.clear();
    keys_to_type = c.keys;
    LONGINT result = 0;
    if (c.bar_char >= 0) {
      if (c.bar_char == 0) type_keys(); // nothing opens: the bar alone is lit
      platform::SendMessageA(w, WM_SYSCOMMAND, SC_KEYMENU, c.bar_char);
    } else {
      THANDLE popups[] = {menus_seen.file, menus_seen.view, menus_seen.effect};
      result = platform::TrackPopupMenu(popups[c.popup], c.flags, 120, 90, 0, w, nullptr);
    }
    TMSG m;
    while (platform::PeekMessageA(&m, w, WM_COMMAND, WM_COMMAND, PM_REMOVE))
      heard += "command:" + std::to_string(m.WPARAM);
    EXPECT_EQ(heard, c.expected);
    if (c.bar_char < 0) {
      EXPECT_EQ(result, c.result);
    }
    platform::DestroyWindow(w);
    if (c.bar_char < 0) platform::DestroyMenu(menus_seen.bar);
  }
}

// A menu bar takes its height from the client area, as WM_SIZE reports; bad menu calls fail
// with GetLastError and change nothing.
TEST_F(WindowModelTest, MenuBarShrinksTheClientAreaAndBadMenuCallsFail) {
  TWNDCLASS cls;
  cls.WNDPROC = menu_recorder;
  cls.CLASSNAME = "MenuBarOwner";
  ASSERT_NE(platform::RegisterClassA(&cls), 0u);
  THANDLE w = platform::CreateWindowExA(0, "MenuBarOwner", "menus", 0x96CA0000, 100, 50, 400, 300,
                                        0, 0, 0, nullptr);
  ASSERT_NE(w, 0u);
  menus_seen = make_menus();
  heard.clear();
  ASSERT_TRUE(platform::SetMenu(w, menus_seen.bar));
  EXPECT_EQ(heard, "size:394x256 ");
  EXPECT_EQ(platform::GetMenu(w), menus_seen.bar);
  EXPECT_EQ(platform::GetSystemMetrics(SM_CYMENU), 19);
  EXPECT_EQ(platform::CheckMenuItem(menus_seen.bar, 201, MF_UNCHECKED), MF_CHECKED);
  EXPECT_EQ(platform::EnableMenuItem(menus_seen.bar, 302, MF_ENABLED), LONGINT(MF_GRAYED));
  EXPECT_EQ(platform::EnableMenuItem(menus_seen.view, 1, MF_BYPOSITION | MF_GRAYED), 0);
  EXPECT_TRUE(platform::DrawMenuBar(w));
  THANDLE gone = platform::CreatePopupMenu();
  ASSERT_TRUE(platform::DestroyMenu(gone));
  THANDLE dead =
      platform::CreateWindowExA(0, "MenuBarOwner", "", WS_POPUP, 0, 0, 10, 10, 0, 0, 0, nullptr);
  ASSERT_TRUE(platform::DestroyWindow(dead));
  struct bad_case {
    const char *what;
    LONGINT result;
    LONGWORD error; // 0: any
    LONGINT (*call)(THANDLE gone, THANDLE dead);
  } cases[] = {
      {"append to a destroyed menu", 0, 0,
       [](THANDLE g, THANDLE) { return LONGINT(platform::AppendMenuA(g, 0, 1, "x")); }},
      {"check in an unknown menu", -1, 0,
       [](THANDLE, THANDLE) { return LONGINT(platform::CheckMenuItem(0x7777, 1, MF_CHECKED)); }},
      {"check an unknown item", -1, 0,
       [](THANDLE, THANDLE) { return LONGINT(platform::CheckMenuItem(menus_seen.bar, 9, 8)); }},
      {"enable in a destroyed menu", -1, 0,
       [](THANDLE g, THANDLE) { return platform::EnableMenuItem(g, 1, MF_ENABLED); }},
      {"destroy a destroyed menu", 0, 0,
       [](THANDLE g, THANDLE) { return LONGINT(platform::DestroyMenu(g)); }},
      {"a destroyed menu as the bar", 0, ERROR_INVALID_MENU_HANDLE,
       [](THANDLE g, THANDLE) { return LONGINT(platform::SetMenu(menu_owner, g)); }},
      {"draw a destroyed window's bar", 0, ERROR_INVALID_WINDOW_HANDLE,
       [](THANDLE, THANDLE d) { return LONGINT(platform::DrawMenuBar(d)); }},
      {"track a destroyed menu", 0, ERROR_INVALID_MENU_HANDLE,
       [](THANDLE g, THANDLE) {
         return platform::TrackPopupMenu(g, 0, 0, 0, 0, menu_owner, nullptr);
       }},
      {"track for a destroyed window", 0, ERROR_INVALID_WINDOW_HANDLE,
       [](THANDLE, THANDLE d) {
         return platform::TrackPopupMenu(menus_seen.view, 0, 0, 0, 0, d, nullptr);
       }},
  };
  menu_owner = w;
  for (const bad_case &c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(c.call(gone, dead), c.result);
    if (c.error) {
      EXPECT_EQ(platform::GetLastError(), c.error);
    }
  }
#ifndef VANTREL_TEST_WIN32
  // Stricter than Wine, which takes any handle as a pop-up and a destroyed window's handle for
  // SetMenu: a menu that holds itself, or a dead pop-up, would be followed for ever or freed twice.
  EXPECT_FALSE(platform::AppendMenuA(menus_seen.file, MF_POPUP, gone, "x"));
  EXPECT_EQ(platform::GetLastError(), ERROR_INVALID_MENU_HANDLE);
  EXPECT_FALSE(platform::AppendMenuA(menus_seen.effect, MF_POPUP, menus_seen.view, "loop"));
  EXPECT_FALSE(platform::AppendMenuA(menus_seen.view, MF_POPUP, menus_seen.view, "self"));
  EXPECT_FALSE(platform::SetMenu(dead, menus_seen.view));
  EXPECT_EQ(platform::GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
#endif
  EXPECT_EQ(platform::GetMenu(w), menus_seen.bar) << "the bar stays";
  heard.clear();
  ASSERT_TRUE(platform::SetMenu(w, 0));
  EXPECT_EQ(heard, "size:394x275 ");
  ASSERT_TRUE(platform::SetMenu(w, menus_seen.bar));
  platform::DestroyWindow(w);
  EXPECT_FALSE(platform::DestroyMenu(menus_seen.bar)) << "the bar went with its window";
  EXPECT_FALSE(platform::DestroyMenu(menus_seen.effect)) << "and its pop-ups with it";
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
