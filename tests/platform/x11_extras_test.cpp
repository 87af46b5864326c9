// Child windows, shapes, blits, background erases, the status window and message boxes of the
// x11 backend on a real X server: clicks and captured moves reach the right window, children
// sit where Win32 (Wine) puts them, pixels are read back with XGetImage. Every test ends with
// no key or button held.
// gtest first: Xlib's None and Bool macros would break its headers.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/shape.h>

#include <bit>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "tests/platform/x11_pump.h"
#include "vantrel/platform/common/window_paint.h"
#include "tests/support/brush_cases.h"
#include "vantrel/platform/platform.h"
#include "vantrel/platform/x11/x11_test_hooks.h"

namespace vantrel::test {
namespace {

using namespace vantrel::platform;

std::vector<TMSG> received; // every message the test procedures saw, in order

TLRESULT recording_proc(THANDLE w, LONGWORD m, TWPARAM wp, TLPARAM lp) {
  received.push_back(TMSG{w, m, wp, lp, 0, {}});
  return DefWindowProcA(w, m, wp, lp);
}

void run(const std::string &command) { ASSERT_EQ(std::system(command.c_str()), 0) << command; }

TLPARAM point(int x, int y) { return TLPARAM((LONGWORD(y & 0xFFFF) << 16) | LONGWORD(x & 0xFFFF)); }

// One X window's pixels as 0xRRGGBB, decoded with its visual's masks.
struct screen_shot {
  int width = 0, height = 0;
  std::vector<std::uint32_t> pixels;
  std::uint32_t at(int x, int y) const { return pixels[std::size_t(y) * width + x]; }
};

unsigned channel(unsigned long value, unsigned long mask) {
  if (!mask) return 0;
  unsigned long top = mask >> std::countr_zero(mask);
  return unsigned(((value & mask) >> std::countr_zero(mask)) * 255 / top);
}

screen_shot grab(Display *d, Window xid) {
  screen_shot s;
  XWindowAttributes wa;
  if (!XGetWindowAttributes(d, xid, &wa)) return s;
  XImage *image =
      XGetImage(d, xid, 0, 0, unsigned(wa.width), unsigned(wa.height), AllPlanes, ZPixmap);
  if (!image) return s;
  s.width = wa.width, s.height = wa.height;
  s.pixels.resize(std::size_t(s.width) * s.height);
  for (int y = 0; y < s.height; y++)
    for (int x = 0; x < s.width; x++) {
      unsigned long v = XGetPixel(image, x, y);
      s.pixels[std::size_t(y) * s.width + x] = (channel(v, wa.visual->red_mask) << 16) |
                                               (channel(v, wa.visual->green_mask) << 8) |
                                               channel(v, wa.visual->blue_mask);
    }
  XDestroyImage(image);
  return s;
}

int luminance(std::uint32_t rgb) {
  return int(((rgb >> 16) & 0xFF) + ((rgb >> 8) & 0xFF) + (rgb & 0xFF)) / 3;
}

class X11ExtrasTest : public ::testing::Test {
protected:
  void SetUp() override {
    VANTREL_NEED_X11(x11::display_available());
    x11::reset();
    received.clear();
    probe_ = XOpenDisplay(nullptr);
    ASSERT_NE(probe_, nullptr);
    TWNDCLASS cls;
    cls.WNDPROC = recording_proc;
    cls.CLASSNAME = "X11Extras";
    cls.CURSOR = LoadCursorA(0, IDC_ARROW);
    ASSERT_NE(RegisterClassA(&cls), 0u);
    run("xdotool mousemove 1200 1000"); // away from every test window
    // The parent at (100, 100) on the screen, 400 x 300, no frame.
    parent_ = CreateWindowExA(0, "X11Extras", "parent", WS_POPUP | WS_VISIBLE, 100, 100, 400, 300,
                              0, 0, 0, nullptr);
    ASSERT_NE(parent_, 0u) << LastErrorText();
  }
  void TearDown() override {
    if (probe_) {
      expect_nothing_held(probe_);
      XCloseDisplay(probe_);
    }
    x11::reset();
  }

  THANDLE make_child(LONGWORD style, LONGINT x, LONGINT y, LONGINT w, LONGINT h, LONGINT id = 1) {
    return CreateWindowExA(0, "X11Extras", "", WS_CHILD | style, x, y, w, h, parent_, THANDLE(id),
                           0, nullptr);
  }

  static std::vector<TMSG> of_kind(LONGWORD message, THANDLE window) {
    std::vector<TMSG> out;
    for (const TMSG &m : received)
      if (m.MESSAGE == message && m.HWND == window) out.push_back(m);
    return out;
  }

  // Clicks the left button at screen (X, Y) and waits for the button-up wherever it went.
  void click(int x, int y) {
    received.clear();
    run("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y) +
        " mousedown 1 mouseup 1");
    ASSERT_TRUE(pump_until([] {
      for (const TMSG &m : received)
        if (m.MESSAGE == WM_LBUTTONUP) return true;
      return false;
    }));
  }

