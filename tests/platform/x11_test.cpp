// The x11 backend on a real X server (Xvfb in the test scripts): windows as the window manager
// sees them, GL contexts, key and mouse messages from synthetic input, message boxes.
// gtest first: Xlib's None and Bool macros would break its headers.
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <GL/glx.h>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "vantrel/gl.h"
#include "vantrel/platform/common/gdi_objects.h"
#include "vantrel/platform/frames.h"
#include "tests/platform/x11_pump.h"
#include "vantrel/platform/platform.h"
#include "vantrel/platform/x11/x11_test_hooks.h"

extern char **environ;

namespace vantrel::test {
namespace {

using namespace vantrel::platform;

constexpr LONGWORD WINDOWED = 0x96CA0000, FULL_SCREEN = 0x96880000;

std::vector<TMSG> received; // every message the test window procedure saw, in order
int on_create = 0;          // 1: the procedure destroys its window in WM_CREATE, -1: refuses it

TLRESULT recording_proc(THANDLE w, LONGWORD m, TWPARAM wp, TLPARAM lp) {
  received.push_back(TMSG{w, m, wp, lp, 0, {}});
  if (m == WM_CREATE && on_create < 0) return -1;
  if (m == WM_CREATE && on_create > 0) DestroyWindow(w);
  return DefWindowProcA(w, m, wp, lp);
}

void run(const std::string &command) { ASSERT_EQ(std::system(command.c_str()), 0) << command; }

pid_t spawn_shell(const std::string &script) {
  pid_t pid = -1;
  std::string copy = script;
  char sh[] = "/bin/sh", dash_c[] = "-c";
  char *argv[] = {sh, dash_c, copy.data(), nullptr};
  if (posix_spawn(&pid, "/bin/sh", nullptr, nullptr, argv, environ) != 0) return -1;
  return pid;
}

int wait_child(pid_t pid) {
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string read_file(const std::string &path) {
  std::ifstream in(path);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

class X11Test : public ::testing::Test {
protected:
  void SetUp() override {
    VANTREL_NEED_X11(x11::display_available());
    x11::reset();
    received.clear();
    on_create = 0;
    probe_ = XOpenDisplay(nullptr);
    ASSERT_NE(probe_, nullptr);
    TWNDCLASS cls;
    cls.WNDPROC = recording_proc;
    cls.CLASSNAME = "X11Test";
    cls.CURSOR = LoadCursorA(0, IDC_ARROW);
    ASSERT_NE(RegisterClassA(&cls), 0u);
  }
  void TearDown() override {
    if (probe_) {
      expect_nothing_held(probe_);
      XCloseDisplay(probe_);
    }
    x11::reset();
  }

  THANDLE make_window(LONGWORD style, LONGINT x, LONGINT y, LONGINT w, LONGINT h,
                      PCHAR title = "test", THANDLE parent = 0, THANDLE menu = 0) {
    return CreateWindowExA(0, "X11Test", title, style, x, y, w, h, parent, menu, 0, nullptr);
  }

  static std::vector<TMSG> of_kind(LONGWORD message) {
    std::vector<TMSG> out;
    for (const TMSG &m : received)
      if (m.MESSAGE == message) out.push_back(m);
    return out;
  }
  static bool saw(LONGWORD message) { return !of_kind(message).empty(); }

  // The outer rectangle of an X window on the root, border included.
  TRECT outer_on_root(Window xid) {
    XWindowAttributes wa;
    if (!XGetWindowAttributes(probe_, xid, &wa)) return {};
    int x = 0, y = 0;
    Window child;
    XTranslateCoordinates(probe_, xid, DefaultRootWindow(probe_), 0, 0, &x, &y, &child);
    int b = wa.border_width;
    return {x - b, y - b, x + wa.width + b, y + wa.height + b};
  }

  std::string property_text(Window xid, const char *name) {
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char *data = nullptr;
    std::string out;
    if (XGetWindowProperty(probe_, xid, XInternAtom(probe_, name, False), 0, 1024, False,
                           AnyPropertyType, &type, &format, &count, &after, &data) == Success &&
        data && format == 8)
      out.assign(reinterpret_cast<char *>(data), count);
    if (data) XFree(data);
    return out;
  }

  Display *probe_ = nullptr; // the test's own view of the server
};

void expect_rect(const TRECT &r, LONGINT l, LONGINT t, LONGINT rr, LONGINT b) {
  EXPECT_EQ(r.LEFT, l);
  EXPECT_EQ(r.TOP, t);
  EXPECT_EQ(r.RIGHT, rr);
  EXPECT_EQ(r.BOTTOM, b);
}

TEST_F(X11Test, CaptionedWindowHasRequestedOuterSizeTitleAndFixedSize) {
  THANDLE h = make_window(WINDOWED, CW_USEDEFAULT, CW_USEDEFAULT, 640, 480, "Caf\xe9 \x80");
  ASSERT_NE(h, 0u) << LastErrorText();
  // Creation and showing, in Wine's order, before CreateWindowExA returns.
  const LONGWORD made[] = {
      WM_NCCREATE,   WM_NCCALCSIZE,        WM_CREATE,   WM_SIZE,     WM_MOVE,
      WM_SHOWWINDOW, WM_WINDOWPOSCHANGING, WM_ACTIVATE, WM_SETFOCUS, WM_WINDOWPOSCHANGED};
  ASSERT_GE(received.size(), std::size(made));
  for (std::size_t i = 0; i < std::size(made); i++)
    EXPECT_EQ(received[i].MESSAGE, made[i]) << i;
  EXPECT_EQ(received[3].LPARAM, TLPARAM(455 << 16 | 634)) << "WM_SIZE: the client area";
  Window xid = x11::native_window(h);
  ASSERT_NE(xid, 0u);

  XWindowAttributes wa;
  ASSERT_TRUE(XGetWindowAttributes(probe_, xid, &wa));
  EXPECT_EQ(wa.map_state, IsViewable);
  // Win32's frame (3 pixels) and caption (19) lie between the outer and the client
  // rectangle, as Wine gives them, with or without a window manager: the X window is the
  // client area, where Win32 puts it, inside the frame window that the manager sees.
  expect_rect(outer_on_root(xid), 3, 22, 637, 477);
  Window root, top, *kids = nullptr;
  unsigned count_kids = 0;
  ASSERT_TRUE(XQueryTree(probe_, xid, &root, &top, &kids, &count_kids));
  if (kids) XFree(kids);
  ASSERT_NE(top, root);
  expect_rect(outer_on_root(top), 3, 22, 637, 477);
  TRECT r;
  ASSERT_TRUE(GetWindowRect(h, &r));
  expect_rect(r, 0, 0, 640, 480);
  ASSERT_TRUE(GetClientRect(h, &r));
  expect_rect(r, 0, 0, 634, 455);
  EXPECT_EQ(GetSystemMetrics(SM_CXDLGFRAME), 3);
  EXPECT_EQ(GetSystemMetrics(SM_CYCAPTION), 19);

  EXPECT_EQ(property_text(top, "_NET_WM_NAME"), "Caf\xc3\xa9 \xe2\x82\xac");
  EXPECT_EQ(property_text(top, "WM_NAME"), "Caf\xe9 ?");

  XSizeHints hints;
  long supplied;
  ASSERT_TRUE(XGetWMNormalHints(probe_, top, &hints, &supplied));
  ASSERT_TRUE((hints.flags & PMinSize) && (hints.flags & PMaxSize));
  EXPECT_EQ(hints.min_width, 634);
  EXPECT_EQ(hints.max_width, 634);
  EXPECT_EQ(hints.min_height, 455);
  EXPECT_EQ(hints.max_height, 455);
  ASSERT_TRUE(hints.flags & PWinGravity);
  EXPECT_EQ(hints.win_gravity, StaticGravity) << "a manager's frame goes around the client";

  EXPECT_EQ(manager_properties(probe_, top, getpid()), "input pid machine delete ping ");
  // A window manager's ping comes back to it on the root window.
  XSelectInput(probe_, DefaultRootWindow(probe_), SubstructureNotifyMask);
  send_close_request(probe_, top, "_NET_WM_PING");
  EXPECT_TRUE(pump_until([&] {
    XEvent e;
    return XCheckTypedWindowEvent(probe_, DefaultRootWindow(probe_), ClientMessage, &e);
  }));

  // The window's visual is a double-buffered GLX visual with a depth buffer.
  XVisualInfo tmpl;
  tmpl.visualid = XVisualIDFromVisual(wa.visual);
  int n = 0;
  XVisualInfo *vi = XGetVisualInfo(probe_, VisualIDMask, &tmpl, &n);
  ASSERT_NE(vi, nullptr);
  int dbl = 0, depth = 0, rgba = 0;
  glXGetConfig(probe_, vi, GLX_DOUBLEBUFFER, &dbl);
  glXGetConfig(probe_, vi, GLX_DEPTH_SIZE, &depth);
  glXGetConfig(probe_, vi, GLX_RGBA, &rgba);
  EXPECT_EQ(vi->c_class, TrueColor);
  XFree(vi);
  EXPECT_TRUE(dbl);
  EXPECT_TRUE(rgba);
  EXPECT_GE(depth, 16);

  EXPECT_EQ(GetForegroundWindow(), h) << "a newly shown window takes the focus";
}

TEST_F(X11Test, PaintComesFromCreationExposeAndUpdateWindow) {
  THANDLE h = make_window(WINDOWED, CW_USEDEFAULT, CW_USEDEFAULT, 320, 200);
  ASSERT_NE(h, 0u);
  ASSERT_TRUE(pump_until([] { return saw(WM_PAINT); }));
  received.clear();
  pump_idle();
  EXPECT_FALSE(saw(WM_PAINT)) << "default processing validated the window";

  XClearArea(probe_, x11::native_window(h), 0, 0, 0, 0, True); // the server exposes it
  XFlush(probe_);
  EXPECT_TRUE(pump_until([] { return saw(WM_PAINT); }));

  received.clear();
  InvalidateRect(h, nullptr, true);
  UpdateWindow(h); // paints at once, outside the queue
  EXPECT_EQ(of_kind(WM_PAINT).size(), 1u);
  TMSG m;
  EXPECT_FALSE(PeekMessageA(&m, 0, 0, 0, PM_NOREMOVE));
}

TEST_F(X11Test, FullScreenStyleCoversTheScreenWithAOnePixelBorder) {
  LONGINT sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
  EXPECT_EQ(sw, DisplayWidth(probe_, DefaultScreen(probe_)));
  EXPECT_EQ(sh, DisplayHeight(probe_, DefaultScreen(probe_)));
  THANDLE h = make_window(FULL_SCREEN, CW_USEDEFAULT, CW_USEDEFAULT, sw, sh);
  ASSERT_NE(h, 0u);
  // The client inside its thin frame, a window of the frame's colour that window managers keep.
  Window xid = x11::native_window(h), root, frame, *kids = nullptr;
  unsigned count_kids = 0;
  ASSERT_TRUE(XQueryTree(probe_, xid, &root, &frame, &kids, &count_kids));
  if (kids) XFree(kids);
  ASSERT_NE(frame, root);
  expect_rect(outer_on_root(frame), 0, 0, sw, sh);
  expect_rect(outer_on_root(xid), 1, 1, sw - 1, sh - 1);
  EXPECT_EQ(property_text(frame, "WM_NAME"), property_text(frame, "_NET_WM_NAME"));
  XImage *corner = XGetImage(probe_, DefaultRootWindow(probe_), 0, 0, 1, 1, AllPlanes, ZPixmap);
  ASSERT_NE(corner, nullptr);
  EXPECT_EQ(XGetPixel(corner, 0, 0) & 0xFFFFFF, 0x9E9E9Eu) << "COLOR_WINDOWFRAME, as Wine draws it";
  XDestroyImage(corner);
  TRECT r;
  ASSERT_TRUE(GetClientRect(h, &r));
  expect_rect(r, 0, 0, sw - 2, sh - 2);
  ASSERT_TRUE(GetWindowRect(h, &r));
  expect_rect(r, 0, 0, sw, sh);

  Atom type;
  int format;
  unsigned long count, after;
  unsigned char *data = nullptr;
  Atom motif = XInternAtom(probe_, "_MOTIF_WM_HINTS", False);
  ASSERT_EQ(XGetWindowProperty(probe_, frame, motif, 0, 5, False, motif, &type, &format, &count,
                               &after, &data),
            Success);
  ASSERT_NE(data, nullptr);
  ASSERT_EQ(count, 5u);
  long *hints = reinterpret_cast<long *>(data);
  EXPECT_TRUE(hints[0] & 2) << "decorations field in use";
  EXPECT_EQ(hints[2], 0) << "no caption, no frame";
  XFree(data);
}

// SetMenu keeps the outer rectangle: the client gives the bar its 19 rows (394 x 256 in a 400 x
// 300 window, as Wine gives it), and the bar is drawn in them, inside the frame window: each
// title's text in the menu's text colour, a greyed title in grey, the rest in the menu colour.
TEST_F(X11Test, MenuBarTakesTheClientsTopRowsAndIsDrawnThere) {
  THANDLE h = make_window(WINDOWED, CW_USEDEFAULT, CW_USEDEFAULT, 400, 300);
  ASSERT_NE(h, 0u);
  THANDLE bar = CreateMenu(), file = CreatePopupMenu(), view = CreatePopupMenu();
  ASSERT_TRUE(AppendMenuA(file, MF_STRING, 1, "E&xit"));
  ASSERT_TRUE(AppendMenuA(view, MF_STRING, 2, "&Fog"));
  ASSERT_TRUE(AppendMenuA(bar, MF_POPUP, file, "&File"));
  ASSERT_TRUE(AppendMenuA(bar, MF_POPUP | MF_GRAYED, view, "&View"));
  ASSERT_TRUE(SetMenu(h, bar));
  Window xid = x11::native_window(h), root, top, *kids = nullptr;
  unsigned count_kids = 0;
  ASSERT_TRUE(XQueryTree(probe_, xid, &root, &top, &kids, &count_kids));
  if (kids) XFree(kids);
  TRECT r;
  ASSERT_TRUE(GetClientRect(h, &r));
  expect_rect(r, 0, 0, 394, 256);
  expect_rect(outer_on_root(top), 3, 22, 397, 297);
  expect_rect(outer_on_root(xid), 3, 41, 397, 297);

  // Columns of the bar: how many pixels are text-dark, grey, and neither the ground nor either.
  struct column_counts {
    int dark = 0, grey = 0, other = 0;
  };
  auto bar_columns = [&](int from, int to) {
    column_counts c;
    XImage *img = XGetImage(probe_, top, from, 0, unsigned(to - from), 19, AllPlanes, ZPixmap);
    if (!img) return c;
    auto channel = [](unsigned long p, unsigned long mask) {
      int shift = 0;
      while (mask && !(mask & 1))
        mask >>= 1, shift++;
      return int((p >> shift) & mask);
    };
    for (int y = 0; y < 19; y++)
      for (int x = 0; x < to - from; x++) {
        unsigned long p = XGetPixel(img, x, y);
        int red = channel(p, img->red_mask), green = channel(p, img->green_mask);
        int blue = channel(p, img->blue_mask);
        if (red == 255 && green == 255 && blue == 255) continue; // COLOR_MENU
        if (red < 96 && green < 96 && blue < 96) {
          c.dark++;
        } else if (std::abs(red - green) < 8 && std::abs(green - blue) < 8 && red >= 96) {
          c.grey++; // grey text, and the edges of dark letters
        } else {
          c.other++;
        }
      }
    XDestroyImage(img);
    return c;
  };
  ASSERT_TRUE(pump_until([&] { return bar_columns(0, 40).dark > 20; })) << "no File title";
  column_counts file_title = bar_columns(0, 40), view_title = bar_columns(46, 90),
                rest = bar_columns(120, 394);
  EXPECT_EQ(file_title.other, 0);
  EXPECT_EQ(view_title.dark, 0) << "a greyed title";
  EXPECT_GT(view_title.grey, 20);
  EXPECT_EQ(rest.dark + rest.grey + rest.other, 0) << "beyond the titles: the menu colour";

  // Without the bar the client has its rows back.
  ASSERT_TRUE(SetMenu(h, 0));
  ASSERT_TRUE(GetClientRect(h, &r));
  expect_rect(r, 0, 0, 394, 275);
  expect_rect(outer_on_root(xid), 3, 22, 397, 297);
  DestroyMenu(bar);
}

TEST_F(X11Test, ChildWindowsAreXChildrenAndGoWithTheirParent) {
  THANDLE parent = make_window(WINDOWED, CW_USEDEFAULT, CW_USEDEFAULT, 400, 300);
  ASSERT_NE(parent, 0u);
  THANDLE child = make_window(WS_CHILD | WS_VISIBLE, 10, 20, 50, 40, "", parent, 7);
  ASSERT_NE(child, 0u);
  Window root, xparent, *kids = nullptr;
  unsigned n = 0;
  ASSERT_TRUE(XQueryTree(probe_, x11::native_window(child), &root, &xparent, &kids, &n));
  if (kids) XFree(kids);
  EXPECT_EQ(xparent, x11::native_window(parent));
  EXPECT_EQ(GetParent(child), parent);
  EXPECT_EQ(GetDlgCtrlID(child), 7);
  // In the parent's client coordinates, which start below its caption.
  TRECT r;
  ASSERT_TRUE(GetWindowRect(child, &r));
  expect_rect(r, 3 + 10, 22 + 20, 3 + 60, 22 + 60);
  expect_rect(outer_on_root(x11::native_window(child)), 3 + 10, 22 + 20, 3 + 60, 22 + 60);

  EXPECT_EQ(make_window(WS_CHILD, 0, 0, 10, 10, "", 0), 0u) << "a child needs a parent";
  EXPECT_EQ(make_window(WINDOWED, 0, 0, 0, 10), 0u) << "zero width";
  EXPECT_EQ(CreateWindowExA(0, "NoSuchClass", "", WINDOWED, 0, 0, 10, 10, 0, 0, 0, nullptr), 0u);
  for (int act : {1, -1}) { // destroyed or refused while being made: freed once, nothing left
    on_create = act;
    EXPECT_EQ(make_window(WINDOWED, 0, 0, 10, 10), 0u);
    EXPECT_EQ(make_window(WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, "", parent), 0u);
  }
  on_create = 0;
  ASSERT_TRUE(XQueryTree(probe_, x11::native_window(parent), &root, &xparent, &kids, &n));
  if (kids) XFree(kids);
  EXPECT_EQ(n, 1u) << "the refused child's X window is gone";

  received.clear();
  ASSERT_TRUE(DestroyWindow(parent));
  EXPECT_EQ(of_kind(WM_DESTROY).size(), 2u);
  EXPECT_FALSE(GetWindowRect(child, &r));
  EXPECT_EQ(x11::native_window(child), 0u);
}

// Another program destroying our windows (xdotool windowclose does): a child alone gets its
// WM_DESTROY and goes; a top-level window takes its tree with it, parent first, as Win32 orders
// WM_DESTROY, and nothing of it is left in the window table.
TEST_F(X11Test, WindowsDestroyedByAnotherProgramGetTheirDestroyMessage) {
  THANDLE parent = make_window(WINDOWED, CW_USEDEFAULT, CW_USEDEFAULT, 400, 300);
  ASSERT_NE(parent, 0u);
  THANDLE first = make_window(WS_CHILD | WS_VISIBLE, 10, 20, 50, 40, "", parent, 7);
  THANDLE second = make_window(WS_CHILD | WS_VISIBLE, 70, 20, 50, 40, "", parent, 8);
  ASSERT_NE(first, 0u);
  ASSERT_NE(second, 0u);
  pump_idle();
  received.clear();
  XDestroyWindow(probe_, x11::native_window(first));
  XSync(probe_, False);
  ASSERT_TRUE(pump_until([] { return saw(WM_DESTROY); }));
  ASSERT_EQ(of_kind(WM_DESTROY).size(), 1u);
  EXPECT_EQ(of_kind(WM_DESTROY)[0].HWND, first);
  TRECT r;
  EXPECT_FALSE(GetWindowRect(first, &r));
  EXPECT_TRUE(GetWindowRect(parent, &r)) << "the parent stays";

  received.clear();
  XDestroyWindow(probe_, x11::native_window(parent));
  XSync(probe_, False);
  ASSERT_TRUE(pump_until([] { return of_kind(WM_DESTROY).size() == 2; }));
  pump_idle();
  auto destroyed = of_kind(WM_DESTROY);
  ASSERT_EQ(destroyed.size(), 2u);
  EXPECT_EQ(destroyed[0].HWND, parent);
  EXPECT_EQ(destroyed[1].HWND, second);
  EXPECT_FALSE(GetWindowRect(parent, &r));
  EXPECT_FALSE(GetWindowRect(second, &r));
  EXPECT_EQ(x11::native_window(second), 0u);
}

TEST_F(X11Test, PixelFormatContextClearAndSwap) {
  TWNDCLASS cls;
  cls.WNDPROC = recording_proc;
  cls.CLASSNAME = "X11GL";
  cls.BACKGROUND = GetSysColorBrush(COLOR_BTNFACE);
  ASSERT_NE(RegisterClassA(&cls), 0u);
  THANDLE h = CreateWindowExA(0, "X11GL", "gl", WINDOWED, CW_USEDEFAULT, CW_USEDEFAULT, 320, 240, 0,
                              0, 0, nullptr);
  ASSERT_NE(h, 0u) << GetLastError();
  THANDLE dc = GetDC(h);
  ASSERT_NE(dc, 0u);
  EXPECT_EQ(wglCreateContext(dc), 0u) << "no context before a pixel format";

  // The framework's descriptor asks 32 bits of everything, stereo and 32 aux buffers; the
  // closest format is still found.
  TPIXELFORMATDESCRIPTOR pfd;
  pfd.dwFlags = 0x1067;
  pfd.cColorBits = pfd.cAlphaBits = pfd.cAccumBits = pfd.cDepthBits = pfd.cStencilBits =
      pfd.cAuxBuffers = 32;
  pfd.iLayerType = 1;
  LONGINT format = ChoosePixelFormat(dc, &pfd);
  ASSERT_GT(format, 0) << LastErrorText();
  EXPECT_FALSE(SetPixelFormat(dc, 0, &pfd));
  EXPECT_FALSE(SetPixelFormat(dc, 100000, &pfd));
  ASSERT_TRUE(SetPixelFormat(dc, format, &pfd));
  THANDLE rc = wglCreateContext(dc);
  ASSERT_NE(rc, 0u) << LastErrorText();
  ASSERT_TRUE(wglMakeCurrent(dc, rc));

  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[2], 320 - 6) << "the client area";
  EXPECT_EQ(viewport[3], 240 - 25);
  GLint depth = 0;
  GLboolean doubled = GL_FALSE;
  glGetIntegerv(GL_DEPTH_BITS, &depth);
  glGetBooleanv(GL_DOUBLEBUFFER, &doubled);
  EXPECT_GE(depth, 24) << "the closest format to 32 depth bits has the most offered";
  EXPECT_TRUE(doubled);
  glBegin(GL_TRIANGLES); // immediate mode needs a compatibility context
  glEnd();
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));