  // The rectangles of one of a window's shapes, as the server holds them.
  std::vector<XRectangle> shape(Window xid, int kind) {
    int count = 0, ordering = 0;
    XRectangle *r = XShapeGetRectangles(probe_, xid, kind, &count, &ordering);
    std::vector<XRectangle> out(r, r + count);
    if (r) XFree(r);
    return out;
  }

  Display *probe_ = nullptr;
  THANDLE parent_ = 0;
};

TEST_F(X11ExtrasTest, ChildGetsItsOwnMouseMessagesInItsCoordinatesAndFollowsMoveAndShow) {
  THANDLE child = make_child(WS_VISIBLE, 50, 40, 100, 80, 9);
  ASSERT_NE(child, 0u) << LastErrorText();
  XWindowAttributes wa;
  ASSERT_TRUE(XGetWindowAttributes(probe_, x11::native_window(child), &wa));
  EXPECT_EQ(wa.map_state, IsViewable);
  XWindowAttributes pa;
  ASSERT_TRUE(XGetWindowAttributes(probe_, x11::native_window(parent_), &pa));
  EXPECT_EQ(wa.visual, pa.visual) << "a child takes its parent's visual";
  EXPECT_EQ(wa.colormap, pa.colormap);
  ASSERT_TRUE(pump_until([&] { return !of_kind(WM_PAINT, child).empty(); }))
      << "a newly mapped child is exposed and asks for painting";
  pump_idle();

  click(100 + 50 + 20, 100 + 40 + 10);
  ASSERT_EQ(of_kind(WM_LBUTTONDOWN, child).size(), 1u);
  EXPECT_EQ(of_kind(WM_LBUTTONDOWN, child)[0].LPARAM, point(20, 10));
  EXPECT_EQ(of_kind(WM_LBUTTONDOWN, child)[0].WPARAM, MK_LBUTTON);
  EXPECT_TRUE(of_kind(WM_LBUTTONDOWN, parent_).empty()) << "the child's click is its own";
  ASSERT_FALSE(of_kind(WM_MOUSEMOVE, child).empty());
  EXPECT_EQ(of_kind(WM_MOUSEMOVE, child).back().LPARAM, point(20, 10));

  // Keys go to the top-level window even while the pointer rests on the child.
  received.clear();
  run("xdotool key a");
  ASSERT_TRUE(pump_until([&] { return !of_kind(WM_KEYUP, parent_).empty(); }));
  ASSERT_EQ(of_kind(WM_KEYDOWN, parent_).size(), 1u);
  EXPECT_EQ(of_kind(WM_KEYDOWN, parent_)[0].WPARAM, TWPARAM('A'));
  EXPECT_TRUE(of_kind(WM_KEYDOWN, child).empty());

  click(100 + 10, 100 + 10);
  ASSERT_EQ(of_kind(WM_LBUTTONDOWN, parent_).size(), 1u);
  EXPECT_EQ(of_kind(WM_LBUTTONDOWN, parent_)[0].LPARAM, point(10, 10));
  EXPECT_TRUE(of_kind(WM_LBUTTONDOWN, child).empty());

  // Moved, the child is found at its new place, and the records say where.
  ASSERT_TRUE(MoveWindow(child, 200, 150, 60, 50, true));
  x11::sync();
  TRECT r;
  ASSERT_TRUE(GetWindowRect(child, &r));
  EXPECT_EQ(r.LEFT, 100 + 200) << "on the screen";
  EXPECT_EQ(r.TOP, 100 + 150);
  EXPECT_EQ(r.RIGHT, 100 + 260);
  EXPECT_EQ(r.BOTTOM, 100 + 200);
  ASSERT_TRUE(GetClientRect(child, &r));
  EXPECT_EQ(r.RIGHT, 60);
  EXPECT_EQ(r.BOTTOM, 50);
  click(100 + 200 + 5, 100 + 150 + 6);
  ASSERT_EQ(of_kind(WM_LBUTTONDOWN, child).size(), 1u);
  EXPECT_EQ(of_kind(WM_LBUTTONDOWN, child)[0].LPARAM, point(5, 6));

  // Hidden, it lets the clicks through to the parent; a hidden child is not painted.
  ShowWindow(child, 0);
  x11::sync();
  ASSERT_TRUE(XGetWindowAttributes(probe_, x11::native_window(child), &wa));
  EXPECT_EQ(wa.map_state, IsUnmapped);
  click(100 + 200 + 5, 100 + 150 + 6);
  EXPECT_TRUE(of_kind(WM_LBUTTONDOWN, child).empty());
  ASSERT_EQ(of_kind(WM_LBUTTONDOWN, parent_).size(), 1u);
  EXPECT_EQ(of_kind(WM_LBUTTONDOWN, parent_)[0].LPARAM, point(205, 156));

  // A child made hidden is mapped by ShowWindow, and repainted on request.
  THANDLE late = make_child(0, 0, 0, 30, 30, 10);
  ASSERT_NE(late, 0u);
  ASSERT_TRUE(XGetWindowAttributes(probe_, x11::native_window(late), &wa));
  EXPECT_EQ(wa.map_state, IsUnmapped);
  ShowWindow(late, SW_SHOWNORMAL);
  x11::sync();
  ASSERT_TRUE(XGetWindowAttributes(probe_, x11::native_window(late), &wa));
  EXPECT_EQ(wa.map_state, IsViewable);
  received.clear();
  InvalidateRect(late, nullptr, false);
  EXPECT_TRUE(pump_until([&] { return !of_kind(WM_PAINT, late).empty(); }));
}

TEST_F(X11ExtrasTest, ShapedChildPassesClicksInItsHoleToTheParent) {
  THANDLE child = make_child(WS_VISIBLE, 50, 40, 100, 80);
  ASSERT_NE(child, 0u);
  Window xid = x11::native_window(child);
  pump_idle();
  // Two bars with a gap from x = 40 to 60 between them.
  TRECT bars[2] = {{0, 0, 40, 80}, {60, 0, 100, 80}};
  THANDLE region = ExtCreateRegion(bars, 2);
  ASSERT_NE(region, 0u);
  ASSERT_EQ(SetWindowRgn(child, region, true), 1);
  x11::sync();
  for (int kind : {ShapeBounding, ShapeInput}) {
    std::vector<XRectangle> r = shape(xid, kind);
    ASSERT_EQ(r.size(), 2u) << "shape kind " << kind;
    int area = 0;
    for (const XRectangle &x : r) {
      area += x.width * x.height;
      EXPECT_TRUE(x.x + x.width <= 40 || x.x >= 60) << "nothing of the gap is kept";
    }
    EXPECT_EQ(area, 2 * 40 * 80);
  }

  click(100 + 50 + 50, 100 + 40 + 30); // in the gap
  EXPECT_TRUE(of_kind(WM_LBUTTONDOWN, child).empty());
  ASSERT_EQ(of_kind(WM_LBUTTONDOWN, parent_).size(), 1u);
  EXPECT_EQ(of_kind(WM_LBUTTONDOWN, parent_)[0].LPARAM, point(100, 70));
  click(100 + 50 + 70, 100 + 40 + 30); // on the right bar
  ASSERT_EQ(of_kind(WM_LBUTTONDOWN, child).size(), 1u);
  EXPECT_EQ(of_kind(WM_LBUTTONDOWN, child)[0].LPARAM, point(70, 30));

  // An empty region leaves nothing to click.
  THANDLE empty = ExtCreateRegion(nullptr, 0);
  if (empty) {
    ASSERT_EQ(SetWindowRgn(child, empty, false), 1);
    x11::sync();
    EXPECT_TRUE(shape(xid, ShapeInput).empty());
    click(100 + 50 + 10, 100 + 40 + 10);
    EXPECT_TRUE(of_kind(WM_LBUTTONDOWN, child).empty());
    EXPECT_EQ(of_kind(WM_LBUTTONDOWN, parent_).size(), 1u);
  }

  // No region: the whole rectangle again.
  ASSERT_EQ(SetWindowRgn(child, 0, true), 1);
  x11::sync();
  for (int kind : {ShapeBounding, ShapeInput}) {
    std::vector<XRectangle> r = shape(xid, kind);
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0].width, 100);
    EXPECT_EQ(r[0].height, 80);
  }
  click(100 + 50 + 50, 100 + 40 + 30);
  EXPECT_EQ(of_kind(WM_LBUTTONDOWN, child).size(), 1u);
}

TEST_F(X11ExtrasTest, CapturedChildSeesMovesOutsideItRelativeToItself) {
  THANDLE child = make_child(WS_VISIBLE, 50, 40, 100, 80);
  ASSERT_NE(child, 0u);
  pump_idle();
  EXPECT_EQ(SetCapture(child), 0u);
  received.clear();
  run("xdotool mousemove 120 110"); // left of and above the child, inside the parent
  ASSERT_TRUE(pump_until([&] { return !of_kind(WM_MOUSEMOVE, child).empty(); }));
  EXPECT_EQ(of_kind(WM_MOUSEMOVE, child).back().LPARAM, point(20 - 50, 10 - 40));
  EXPECT_TRUE(of_kind(WM_MOUSEMOVE, parent_).empty());
  run("xdotool mousemove 700 600"); // outside the parent too
  ASSERT_TRUE(pump_until([&] { return of_kind(WM_MOUSEMOVE, child).size() >= 2; }));
  EXPECT_EQ(of_kind(WM_MOUSEMOVE, child).back().LPARAM, point(700 - 150, 600 - 140));

  // A captured child that goes away gives the capture up.
  ASSERT_TRUE(DestroyWindow(child));
  EXPECT_EQ(x11::capture(), 0u);
  received.clear();
  run("xdotool mousemove 130 130");
  ASSERT_TRUE(pump_until([&] { return !of_kind(WM_MOUSEMOVE, parent_).empty(); }));
  EXPECT_EQ(of_kind(WM_MOUSEMOVE, parent_).back().LPARAM, point(30, 30));
}