  glClearColor(0, 1, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  unsigned char px[4] = {};
  glReadBuffer(GL_BACK);
  glReadPixels(313, 214, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, px);
  EXPECT_EQ(px[0], 0);
  EXPECT_EQ(px[1], 255);
  EXPECT_EQ(px[2], 0);
  EXPECT_TRUE(SwapBuffers(dc));
  glFinish();

  // The OpenGL window's class brush is the button face, as the framework's window class has
  // it: an Expose erases the window with it, as WM_PAINT's BeginPaint does on Windows, and the
  // next swap shows the picture again.
  Window xid = x11::native_window(h);
  auto shown = [&] {
    x11::sync();
    XImage *image = XGetImage(probe_, xid, 100, 100, 1, 1, AllPlanes, ZPixmap);
    unsigned long v = image ? XGetPixel(image, 0, 0) : 0;
    if (image) XDestroyImage(image);
    return v & 0xFFFFFF; // the GLX visual here is 8 bits a channel, red highest
  };
  ASSERT_TRUE(pump_until([&] { return shown() == 0x00FF00; })) << "the swap shows the clear";
  received.clear();
  XClearArea(probe_, xid, 0, 0, 0, 0, True);
  XFlush(probe_);
  ASSERT_TRUE(pump_until([] { return saw(WM_PAINT); }));
  EXPECT_TRUE(saw(WM_ERASEBKGND));
  EXPECT_EQ(shown(), 0xF5F5F5u) << "erased with the class background";
  glClear(GL_COLOR_BUFFER_BIT);
  EXPECT_TRUE(SwapBuffers(dc));
  glFinish();
  EXPECT_EQ(shown(), 0x00FF00u) << "the next swap replaces the erase";

  ASSERT_TRUE(wglMakeCurrent(dc, 0));
  EXPECT_EQ(glXGetCurrentContext(), nullptr);
  EXPECT_TRUE(wglDeleteContext(rc));
  EXPECT_FALSE(wglDeleteContext(rc));
  EXPECT_EQ(ReleaseDC(h, dc), 1);
  EXPECT_EQ(ReleaseDC(h, dc), 0);
  EXPECT_FALSE(SwapBuffers(dc));
}

// VANTREL_FRAMES=2 with VANTREL_SNAPSHOT: the second swap writes the frame it shows (the
// client area's size, read from the back buffer before the swap), then sends WM_CLOSE, whose
// default processing destroys the window, as closing it would.
TEST_F(X11Test, FramesFromTheEnvironmentWriteTheLastAndCloseTheWindow) {
  THANDLE h = make_window(WINDOWED, CW_USEDEFAULT, CW_USEDEFAULT, 200, 100);
  ASSERT_NE(h, 0u);
  THANDLE dc = GetDC(h);
  TPIXELFORMATDESCRIPTOR pfd;
  pfd.dwFlags = PFD_DOUBLEBUFFER | PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL;
  pfd.cColorBits = 24;
  ASSERT_TRUE(SetPixelFormat(dc, ChoosePixelFormat(dc, &pfd), &pfd));
  THANDLE rc = wglCreateContext(dc);
  ASSERT_TRUE(wglMakeCurrent(dc, rc));
  const std::string file = ::testing::TempDir() + "x11-frames.png";
  std::remove(file.c_str());
  setenv("VANTREL_FRAMES", "2", 1);
  setenv("VANTREL_SNAPSHOT", file.c_str(), 1);
  vantrel::frames::restart();
  received.clear();
  glClearColor(1, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  EXPECT_TRUE(SwapBuffers(dc));
  EXPECT_FALSE(saw(WM_CLOSE));
  EXPECT_FALSE(std::ifstream(file).good()) << "nothing written before the last frame";
  EXPECT_TRUE(SwapBuffers(dc));
  unsetenv("VANTREL_FRAMES");
  unsetenv("VANTREL_SNAPSHOT");
  vantrel::frames::restart();
  EXPECT_TRUE(saw(WM_CLOSE));
  EXPECT_TRUE(saw(WM_DESTROY));
  TRECT gone;
  EXPECT_FALSE(GetWindowRect(h, &gone));
  // A PNG of the client area: 200 - 6 by 100 - 25 pixels, in its header.
  std::ifstream in(file, std::ios::binary);
  std::string head(24, '\0');
  in.read(head.data(), 24);
  EXPECT_EQ(head.substr(1, 3), "PNG");
  auto be32 = [&](int at) {
    return std::uint32_t(std::uint8_t(head[at])) << 24 |
           std::uint32_t(std::uint8_t(head[at + 1])) << 16 |
           std::uint32_t(std::uint8_t(head[at + 2])) << 8 | std::uint8_t(head[at + 3]);
  };
  EXPECT_EQ(be32(16), 194u);
  EXPECT_EQ(be32(20), 75u);
  wglMakeCurrent(0, 0);
  wglDeleteContext(rc);
  std::remove(file.c_str());
}

TEST_F(X11Test, PixelFormatRefusalsAndTheFailureHook) {
  THANDLE h = make_window(WINDOWED, CW_USEDEFAULT, CW_USEDEFAULT, 200, 100);
  ASSERT_NE(h, 0u);
  THANDLE dc = GetDC(h);
  TPIXELFORMATDESCRIPTOR pfd;
  pfd.dwFlags = PFD_DOUBLEBUFFER | PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL;
  pfd.cColorBits = 24;
  pfd.cDepthBits = 16;
  EXPECT_GT(ChoosePixelFormat(dc, &pfd), 0);
  EXPECT_EQ(ChoosePixelFormat(0, &pfd), 0);
  EXPECT_EQ(ChoosePixelFormat(dc, nullptr), 0);
  TPIXELFORMATDESCRIPTOR indexed = pfd;
  indexed.iPixelType = 1; // colour-index formats are not offered
  EXPECT_EQ(ChoosePixelFormat(dc, &indexed), 0);

  x11::fail_pixel_format(true);
  EXPECT_EQ(ChoosePixelFormat(dc, &pfd), 0);
  EXPECT_NE(LastErrorText().find("switched off"), std::string::npos);
  x11::fail_pixel_format(false);
  EXPECT_GT(ChoosePixelFormat(dc, &pfd), 0);
  ReleaseDC(h, dc);
}

TEST_F(X11Test, KeysArriveAsVirtualKeyCodesWithTheirCharacters) {
  THANDLE h = make_window(WINDOWED, CW_USEDEFAULT, CW_USEDEFAULT, 320, 200);
  ASSERT_NE(h, 0u);
  pump_idle();
  received.clear();
  run("xdotool key --delay 5 a F1 Escape Return semicolon Left Home Delete shift+b ctrl+c "
      "space Tab BackSpace KP_Add F12 bracketleft 7");
  std::vector<TWPARAM> want = {'A', 112, 27, 13, 0xBA, 37,   36,  46,   16, 'B',
                               17,  'C', 32, 9,  8,    0x6B, 123, 0xDB, '7'};
  ASSERT_TRUE(pump_until([&] { return of_kind(WM_KEYUP).size() >= want.size(); }));
  std::vector<TWPARAM> downs;
  for (const TMSG &m : of_kind(WM_KEYDOWN))
    downs.push_back(m.WPARAM);
  EXPECT_EQ(downs, want);

  const TMSG a_down = of_kind(WM_KEYDOWN)[0], a_up = of_kind(WM_KEYUP)[0];
  EXPECT_EQ((a_down.LPARAM >> 16) & 0xFF, 0x1E) << "the key's scan code";
  EXPECT_EQ(a_down.LPARAM & 0xFFFF, 1) << "repeat count";
  EXPECT_EQ(a_down.LPARAM & (TLPARAM(3) << 30), 0) << "first press, going down";
  EXPECT_EQ(a_up.WPARAM, TWPARAM('A'));
  EXPECT_EQ(a_up.LPARAM & (TLPARAM(3) << 30), TLPARAM(3) << 30) << "was down, going up";
  EXPECT_TRUE(of_kind(WM_KEYDOWN)[5].LPARAM & (1 << 24)) << "arrow keys are extended";

  std::string chars;
  for (const TMSG &m : of_kind(WM_CHAR))
    chars += char(m.WPARAM);
  EXPECT_EQ(chars, std::string("a\x1b\r;B\x03 \t\b+[7"));
  EXPECT_FALSE(saw(WM_SYSKEYDOWN));
}

TEST_F(X11Test, AltKeysAndF10AreSystemKeysAndAltF4Destroys) {
  THANDLE h = make_window(WINDOWED, CW_USEDEFAULT, CW_USEDEFAULT, 320, 200);
  ASSERT_NE(h, 0u);
  pump_idle();
  received.clear();
  run("xdotool key F10");
  ASSERT_TRUE(pump_until([] { return saw(WM_SYSKEYUP); }));
  EXPECT_EQ(of_kind(WM_SYSKEYDOWN).at(0).WPARAM, VK_F10);
  EXPECT_FALSE(saw(WM_KEYDOWN));

  received.clear();
  run("xdotool key alt+F4");
  ASSERT_TRUE(pump_until([] { return saw(WM_DESTROY); }));
  auto sys = of_kind(WM_SYSKEYDOWN);
  ASSERT_GE(sys.size(), 2u);
  EXPECT_EQ(sys[0].WPARAM, VK_MENU);
  EXPECT_EQ(sys[1].WPARAM, VK_F4);
  EXPECT_TRUE(sys[1].LPARAM & (1 << 29)) << "Alt held";
  EXPECT_TRUE(saw(WM_CLOSE));
  TRECT r;
  EXPECT_FALSE(GetWindowRect(h, &r));
  EXPECT_EQ(GetForegroundWindow(), 0u);
}

// Keys under the XKB layout of the current group give what Windows' own layout of that name
// gives: each row sets the layouts, presses keys by X key code (the physical key) and expects the
// whole stream of key and character messages, "message wParam lParam" in hex, as written from
// Windows' layout tables; F12 (96) ends each row as a marker.
TEST_F(X11Test, KeyboardLayoutsGiveWhatWindowsLayoutsGive) {
  THANDLE h = make_window(WINDOWED, CW_USEDEFAULT, CW_USEDEFAULT, 320, 200);
  ASSERT_NE(h, 0u);
  pump_idle();
  struct row {
    const char *layouts, *keys, *want;
  };
  // clang-format off
  const row rows[] = {
      {"us", "key 111", "100 26 01480001|101 26 c1480001"}, // Up: 0x48, extended
      {"us", "key 64", "104 12 20380001|105 12 c0380001"},  // a lone Alt
      {"us", "keydown 64 key 53 keyup 64",
       "104 12 20380001|104 58 202d0001|106 78 202d0001|105 58 e02d0001|101 12 c0380001"},
      {"us", "keydown 37 keydown 64 key 53 keyup 64 keyup 37",
       "100 11 001d0001|100 12 20380001|100 58 202d0001|101 58 e02d0001|101 12 c0380001|"
       "101 11 c01d0001"},
      {"us", "key 76", "104 79 00440001|105 79 c0440001"}, // F10
      {"us", "keydown 50 key 38 keyup 50",
       "100 10 002a0001|100 41 001e0001|102 41 001e0001|101 41 c01e0001|101 10 c02a0001"},
      {"de", "key 34 key 20 key 29",
       "100 ba 001a0001|102 fc 001a0001|101 ba c01a0001|100 db 000c0001|102 df 000c0001|"
       "101 db c00c0001|100 5a 00150001|102 7a 00150001|101 5a c0150001"},
      {"de", "key 21 key 26 key 49 key 53",
       "100 dd 000d0001|103 b4 000d0001|101 dd c00d0001|100 45 00120001|102 e9 00120001|"
       "101 45 c0120001|100 dc 00290001|103 5e 00290001|101 dc c0290001|100 58 002d0001|"
       "102 5e 002d0001|102 78 002d0001|101 58 c02d0001"},
      {"de", "keydown 108 key 24 keyup 108",
       "100 11 001d0001|100 12 21380001|100 51 20100001|102 40 20100001|101 51 e0100001|"
       "105 11 e01d0001|101 12 c1380001"},
      {"fr", "key 10 key 11 key 24 key 34 key 26",
       "100 31 00020001|102 26 00020001|101 31 c0020001|100 32 00030001|102 e9 00030001|"
       "101 32 c0030001|100 41 00100001|102 61 00100001|101 41 c0100001|100 dd 001a0001|"
       "103 5e 001a0001|101 dd c01a0001|100 45 00120001|102 ea 00120001|101 45 c0120001"},
      {"gb", "key 51 keydown 50 key 12 keyup 50",
       "100 de 002b0001|102 23 002b0001|101 de c02b0001|100 10 002a0001|100 33 00040001|"
       "102 a3 00040001|101 33 c0040001|101 10 c02a0001"},
      {"es", "key 47 key 48 key 38",
       "100 c0 00270001|102 f1 00270001|101 c0 c0270001|100 de 00280001|103 b4 00280001|"
       "101 de c0280001|100 41 001e0001|102 e1 001e0001|101 41 c01e0001"},
      {"it", "key 34 key 47", "100 ba 001a0001|102 e8 001a0001|101 ba c01a0001|"
       "100 c0 00270001|102 f2 00270001|101 c0 c0270001"},
      {"ru", "key 24", "100 51 00100001|102 3f 00100001|101 51 c0100001"}, // й is not in 1252
      // Two groups: xdotool locks the group whose layout has the symbol, then presses its key.
      {"us,de", "key y key udiaeresis key y",
       "100 59 00150001|102 79 00150001|101 59 c0150001|100 ba 001a0001|102 fc 001a0001|"
       "101 ba c01a0001|100 59 00150001|102 79 00150001|101 59 c0150001"},
  };
  // clang-format on
  struct us_again {
    ~us_again() { EXPECT_EQ(std::system("setxkbmap -option '' -layout us"), 0); }
  } restore; // whatever fails on the way
  for (const row &r : rows) {
    SCOPED_TRACE(std::string(r.layouts) + ": " + r.keys);
    run(std::string("setxkbmap -option '' -layout ") + r.layouts);
    received.clear();
    run(std::string("xdotool ") + r.keys + " key 96");
    ASSERT_TRUE(pump_until([] {
      return !received.empty() && received.back().MESSAGE == WM_KEYUP &&
             received.back().WPARAM == 0x7B;
    }));
    std::string got;
    for (const TMSG &m : received) {
      if (m.MESSAGE < WM_KEYDOWN || m.MESSAGE > WM_SYSDEADCHAR || m.WPARAM == 0x7B) continue;
      char line[40];
      std::snprintf(line, sizeof line, "%s%x %llx %08x", got.empty() ? "" : "|",
                    unsigned(m.MESSAGE), static_cast<unsigned long long>(m.WPARAM),
                    unsigned(m.LPARAM));
      got += line;
    }
    EXPECT_EQ(got, r.want);
  }
}

// The server's events go through the input queue's rules: motion left unpumped is one move at
// the newest position, a press between moves keeps its place, and a held key is one key-down
// counting its repeats, whose character carries the count.
TEST_F(X11Test, MotionBurstsAndHeldKeysQueueAsOnWin32) {
  THANDLE h = make_window(WINDOWED, CW_USEDEFAULT, CW_USEDEFAULT, 320, 200);
  ASSERT_NE(h, 0u);
  pump_idle();
  received.clear();
  const std::string to = " mousemove --window " + std::to_string(x11::native_window(h)) + " ";
  std::string drag = "xdotool";
  for (int i = 0; i <= 40; i++)
    drag += to + std::to_string(10 + i) + " 20";
  drag += " mousedown 1";
  for (int i = 1; i <= 20; i++)
    drag += to + std::to_string(50 + i) + " 30";
  drag += " mouseup 1";
  run(drag);
  x11::sync(); // all that input is in the backend's hands before the first peek
  ASSERT_TRUE(pump_until([] { return saw(WM_LBUTTONUP); }));
  std::vector<std::array<TLPARAM, 3>> mouse;
  for (const TMSG &m : received)
    if (m.MESSAGE >= WM_MOUSEMOVE && m.MESSAGE <= WM_RBUTTONUP)
      mouse.push_back({TLPARAM(m.MESSAGE), TLPARAM(m.WPARAM), m.LPARAM});
  const std::vector<std::array<TLPARAM, 3>> want = {{WM_MOUSEMOVE, 0, 20 << 16 | 50},
                                                    {WM_LBUTTONDOWN, MK_LBUTTON, 20 << 16 | 50},
                                                    {WM_MOUSEMOVE, MK_LBUTTON, 30 << 16 | 70},
                                                    {WM_LBUTTONUP, 0, 30 << 16 | 70}};
  EXPECT_EQ(mouse, want);

  received.clear();
  run("xdotool keydown x; sleep 1.2; xdotool keyup x"); // the server repeats after 660 ms
  x11::sync();
  ASSERT_TRUE(pump_until([] { return saw(WM_KEYUP); }));
  std::vector<TMSG> keys;
  for (const TMSG &m : received)
    if (m.MESSAGE >= WM_KEYDOWN && m.MESSAGE <= WM_SYSCHAR) keys.push_back(m);
  ASSERT_EQ(keys.size(), 3u);
  EXPECT_EQ(keys[0].MESSAGE, WM_KEYDOWN);
  EXPECT_EQ(keys[0].WPARAM, TWPARAM('X'));
  const TLPARAM count = keys[0].LPARAM & 0xFFFF;
  EXPECT_GE(count, 5) << "the server repeated the key for half a second at 25 a second";
  EXPECT_EQ(keys[0].LPARAM & (TLPARAM(3) << 30), 0) << "the first press: up before, going down";
  EXPECT_EQ(keys[1].MESSAGE, WM_CHAR);
  EXPECT_EQ(keys[1].WPARAM, TWPARAM('x'));
  EXPECT_EQ(keys[1].LPARAM, keys[0].LPARAM) << "the character carries the repeat count";
  EXPECT_EQ(keys[2].MESSAGE, WM_KEYUP);
  EXPECT_EQ(keys[2].LPARAM & 0xFFFF, 1);
}

TEST_F(X11Test, CloseButtonPostsCloseAndDefaultProcessingDestroys) {
  THANDLE h = make_window(WINDOWED, CW_USEDEFAULT, CW_USEDEFAULT, 320, 200);
  ASSERT_NE(h, 0u);
  const Window xid = x11::native_window(h);
  send_close_request(probe_, xid);
  ASSERT_TRUE(pump_until([] { return saw(WM_DESTROY); }));
  // As the close button does on Win32: SC_CLOSE, which default processing turns into WM_CLOSE.
  std::vector<std::array<TLPARAM, 2>> path;
  for (const TMSG &m : received)
    if (m.MESSAGE == WM_SYSCOMMAND || m.MESSAGE == WM_CLOSE || m.MESSAGE == WM_DESTROY)
      path.push_back({TLPARAM(m.MESSAGE), TLPARAM(m.WPARAM)});
  const std::vector<std::array<TLPARAM, 2>> want = {
      {WM_SYSCOMMAND, SC_CLOSE}, {WM_CLOSE, 0}, {WM_DESTROY, 0}};
  EXPECT_EQ(path, want);
  TRECT r;
  EXPECT_FALSE(GetWindowRect(h, &r));
  XSync(probe_, False);
  Window root, parent, *kids = nullptr;
  unsigned n = 0;
  ASSERT_TRUE(XQueryTree(probe_, DefaultRootWindow(probe_), &root, &parent, &kids, &n));
  bool still_there = false;
  for (unsigned i = 0; i < n; i++)
    still_there = still_there || kids[i] == xid;
  if (kids) XFree(kids);
  EXPECT_FALSE(still_there);
}

TEST_F(X11Test, MouseMessagesCarryButtonFlagsAndClientCoordinates) {
  run("xdotool mousemove 900 900");
  THANDLE h = make_window(WS_POPUP | WS_VISIBLE, 100, 100, 300, 200);
  ASSERT_NE(h, 0u);
  pump_idle();
  received.clear();

  run("xdotool mousemove 150 130");
  ASSERT_TRUE(pump_until([] { return saw(WM_MOUSEMOVE); }));
  EXPECT_EQ(of_kind(WM_MOUSEMOVE).back().LPARAM, (30 << 16) | 50);
  EXPECT_EQ(of_kind(WM_MOUSEMOVE).back().WPARAM, 0u);

  received.clear();
  run("xdotool mousedown 1 mouseup 1 keydown shift mousedown 3 mouseup 3 keyup shift "
      "mousedown 2 mouseup 2");
  ASSERT_TRUE(pump_until([] { return saw(WM_MBUTTONUP); }));
  ASSERT_EQ(of_kind(WM_LBUTTONDOWN).size(), 1u);
  EXPECT_EQ(of_kind(WM_LBUTTONDOWN)[0].WPARAM, MK_LBUTTON);
  EXPECT_EQ(of_kind(WM_LBUTTONDOWN)[0].LPARAM, (30 << 16) | 50);
  EXPECT_EQ(of_kind(WM_LBUTTONUP).at(0).WPARAM, 0u) << "the state after the release";
  EXPECT_EQ(of_kind(WM_RBUTTONDOWN).at(0).WPARAM, MK_RBUTTON | MK_SHIFT);
  EXPECT_EQ(of_kind(WM_RBUTTONUP).at(0).WPARAM, MK_SHIFT);
  EXPECT_EQ(of_kind(WM_MBUTTONDOWN).at(0).WPARAM, MK_MBUTTON);

  // Captured, the mouse is seen outside the window; left of it x is 65535 for -1.
  EXPECT_EQ(SetCapture(h), 0u);
  EXPECT_EQ(x11::capture(), h);
  received.clear();
  run("xdotool mousemove 99 90");
  ASSERT_TRUE(pump_until([] { return saw(WM_MOUSEMOVE); }));
  EXPECT_EQ(of_kind(WM_MOUSEMOVE).back().LPARAM, TLPARAM(0xFFF6FFFF));
  run("xdotool mousemove 500 450");
  ASSERT_TRUE(pump_until([] { return of_kind(WM_MOUSEMOVE).size() >= 2; }));
  EXPECT_EQ(of_kind(WM_MOUSEMOVE).back().LPARAM, (350 << 16) | 400);

  EXPECT_TRUE(ReleaseCapture());
  EXPECT_EQ(x11::capture(), 0u);
  received.clear();
  run("xdotool mousemove 50 50");
  pump_idle();
  EXPECT_FALSE(saw(WM_MOUSEMOVE)) << "released, moves outside go elsewhere";
  POINT p;
  ASSERT_TRUE(GetCursorPos(&p));
  EXPECT_EQ(p.X, 50);
  EXPECT_EQ(p.Y, 50);

  ASSERT_TRUE(SetCursorPos(120, 110));
  ASSERT_TRUE(GetCursorPos(&p));
  EXPECT_EQ(p.X, 120);
  EXPECT_EQ(p.Y, 110);
  ASSERT_TRUE(pump_until([] { return saw(WM_MOUSEMOVE); }));
  EXPECT_EQ(of_kind(WM_MOUSEMOVE).back().LPARAM, (10 << 16) | 20);
}

TEST_F(X11Test, GetMessageWaitsForInput) {
  THANDLE h = make_window(WINDOWED, CW_USEDEFAULT, CW_USEDEFAULT, 320, 200);
  ASSERT_NE(h, 0u);
  pump_idle(); // the first paint is out of the way
  TMSG m;
  ASSERT_FALSE(PeekMessageA(&m, 0, 0, 0, PM_NOREMOVE));
  pid_t child = spawn_shell("sleep 0.3; xdotool key b");
  ASSERT_GT(child, 0);
  auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(GetMessageA(&m, 0, 0, 0), 1);
  auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(wait_child(child), 0);
  EXPECT_EQ(m.MESSAGE, WM_KEYDOWN);
  EXPECT_EQ(m.WPARAM, TWPARAM('B'));
  EXPECT_EQ(m.HWND, h);
  EXPECT_GE(waited, std::chrono::milliseconds(200));
}

// The menu bar's loop runs beside the program: entering it returns, the program's frames go on
// while the menu holds the keyboard, the owner hears WM_ENTERIDLE once per wait, and a key
// chooses. Another window taking the focus, or the owner's end, closes it with no command.
// TrackPopupMenu's loop blocks, as on Windows, says it waits too, and closes as the focus goes.
TEST_F(X11Test, MenuBarLoopLeavesTheProgramDrawingAndClosesOnFocusLoss) {
  THANDLE bar = CreateMenu(), file = CreatePopupMenu();
  AppendMenuA(file, MF_STRING, 101, "&Open");
  AppendMenuA(file, MF_STRING, 102, "E&xit");
  AppendMenuA(bar, MF_POPUP, file, "&File");
  THANDLE h = make_window(WINDOWED, 100, 100, 320, 200, "menus", 0, bar), dc = GetDC(h);
  TPIXELFORMATDESCRIPTOR pfd;
  pfd.dwFlags = 0x25; // double-buffered OpenGL on a window
  ASSERT_TRUE(SetPixelFormat(dc, ChoosePixelFormat(dc, &pfd), &pfd)) << LastErrorText();
  THANDLE rc = wglCreateContext(dc);
  ASSERT_TRUE(wglMakeCurrent(dc, rc));
  pump_idle();
  auto held = [&] { // whether the menu holds the keyboard
    int r = XGrabKeyboard(probe_, DefaultRootWindow(probe_), False, GrabModeAsync, GrabModeAsync,
                          CurrentTime);
    if (r == GrabSuccess) XUngrabKeyboard(probe_, CurrentTime);
    XSync(probe_, False);
    return r == AlreadyGrabbed;
  };
  received.clear();
  PostMessageA(h, WM_KEYDOWN, VK_DOWN, 0); // typed before the menu held the keyboard: it steers
  SendMessageA(h, WM_SYSCOMMAND, SC_KEYMENU, 'f');
  SendMessageA(h, WM_SYSCOMMAND, SC_KEYMENU, 'f'); // one loop at a time
  ASSERT_TRUE(held());
  int frames = 0;
  for (; frames < 20 && held(); frames++) {
    pump_until([] { return true; });
    glClearColor(float(frames) / 20, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    SwapBuffers(dc);
  }
  EXPECT_EQ(frames, 20);
  EXPECT_EQ(of_kind(WM_ENTERMENULOOP).size(), 1u);
  ASSERT_EQ(of_kind(WM_ENTERIDLE).size(), 1u) << "once, however long it waits";
  EXPECT_EQ(of_kind(WM_ENTERIDLE)[0].WPARAM, TWPARAM(MSGF_MENU));
  EXPECT_EQ(of_kind(WM_ENTERIDLE)[0].LPARAM, TLPARAM(h));
  pid_t keys = spawn_shell("xdotool key Return"); // GetMessageA waits on the menu too
  TMSG m;
  while (GetMessageA(&m, 0, 0, 0) > 0 && m.MESSAGE != WM_COMMAND)
    DispatchMessageA(&m);
  EXPECT_EQ(wait_child(keys), 0);
  EXPECT_EQ(m.WPARAM, 102u);
  auto exit = std::find_if(received.begin(), received.end(),
                           [](const TMSG &m) { return m.MESSAGE == WM_EXITMENULOOP; });
  EXPECT_EQ(exit[-1].MESSAGE, WM_MENUSELECT);
  EXPECT_EQ(exit[-1].WPARAM, 0xFFFF0000u) << "then the command, posted";
  EXPECT_FALSE(held());

  Window other = XCreateSimpleWindow(probe_, DefaultRootWindow(probe_), 0, 0, 40, 40, 0, 0, 0);
  XSelectInput(probe_, other, StructureNotifyMask);
  XMapWindow(probe_, other);
  for (XEvent ev; ev.type != MapNotify;)
    XWindowEvent(probe_, other, StructureNotifyMask, &ev);
  received.clear();
  SendMessageA(h, WM_SYSCOMMAND, SC_KEYMENU, 'f');
  ASSERT_TRUE(held());
  XSetInputFocus(probe_, other, RevertToParent, CurrentTime);
  XFlush(probe_);
  ASSERT_TRUE(pump_until([] { return saw(WM_EXITMENULOOP); }));
  EXPECT_FALSE(held());
  SendMessageA(h, WM_SYSCOMMAND, SC_KEYMENU, 'f');
  ASSERT_TRUE(held());
  wglMakeCurrent(0, 0);
  DestroyWindow(h);
  EXPECT_FALSE(held()) << "the owner's end closes its menu";
  pump_idle();
  EXPECT_FALSE(saw(WM_COMMAND));
  wglDeleteContext(rc);

  h = make_window(WINDOWED, 100, 100, 320, 200);
  THANDLE popup = CreatePopupMenu();
  AppendMenuA(popup, MF_STRING, 101, "&Open");
  received.clear();
  pid_t child = spawn_shell("timeout 10 xdotool search --sync --onlyvisible --name "
                            "'^vantrel menu$' >/dev/null && xdotool windowfocus " +
                            std::to_string(other));
  EXPECT_EQ(TrackPopupMenu(popup, TPM_RETURNCMD, 120, 120, 0, h, nullptr), 0);
  EXPECT_EQ(wait_child(child), 0);
  ASSERT_EQ(of_kind(WM_ENTERIDLE).size(), 1u);
  EXPECT_EQ(of_kind(WM_ENTERIDLE)[0].LPARAM, TLPARAM(h));
  XDestroyWindow(probe_, other);
}

// Answers the next box titled CAPTION with the xdotool ACTION once it is on screen ($WIDTH and
// $HEIGHT hold the box's size there), and records what the box looks like to others in INFO.
pid_t answer_box(const std::string &caption, const std::string &action, const std::string &info) {
  return spawn_shell("id=$(timeout 10 xdotool search --sync --onlyvisible --name '^" + caption +
                     "$' | head -n 1); [ -n \"$id\" ] || exit 3; "
                     "xprop -id $id _NET_WM_WINDOW_TYPE WM_TRANSIENT_FOR WM_NAME > '" +
                     info + "'; xdotool getwindowgeometry $id >> '" + info +
                     "'; eval $(xdotool getwindowgeometry --shell $id); "
                     "timeout 5 xdotool windowfocus --sync $id; xdotool " +
                     action);
}

TEST_F(X11Test, MessageBoxIsAnsweredFromTheKeyboardAndMouse) {
  std::string info = "/tmp/vantrel_x11_box_" + std::to_string(getpid());
  struct answer_case {
    LONGWORD style;
    const char *action;
    LONGINT answer;
  } cases[] = {
      {MB_YESNO | MB_ICONQUESTION, "key y", IDYES},
      {MB_YESNO | MB_ICONQUESTION, "key n", IDNO},
      {MB_YESNO, "key Escape y", IDYES}, // Escape means nothing without Cancel
      {MB_YESNO, "key Return", IDYES},
      {MB_YESNO, "key Tab Return", IDNO},
      {MB_OK, "key Return", IDOK},
      {MB_OK, "key Escape", IDOK},
      // The centre of the No button: right of the middle, above the bottom margin.
      {MB_YESNO, "mousemove --window $id $((WIDTH / 2 + 45)) $((HEIGHT - 30)) click 1", IDNO},
      {MB_YESNO, "mousemove --window $id $((WIDTH / 2 - 45)) $((HEIGHT - 30)) click 1", IDYES}};
  for (const answer_case &c : cases) {
    pid_t child = answer_box("Video!", c.action, info);
    ASSERT_GT(child, 0);
    EXPECT_EQ(MessageBoxA(0, "Settare lo schermo intero?  ", "Video!", c.style), c.answer)
        << c.action;
    EXPECT_EQ(wait_child(child), 0) << c.action;
  }
  std::string seen = read_file(info);
  std::remove(info.c_str());
  EXPECT_NE(seen.find("_NET_WM_WINDOW_TYPE_DIALOG"), std::string::npos) << seen;
  EXPECT_NE(seen.find("WM_TRANSIENT_FOR(WINDOW)"), std::string::npos) << seen;
  EXPECT_NE(seen.find("\"Video!\""), std::string::npos) << seen;
  // Centred on the screen.
  int x = 0, y = 0, w = 0, hgt = 0;
  auto pos = seen.find("Position: "), geo = seen.find("Geometry: ");
  ASSERT_NE(pos, std::string::npos);
  ASSERT_NE(geo, std::string::npos);
  std::sscanf(seen.c_str() + pos, "Position: %d,%d", &x, &y);
  std::sscanf(seen.c_str() + geo, "Geometry: %dx%d", &w, &hgt);
  EXPECT_NEAR(x + w / 2, DisplayWidth(probe_, DefaultScreen(probe_)) / 2, 1);
  EXPECT_NEAR(y + hgt / 2, DisplayHeight(probe_, DefaultScreen(probe_)) / 2, 1);
  EXPECT_GE(w, 240);
}

TEST_F(X11Test, MessageBoxWithoutADisplayReturnsZeroAndPrintsTheText) {
  std::string saved = std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "";
  setenv("DISPLAY", ":4999", 1);
  testing::internal::CaptureStderr();
  LONGINT answer =
      MessageBoxA(0, "la rispettiva applicazione non \xe8 stata inizilizata!", "Error", MB_OK);
  std::string err = testing::internal::GetCapturedStderr();
  setenv("DISPLAY", saved.c_str(), 1);
  EXPECT_EQ(answer, 0);
  EXPECT_NE(err.find("Error: la rispettiva applicazione non \xc3\xa8 stata inizilizata!"),
            std::string::npos)
      << err;
}

TEST_F(X11Test, CursorFilesMustExist) {
  EXPECT_EQ(LoadCursorFromFileA("/nonexistent/arrow.cur"), 0u);
  EXPECT_EQ(GetLastError(), common::ERROR_FILE_NOT_FOUND);
  EXPECT_NE(LastErrorText().find("/nonexistent/arrow.cur"), std::string::npos);
  EXPECT_EQ(LoadCursorFromFileA(nullptr), 0u);
  std::string path = "/tmp/vantrel_x11_cursor_" + std::to_string(getpid()) + ".cur";
  std::ofstream(path) << "cursor";
  EXPECT_NE(LoadCursorFromFileA(path.c_str()), 0u);
  std::remove(path.c_str());
  EXPECT_NE(GetModuleHandleA(nullptr), 0u);
  EXPECT_EQ(StartupShowCommand(), SW_SHOWNORMAL);
}

} // namespace
} // namespace vantrel::test