// A bottom-up 24-bit DIB section, 32 x 16, whose pixel (x, y) counted from the top is
// red 8x, green 16y, blue BLUE.
THANDLE make_picture(std::uint8_t blue, std::uint8_t **bits_out) {
  TBITMAPINFOHEADER info;
  info.biWidth = 32;
  info.biHeight = 16;
  info.biBitCount = 24;
  void *bits = nullptr;
  THANDLE b = CreateDIBSection(0, &info, DIB_RGB_COLORS, &bits, 0, 0);
  if (!b || !bits) return 0;
  auto *p = static_cast<std::uint8_t *>(bits);
  for (int y = 0; y < 16; y++)
    for (int x = 0; x < 32; x++) {
      std::uint8_t *px = p + (15 - y) * 96 + x * 3;
      px[0] = blue, px[1] = std::uint8_t(16 * y), px[2] = std::uint8_t(8 * x);
    }
  if (bits_out) *bits_out = p;
  return b;
}

std::uint32_t expected(int x, int y, std::uint32_t blue) {
  return (std::uint32_t(8 * x) << 16) | (std::uint32_t(16 * y) << 8) | blue;
}

TEST_F(X11ExtrasTest, BitBltFromAMemoryContextShowsThePictureOnTheChild) {
  THANDLE child = make_child(WS_VISIBLE, 20, 20, 64, 48);
  ASSERT_NE(child, 0u);
  pump_idle();
  std::uint8_t *bits = nullptr;
  THANDLE picture = make_picture(200, &bits);
  ASSERT_NE(picture, 0u) << LastErrorText();
  THANDLE memory = CreateCompatibleDC(0);
  ASSERT_NE(memory, 0u);
  THANDLE old = SelectObject(memory, picture);
  THANDLE dc = GetDC(child);
  ASSERT_NE(dc, 0u);

  ASSERT_TRUE(BitBlt(dc, 4, 6, 32, 16, memory, 0, 0, SRCCOPY));
  x11::sync();
  screen_shot s = grab(probe_, x11::native_window(child));
  ASSERT_EQ(s.width, 64);
  for (auto [x, y] : {std::pair{0, 0}, {31, 0}, {0, 15}, {31, 15}, {13, 7}})
    EXPECT_EQ(s.at(4 + x, 6 + y), expected(x, y, 200)) << x << "," << y;

  // A part of the picture, from inside it; and the same picture after its pixels changed.
  for (int y = 0; y < 16; y++)
    for (int x = 0; x < 32; x++)
      bits[(15 - y) * 96 + x * 3] = 40;
  ASSERT_TRUE(BitBlt(dc, 40, 30, 10, 5, memory, 20, 8, SRCCOPY));
  x11::sync();
  s = grab(probe_, x11::native_window(child));
  EXPECT_EQ(s.at(40, 30), expected(20, 8, 40)) << "a changed picture is shown as it is now";
  EXPECT_EQ(s.at(49, 34), expected(29, 12, 40));
  EXPECT_EQ(s.at(4, 6), expected(0, 0, 200)) << "the first copy is left alone";

  // Reaching past the picture and the window copies only what both have.
  ASSERT_TRUE(BitBlt(dc, 50, 40, 100, 100, memory, 28, 12, SRCCOPY));
  x11::sync();
  s = grab(probe_, x11::native_window(child));
  EXPECT_EQ(s.at(50, 40), expected(28, 12, 40));
  EXPECT_EQ(s.at(53, 43), expected(31, 15, 40));
  EXPECT_TRUE(BitBlt(dc, 0, 0, 0, 0, memory, 0, 0, SRCCOPY)) << "an empty copy does nothing";

  // A deleted picture is gone from the server too; a new one under the context shows.
  SelectObject(memory, old);
  EXPECT_TRUE(DeleteObject(picture));
  THANDLE second = make_picture(7, nullptr);
  ASSERT_NE(second, 0u);
  SelectObject(memory, second);
  ASSERT_TRUE(BitBlt(dc, 4, 6, 32, 16, memory, 0, 0, SRCCOPY));
  x11::sync();
  s = grab(probe_, x11::native_window(child));
  EXPECT_EQ(s.at(4 + 3, 6 + 2), expected(3, 2, 7));
  SelectObject(memory, old);
  DeleteObject(second);
  DeleteDC(memory);
  ReleaseDC(child, dc);
}

TEST_F(X11ExtrasTest, StatusWindowPaintsItsPartsTextAndSeparators) {
  THANDLE status = CreateStatusWindowA(0x50000000, "Percorso file", parent_, 0x7712);
  ASSERT_NE(status, 0u) << LastErrorText();
  std::int32_t edges[3] = {100, 200, -1};
  SendMessageA(status, SB_SETPARTS, 3, TLPARAM(edges));
  Window xid = x11::native_window(status);
  XWindowAttributes wa;
  ASSERT_TRUE(XGetWindowAttributes(probe_, xid, &wa));
  EXPECT_EQ(wa.width, 400) << "along the parent's whole width";
  int sx = 0, sy = 0;
  Window child;
  XTranslateCoordinates(probe_, xid, x11::native_window(parent_), 0, 0, &sx, &sy, &child);
  EXPECT_EQ(sy + wa.height, 300) << "at the bottom of the parent";

  // Painted once the queue hands out its paint message.
  pump_idle(300);
  x11::sync();
  screen_shot s = grab(probe_, xid);
  ASSERT_EQ(s.width, 400);
  int h = s.height;
  EXPECT_EQ(s.at(300, h / 2), 0xF5F5F5u) << "button face, as Wine's COLOR_BTNFACE";
  EXPECT_EQ(s.at(150, 1), 0xF5F5F5u);
  int dark_in_first = 0, dark_elsewhere = 0;
  int text_top = h, text_bottom = -1, text_left = 400;
  for (int y = 0; y < h; y++)
    for (int x = 0; x < 400; x++) {
      if (luminance(s.at(x, y)) >= 96) continue;
      if (x < 97) {
        dark_in_first++;
        text_top = std::min(text_top, y), text_bottom = std::max(text_bottom, y);
        text_left = std::min(text_left, x);
      } else {
        dark_elsewhere++;
      }
    }
  EXPECT_GT(dark_in_first, 40) << "the first part shows its text";
  EXPECT_EQ(dark_elsewhere, 0) << "the other parts have none";
  EXPECT_GE(text_left, 4);
  EXPECT_LE(text_left, 6) << "left-aligned 4 pixels in";
  EXPECT_LT(std::abs((text_top + text_bottom) - (h - 1)), 6) << "vertically centred";

  // A sunken line near each inner right edge, none at the right border.
  auto separator_near = [&](int edge) {
    for (int x = edge - 3; x <= edge + 1; x++)
      if (luminance(s.at(x, h / 2)) < 200) return true;
    return false;
  };
  EXPECT_TRUE(separator_near(100));
  EXPECT_TRUE(separator_near(200));
  for (int x = 205; x < 400; x++)
    ASSERT_GE(luminance(s.at(x, h / 2)), 200) << "no separator at x = " << x;

  // New text in the second part is painted there; Windows-1252 text is shown, not dropped.
  SendMessageA(status, SB_SETTEXTA, 1, TLPARAM("Citt\xe0"));
  pump_idle(300);
  x11::sync();
  s = grab(probe_, xid);
  int dark_second = 0;
  for (int y = 0; y < h; y++)
    for (int x = 103; x < 197; x++)
      dark_second += luminance(s.at(x, y)) < 96;
  EXPECT_GT(dark_second, 20);
}

// Children asked for at client (60, 100) inside parents of each frame: on the screen, in the
// window records and under the pointer they are where Wine puts them, before and after a move.
TEST_F(X11ExtrasTest, ChildrenSitAtTheirClientPositionInsideTheParentsFrame) {
  struct frame_case {
    LONGWORD style;
    LONGINT left, top; // Win32's frame and caption, as Wine reports them
  } cases[] = {{WS_POPUP, 0, 0}, {0x96CA0000, 3, 22}, {0x96880000, 1, 1}};
  for (const frame_case &c : cases) {
    SCOPED_TRACE(testing::Message() << "parent style 0x" << std::hex << c.style);
    THANDLE parent = CreateWindowExA(0, "X11Extras", "framed", c.style | WS_VISIBLE, 600, 100, 400,
                                     300, 0, 0, 0, nullptr);
    ASSERT_NE(parent, 0u);
    THANDLE child = CreateWindowExA(0, "X11Extras", "", WS_CHILD | WS_VISIBLE, 60, 100, 96, 48,
                                    parent, THANDLE(5), 0, nullptr);
    ASSERT_NE(child, 0u);
    pump_idle(50);
    LONGINT x = 600 + c.left, y = 100 + c.top; // the parent's client area on the screen
    TRECT r;
    ASSERT_TRUE(GetClientRect(parent, &r));
    EXPECT_EQ(r.RIGHT, 400 - 2 * c.left);
    EXPECT_EQ(r.BOTTOM, 300 - c.top - c.left);
    for (auto [cx, cy, cw, ch] : {std::array<LONGINT, 4>{60, 100, 96, 48}, {10, 20, 30, 40}}) {
      if (cx == 10) {
        ASSERT_TRUE(MoveWindow(child, cx, cy, cw, ch, true));
      }
      x11::sync();
      int sx = -1, sy = -1;
      Window under;
      XTranslateCoordinates(probe_, x11::native_window(child), DefaultRootWindow(probe_), 0, 0, &sx,
                            &sy, &under);
      EXPECT_EQ(sx, x + cx) << "on the screen";
      EXPECT_EQ(sy, y + cy);
      ASSERT_TRUE(GetWindowRect(child, &r));
      EXPECT_EQ(r.LEFT, x + cx);
      EXPECT_EQ(r.TOP, y + cy);
      EXPECT_EQ(r.RIGHT, x + cx + cw);
      EXPECT_EQ(r.BOTTOM, y + cy + ch);
      click(x + cx + 5, y + cy + 6);
      ASSERT_EQ(of_kind(WM_LBUTTONDOWN, child).size(), 1u);
      EXPECT_EQ(of_kind(WM_LBUTTONDOWN, child)[0].LPARAM, point(5, 6));
    }
    // Moved and sized by another program, the X window is the client area: the window's
    // rectangle grows by the frame around it again.
    const Window xid = x11::native_window(parent);
    XMoveResizeWindow(probe_, xid, 500, 150, 300, 200);
    XSync(probe_, False);
    ASSERT_TRUE(pump_until([&] { return GetClientRect(parent, &r) && r.RIGHT == 300; }));
    EXPECT_EQ(r.BOTTOM, 200);
    int sx = -1, sy = -1;
    Window under;
    XTranslateCoordinates(probe_, xid, DefaultRootWindow(probe_), 0, 0, &sx, &sy, &under);
    ASSERT_TRUE(GetWindowRect(parent, &r));
    EXPECT_EQ(r.LEFT, sx - c.left);
    EXPECT_EQ(r.TOP, sy - c.top);
    EXPECT_EQ(r.RIGHT, sx + 300 + c.left);
    EXPECT_EQ(r.BOTTOM, sy + 200 + c.left);
    DestroyWindow(parent);
  }
}

// What each window saw of the background erase: DefWindowProcA's answers to WM_ERASEBKGND and
// the paint records.
std::vector<TLRESULT> erase_answers;
std::vector<TPAINTSTRUCT> paints;

TLRESULT erase_recorder(THANDLE w, LONGWORD m, TWPARAM wp, TLPARAM lp) {
  if (m == WM_PAINT) {
    TPAINTSTRUCT ps;
    BeginPaint(w, &ps);
    EndPaint(w, &ps);
    paints.push_back(ps);
    return 0;
  }
  TLRESULT r = DefWindowProcA(w, m, wp, lp);
  if (m == WM_ERASEBKGND) erase_answers.push_back(r);
  return r;
}

// A memory context holding a W x H picture in one colour.
THANDLE solid_picture_dc(LONGINT w, LONGINT h, std::uint32_t rgb) {
  TBITMAPINFOHEADER info;
  info.biWidth = w;
  info.biHeight = h;
  info.biBitCount = 32;
  void *bits = nullptr;
  THANDLE b = CreateDIBSection(0, &info, DIB_RGB_COLORS, &bits, 0, 0);
  if (!b || !bits) return 0;
  std::fill_n(static_cast<std::uint32_t *>(bits), std::size_t(w) * h, rgb);
  THANDLE dc = CreateCompatibleDC(0);
  SelectObject(dc, b);
  return dc;
}

// The class background on the X window: on show, on Expose, and on InvalidateRect with erase
// (only the invalidated part), in the colours Wine paints; NULL_BRUSH and no brush paint
// nothing, and only no brush leaves the erase to the painter.
TEST_F(X11ExtrasTest, ClassBackgroundIsErasedOnShowExposeAndInvalidateWithErase) {
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
    ASSERT_NE(RegisterClassA(&cls), 0u);
    erase_answers.clear();
    paints.clear();
    THANDLE w = CreateWindowExA(0, name.c_str(), "", WS_CHILD | WS_VISIBLE, 20, 20, 64, 48, parent_,
                                THANDLE(n), 0, nullptr);
    ASSERT_NE(w, 0u);
    Window xid = x11::native_window(w);
    ASSERT_EQ(erase_answers, std::vector<TLRESULT>{c.answer}) << "erased as it is shown";
    x11::sync();
    screen_shot s = grab(probe_, xid);
    ASSERT_EQ(s.width, 64);
    for (std::uint32_t p : s.pixels) {
      if (c.colour < 0) break; // what shows through is not the window's
      ASSERT_EQ(p, std::uint32_t(c.colour));
    }
    ASSERT_TRUE(pump_until([] { return !paints.empty(); }));
    EXPECT_EQ(bool(paints.back().ERASE), c.answer == 0) << "a refused erase is left to the painter";

    THANDLE picture = solid_picture_dc(64, 48, drawn);
    THANDLE dc = GetDC(w);
    ASSERT_TRUE(BitBlt(dc, 0, 0, 64, 48, picture, 0, 0, SRCCOPY));
    std::uint32_t erased = c.colour < 0 ? drawn : std::uint32_t(c.colour);
    TRECT part{10, 10, 20, 20};
    InvalidateRect(w, &part, true);
    ASSERT_TRUE(pump_until([] { return paints.size() == 2; }));
    EXPECT_EQ(erase_answers.size(), 2u);
    EXPECT_EQ(paints.back().PAINT.LEFT, 10);
    EXPECT_EQ(paints.back().PAINT.BOTTOM, 20);
    x11::sync();
    s = grab(probe_, xid);
    for (auto [x, y, want] : {std::tuple{10, 10, erased},
                              {19, 19, erased},
                              {20, 20, drawn},
                              {15, 9, drawn},
                              {40, 30, drawn}})
      EXPECT_EQ(s.at(x, y), want) << "at " << x << "," << y;

    InvalidateRect(w, nullptr, false);
    ASSERT_TRUE(pump_until([] { return paints.size() == 3; }));
    EXPECT_EQ(erase_answers.size(), 2u) << "no erase was asked for";

    XClearArea(probe_, xid, 0, 0, 0, 0, True); // the server exposes all of it
    XFlush(probe_);
    ASSERT_TRUE(pump_until([] { return paints.size() == 4; }));
    EXPECT_EQ(erase_answers.size(), 3u) << "an exposed window is erased";
    x11::sync();
    s = grab(probe_, xid);
    EXPECT_EQ(s.at(0, 0), erased);
    EXPECT_EQ(s.at(63, 47), erased);
    EXPECT_EQ(s.at(40, 30), erased);
    ReleaseDC(w, dc);
    DeleteDC(picture);
    DestroyWindow(w);
  }
}

// ---- Message boxes, seen from another connection while MessageBoxA waits ----

// What a helper on its own connection saw of a box and did to it.
struct box_visit {
  bool found = false;
  screen_shot shot;
  long functions = -1;    // the _MOTIF_WM_HINTS functions the box offers the window manager
  std::string properties; // manager_properties of the box
};

Window find_viewable(Display *d, const std::string &name) {
  Window root, parent, *kids = nullptr, found = 0;
  unsigned n = 0;
  if (!XQueryTree(d, DefaultRootWindow(d), &root, &parent, &kids, &n)) return 0;
  for (unsigned i = 0; i < n && !found; i++) {
    char *title = nullptr;
    XWindowAttributes wa;
    if (XFetchName(d, kids[i], &title) && title && name == title &&
        XGetWindowAttributes(d, kids[i], &wa) && wa.map_state == IsViewable)
      found = kids[i];
    if (title) XFree(title);
  }
  if (kids) XFree(kids);
  return found;
}

// Finds the box titled CAPTION, waits until two grabs a moment apart agree and show its button
// labels (the last thing it draws), records it, then closes it as the window manager's close
// button would when CLOSE, and types KEYS.
void visit_box(const std::string &caption, bool close, const std::string &keys, box_visit *out) {
  Display *d = XOpenDisplay(nullptr);
  if (!d) return;
  auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  Window box = 0;
  while (!box && std::chrono::steady_clock::now() < end) {
    box = find_viewable(d, caption);
    if (!box) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  screen_shot previous;
  while (box && std::chrono::steady_clock::now() < end) {
    screen_shot s = grab(d, box);
    int dark = 0;
    for (int y = s.height * 2 / 3; y < s.height; y++)
      for (int x = 0; x < s.width; x++)
        dark += luminance(s.at(x, y)) < 96;
    if (dark > 0 && s.pixels == previous.pixels) {
      out->found = true;
      out->shot = s;
      break;
    }
    previous = s;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  if (out->found) {
    out->properties = manager_properties(d, box, getpid());
    Atom motif = XInternAtom(d, "_MOTIF_WM_HINTS", False), type;
    int format;
    unsigned long count, after;
    unsigned char *data = nullptr;
    if (XGetWindowProperty(d, box, motif, 0, 5, False, motif, &type, &format, &count, &after,
                           &data) == Success &&
        data && count == 5 && (reinterpret_cast<long *>(data)[0] & 1))
      out->functions = reinterpret_cast<long *>(data)[1];
    if (data) XFree(data);
  }
  if (box && close) send_close_request(d, box); // delivered before the keys below are typed
  if (box && keys == "destroy") {               // as another program would
    XDestroyWindow(d, box);
    XSync(d, False);
  } else if (box && !keys.empty())
    std::system(("xdotool windowfocus --sync " + std::to_string(box) + " key " + keys).c_str());
  XCloseDisplay(d);
}

// MessageBoxA with the helper at work on it; the helper's view in VISIT.
LONGINT show_box(LONGWORD style, bool close, const std::string &keys, box_visit *visit) {
  std::thread helper(visit_box, "Vantrel box", close, keys, visit);
  LONGINT answer = MessageBoxA(0, "Settare lo schermo intero?  ", "Vantrel box", style);
  helper.join();
  return answer;
}

// Each icon's own colours at points of its 32 x 32 square, which stands 16 pixels in from the
// box's top-left corner: the disc or triangle, and the mark on it.
TEST_F(X11ExtrasTest, MessageBoxDrawsTheIconOfItsStyleBesideTheText) {
  constexpr std::uint32_t blue = 0x3465A4, red = 0xCC0000, orange = 0xF57900, white = 0xFFFFFF,
                          black = 0x000000, face = 0xF5F5F5;
  struct point_colour {
    int x, y;
    std::uint32_t colour;
  };
  struct icon_case {
    LONGWORD style;
    std::vector<point_colour> points;
  } cases[] = {
      {MB_YESNO | MB_ICONQUESTION, {{16, 25, white}, {5, 16, blue}, {16, 30, blue}, {16, 2, blue}}},
      {MB_OK | 0x10, {{16, 16, white}, {16, 4, red}, {4, 16, red}, {28, 16, red}}},
      {MB_OK | 0x30, {{15, 15, black}, {16, 25, black}, {16, 27, orange}, {8, 26, orange}}},
      {MB_OK | 0x40, {{15, 20, white}, {16, 8, white}, {8, 20, blue}, {24, 20, blue}}},
      {MB_OK, {{16, 16, face}, {5, 16, face}}}};
  for (const icon_case &c : cases) {
    SCOPED_TRACE(testing::Message() << "style 0x" << std::hex << c.style);
    box_visit visit;
    EXPECT_EQ(show_box(c.style, false, "Return", &visit), c.style & MB_YESNO ? IDYES : IDOK);
    ASSERT_TRUE(visit.found);
    for (const point_colour &p : c.points)
      EXPECT_EQ(visit.shot.at(16 + p.x, 16 + p.y), p.colour) << "at " << p.x << "," << p.y;
    EXPECT_EQ(visit.shot.at(16 + 33, 16), face) << "nothing right of the icon's square";
  }
}

// Which buttons of a box carry an underline below their label, left to right: a run of ink at
// least 4 pixels long that starts under the label's first letter, with nothing of the glyphs
// right above it. Each button is a run of face colour along the face's top row (long runs
// only: the text's antialiasing has a few pixels of that grey too).
std::vector<bool> underlined_buttons(const screen_shot &s) {
  constexpr std::uint32_t button_face = 0xE1E1E1;
  int top = s.height, bottom = -1;
  for (int y = 0; y < s.height; y++)
    for (int x = 0, run = 0; x < s.width; x++) {
      run = s.at(x, y) == button_face ? run + 1 : 0;
      if (run >= 40) top = std::min(top, y), bottom = std::max(bottom, y);
    }
  std::vector<bool> out;
  auto dark = [&](int x, int y) { return luminance(s.at(x, y)) < 96; };
  for (int x = 0; x < s.width && bottom >= 0;) {
    if (s.at(x, top) != button_face) {
      x++;
      continue;
    }
    int left = x;
    while (x < s.width && s.at(x, top) == button_face)
      x++;
    int right = x, ink_left = right;
    for (int y = top; y <= bottom; y++)
      for (int k = left; k < right; k++)
        if (dark(k, y)) ink_left = std::min(ink_left, k);
    bool line = false;
    for (int y = top + 1; y <= bottom && !line && ink_left < right; y++) {
      int from = ink_left - 1;
      while (from <= ink_left + 1 && !dark(from, y))
        from++;
      if (from > ink_left + 1 || dark(from - 1, y)) continue;
      int to = from;
      while (to + 1 < right && dark(to + 1, y))
        to++;
      bool apart = true;
      for (int k = from - 1; k <= to + 1; k++)
        apart = apart && !dark(k, y - 1);
      line = apart && to - from + 1 >= 4;
    }
    out.push_back(line);
  }
  return out;
}

// Access letters as Windows labels the buttons: underlined, and answering the box; OK and
// Cancel have none. Escape and the close button answer Cancel where there is one and OK on a
// lone OK box; elsewhere they are ignored (the window manager is not offered a close there),
// so the key typed after them gives the answer.
TEST_F(X11ExtrasTest, MessageBoxAccessLettersEscapeAndClose) {
  struct box_case {
    LONGWORD style;
    bool close;
    const char *keys;
    LONGINT answer;
    std::vector<bool> underlined; // left to right; empty: not looked at
    bool closable;
  } cases[] = {
      {MB_YESNO, false, "Escape y", IDYES, {true, true}, false},
      {MB_YESNO, true, "n", IDNO, {}, false},
      {MB_YESNO, false, "alt+n", IDNO, {}, false},
      {2 /* MB_ABORTRETRYIGNORE */, false, "Escape i", 5 /* IDIGNORE */, {true, true, true}, false},
      {2, true, "a", 3 /* IDABORT */, {}, false},
      {1 /* MB_OKCANCEL */, false, "o c Escape", IDCANCEL, {false, false}, true},
      {MB_OK, false, "Escape", IDOK, {false}, true},
      {MB_OK, true, "", IDOK, {}, true},
      {3 /* MB_YESNOCANCEL */, true, "", IDCANCEL, {true, true, false}, true},
      {6 /* MB_CANCELTRYCONTINUE */, false, "c", 11 /* IDCONTINUE */, {false, true, true}, true},
      {6, false, "t", 10 /* IDTRYAGAIN */, {}, true},
      {MB_YESNO, false, "destroy", 0, {}, false}};
  for (const box_case &c : cases) {
    SCOPED_TRACE(testing::Message() << "style " << c.style << (c.close ? ", close, " : ", ")
                                    << "keys \"" << c.keys << "\"");
    box_visit visit;
    EXPECT_EQ(show_box(c.style, c.close, c.keys, &visit), c.answer);
    ASSERT_TRUE(visit.found);
    EXPECT_EQ(visit.properties, "input pid machine delete ping ");
    if (!c.underlined.empty()) {
      EXPECT_EQ(underlined_buttons(visit.shot), c.underlined);
    }
    constexpr long MWM_FUNC_CLOSE = 32;
    EXPECT_EQ((visit.functions & MWM_FUNC_CLOSE) != 0, c.closable);
  }
}

} // namespace
} // namespace vantrel::test
