// The x11 backend: Xlib windows with GLX contexts, X events turned into Win32 messages.
//
// Implemented features:
//  [X] Process services: instance handle, start-up show command, screen size of the default
//      screen, cursor files (checked for existence)
//  [X] Top-level windows created with the visual of a GLX framebuffer configuration chosen at
//      creation (double-buffered RGBA, depth >= 16, TrueColor); child windows as X children
//  [X] Win32's window model: the X window is the client area, placed where Win32 puts it
//      inside the outer rectangle by Win32's frame and caption metrics (Wine's values), with or
//      without a window manager; captioned windows are fixed-size and decorated by the manager
//      (StaticGravity keeps the client in place), WS_BORDER windows get a one-pixel X border;
//      a top-level window with a caption or a thin border is a frame window holding the client
//      window, its thin border and its menu bar; the display mode is never changed
//  [X] Default processing erases with the class background brush (WM_ERASEBKGND) on show,
//      Expose and InvalidateRect with erase, in Wine's system colours
//  [X] Titles as UTF-8 (_NET_WM_NAME) and Latin-1 (WM_NAME), converted from Windows-1252
//  [X] Top-level windows and message boxes carry WM_CLASS, WM_HINTS (input), WM_CLIENT_MACHINE,
//      _NET_WM_PID, _NET_WM_WINDOW_TYPE and WM_PROTOCOLS, and answer _NET_WM_PING
//  [X] Close button (WM_DELETE_WINDOW) posts WM_SYSCOMMAND SC_CLOSE; Expose invalidates
//      (WM_PAINT); a window destroyed by another program gets WM_DESTROY
//  [X] Keys as Win32 virtual-key codes, WM_SYSKEYDOWN/UP with Alt and for F10, real characters
//      from XLookupString for TranslateMessage; auto-repeats folded into the repeat count of
//      the key-down still queued
//  [X] Mouse moves, left/right/middle buttons and the wheel with MK_ flags and 16-bit client
//      coordinates, at most one move queued; capture as a pointer grab; cursor position on
//      the root window
//  [X] No heap allocation per input event
//  [X] Foreground window from the input focus
//  [X] Pixel format choice among the GLX configurations, compatibility contexts made with
//      glXCreateNewContext, glXSwapBuffers
//  [X] Message boxes: a modal dialog of its own connection with Xft text, keyboard and mouse;
//      the four MB_ICON icons drawn in vectors, underlined access letters that answer, Escape
//      and the close button answering only Cancel or a lone OK, as on Windows
//  [X] Child windows with the parent's visual; their key events go to the top-level window
//  [X] Window regions as XShape bounding and input shapes, so cut-away clicks fall through
//  [X] BitBlt onto windows from bitmaps held as pixmaps (refreshed when the pixels change)
//  [X] The status window painted with Xft: parts, texts, sunken separators
//  [X] Menus (x11_menu.cpp): the shared menu loop with pop-ups as override-redirect windows in
//      the message box's font on a connection of their own, keyboard and pointer grabbed while
//      it runs; a menu bar moves the client window down by SM_CYMENU. The bar's loop is stepped
//      by PeekMessageA and GetMessageA, so frames go on; TrackPopupMenu's blocks until chosen.
//      WM_ENTERIDLE while a menu waits; the focus taken by another window closes it
//  [X] Test hook (x11_test_hooks.h): fail_pixel_format makes ChoosePixelFormat return 0
// Missing features or Issues:
//  [ ] Palettes are the shared code's alone (TrueColor visuals need nothing on the server);
//      pictures are painted only on TrueColor and DirectColor windows
//  [ ] Cursor and icon files are not loaded: the class cursor is the matching X font cursor,
//      a file cursor leaves the default one
//  [X] The menu bar drawn in the frame window (a window without caption or thin border has no
//      frame, and its bar is not drawn); a click on a title enters it (WM_NCLBUTTONDOWN, HTMENU)
//  [ ] The program draws no frames while a TrackPopupMenu pop-up is open; no owner-drawn or
//      bitmap items, no accelerator tables
//  [X] Under a window manager: full screen through _NET_WM_STATE_FULLSCREEN where it is
//      offered, the thin frame of WS_BORDER as a window of its own, a window destroyed by
//      another program noticed by SwapBuffers before the next frame draws into it
//  [ ] Without a window manager nothing is drawn in the caption and frame of a captioned
//      window; with one, its own frame (of its own size) surrounds the client area
#include "vantrel/platform/x11/x11_test_hooks.h"

#include <X11/Xatom.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unordered_map>

#include "vantrel/platform/common/backend_calls.h"
#include "vantrel/platform/common/gdi_objects.h"
#include "vantrel/platform/common/message_queue.h"
#include "vantrel/platform/common/window_paint.h"
#include "vantrel/platform/x11/x11_internal.h"

namespace vantrel::x11 {
namespace {

Display *shared_display = nullptr;
bool display_tried = false;
atoms shared_atoms{};
THANDLE capture_window = 0;
int last_x_error = 0;
std::unordered_map<Window, THANDLE> windows_by_xid;

int record_error(Display *, XErrorEvent *e) {
  last_x_error = e->error_code;
  return 0;
}

// Windows-1252 bytes 0x80..0x9F as Unicode; 0 marks the five unassigned ones.
const char16_t cp1252_high[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                  0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                  0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                  0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void append_utf8(std::string &out, unsigned code) {
  if (code < 0x80) {
    out += char(code);
  } else if (code < 0x800) {
    out += char(0xC0 | (code >> 6));
    out += char(0x80 | (code & 0x3F));
  } else {
    out += char(0xE0 | (code >> 12));
    out += char(0x80 | ((code >> 6) & 0x3F));
    out += char(0x80 | (code & 0x3F));
  }
}

// True when TEXT is well-formed UTF-8 and has at least one multi-byte sequence.
bool is_multibyte_utf8(const std::string &text) {
  bool multi = false;
  for (std::size_t i = 0; i < text.size();) {
    unsigned char c = text[i];
    std::size_t n = 0;
    if (c < 0x80) {
      i++;
      continue;
    }
    if (c >= 0xC2 && c <= 0xDF)
      n = 1;
    else if (c >= 0xE0 && c <= 0xEF)
      n = 2;
    else if (c >= 0xF0 && c <= 0xF4)
      n = 3;
    else
      return false;
    if (i + n >= text.size()) return false;
    for (std::size_t k = 1; k <= n; k++)
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    multi = true;
    i += n + 1;
  }
  return multi;
}

} // namespace

void install_error_handler() {
  static bool installed = false;
  if (!installed) XSetErrorHandler(record_error);
  installed = true;
}

int sync_error(Display *d) {
  XSync(d, False);
  int e = last_x_error;
  last_x_error = 0;
  return e;
}

atoms intern_atoms(Display *d) {
  const char *names[] = {"WM_PROTOCOLS",
                         "WM_DELETE_WINDOW",
                         "_NET_WM_NAME",
                         "UTF8_STRING",
                         "_NET_FRAME_EXTENTS",
                         "_NET_REQUEST_FRAME_EXTENTS",
                         "_NET_SUPPORTING_WM_CHECK",
                         "_MOTIF_WM_HINTS",
                         "_NET_WM_WINDOW_TYPE",
                         "_NET_WM_WINDOW_TYPE_DIALOG",
                         "_NET_WM_WINDOW_TYPE_NORMAL",
                         "_NET_WM_PID",
                         "_NET_WM_STATE",
                         "_NET_WM_STATE_MODAL",
                         "_NET_WM_PING",
                         "_NET_WM_STATE_FULLSCREEN",
                         "_NET_SUPPORTED"};
  constexpr int count = sizeof(names) / sizeof(names[0]);
  static_assert(sizeof(atoms) == count * sizeof(Atom));
  Atom out[count];
  XInternAtoms(d, const_cast<char **>(names), count, False, out);
  atoms a;
  Atom *fields = reinterpret_cast<Atom *>(&a);
  for (int i = 0; i < count; i++)
    fields[i] = out[i];
  return a;
}

Display *display() {
  if (display_tried) return shared_display;
  display_tried = true;
  install_error_handler();
  shared_display = XOpenDisplay(nullptr);
  if (!shared_display) {
    common::set_last_error(common::ERROR_INVALID_DATA, "no X display could be opened");
    return nullptr;
  }
  shared_atoms = intern_atoms(shared_display);
  init_keyboard(shared_display);
  install_backend_hooks();
  return shared_display;
}

const atoms &atom() { return shared_atoms; }

bool window_manager_running(Display *d) {
  Window root = DefaultRootWindow(d);
  Atom check = XInternAtom(d, "_NET_SUPPORTING_WM_CHECK", False);
  auto read_window = [&](Window w, Window *out) {
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char *data = nullptr;
    bool ok = XGetWindowProperty(d, w, check, 0, 1, False, XA_WINDOW, &type, &format, &count,
                                 &after, &data) == Success &&
              data && count == 1 && format == 32;
    if (ok) *out = *reinterpret_cast<Window *>(data);
    if (data) XFree(data);
    return ok;
  };
  Window wm = 0, self = 0;
  if (read_window(root, &wm) && read_window(wm, &self) && self == wm) return true;
  // A window manager without the extended hints still owns the ICCCM manager selection.
  char name[32];
  std::snprintf(name, sizeof name, "WM_S%d", DefaultScreen(d));
  return XGetSelectionOwner(d, XInternAtom(d, name, False)) != None;
}

void remember_window(Window xid, THANDLE handle) { windows_by_xid[xid] = handle; }

void forget_window(Window xid) { windows_by_xid.erase(xid); }

common::window *window_of(Window xid) {
  auto it = windows_by_xid.find(xid);
  return it == windows_by_xid.end() ? nullptr : common::find_window(it->second);
}

x11_window *native(common::window &w) { return static_cast<x11_window *>(w.native); }

x11_window *native(THANDLE handle) {
  common::window *w = common::find_window(handle);
  return w ? native(*w) : nullptr;
}

THANDLE captured_window() { return capture_window; }

void forget_capture(THANDLE handle) {
  if (capture_window != handle) return;
  if (shared_display) {
    XUngrabPointer(shared_display, CurrentTime);
    XFlush(shared_display);
  }
  capture_window = 0;
}

std::string window_text_utf8(PCHAR text) {
  std::string in = text ? text : "";
  if (is_multibyte_utf8(in)) return in;
  std::string out;
  for (unsigned char c : in) {
    if (c < 0x80 || c >= 0xA0) {
      append_utf8(out, c);
    } else {
      char16_t u = cp1252_high[c - 0x80];
      append_utf8(out, u ? u : 0xFFFD);
    }
  }
  return out;
}

std::string utf8_to_latin1(const std::string &text) {
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    unsigned char c = text[i];
    if (c < 0x80) {
      out += char(c);
      i++;
      continue;
    }
    std::size_t n = (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 1;
    unsigned code = n == 2 && i + 1 < text.size() ? ((c & 0x1F) << 6) | (text[i + 1] & 0x3F) : 0;
    out += code >= 0xA0 && code <= 0xFF ? char(code) : '?';
    i += n;
  }
  return out;
}

void set_window_title(Display *d, Window xid, const atoms &a, PCHAR title) {
  std::string utf8 = window_text_utf8(title);
  std::string latin1 = utf8_to_latin1(utf8);
  XChangeProperty(d, xid, a.net_wm_name, a.utf8_string, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char *>(utf8.data()), int(utf8.size()));
  XChangeProperty(d, xid, XA_WM_NAME, XA_STRING, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char *>(latin1.data()), int(latin1.size()));
}

void set_manager_properties(Display *d, Window xid, const atoms &a, Atom type) {
  if (XWMHints *hints = XAllocWMHints()) {
    hints->flags = InputHint | StateHint;
    hints->input = True;
    hints->initial_state = NormalState;
    XSetWMHints(d, xid, hints);
    XFree(hints);
  }
  char host[256] = {};
  if (gethostname(host, sizeof host - 1) == 0 && host[0]) {
    XChangeProperty(d, xid, XA_WM_CLIENT_MACHINE, XA_STRING, 8, PropModeReplace,
                    reinterpret_cast<unsigned char *>(host), int(std::strlen(host)));
  }
  long pid = long(getpid());
  XChangeProperty(d, xid, a.net_wm_pid, XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<unsigned char *>(&pid), 1);
  Atom protocols[] = {a.wm_delete_window, a.net_wm_ping};
  XSetWMProtocols(d, xid, protocols, 2);
  XChangeProperty(d, xid, a.net_wm_window_type, XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<unsigned char *>(&type), 1);
}

bool answer_ping(Display *d, const atoms &a, XEvent &ev) {
  if (ev.type != ClientMessage || ev.xclient.message_type != a.wm_protocols ||
      Atom(ev.xclient.data.l[0]) != a.net_wm_ping)
    return false;
  // The ping goes back to the root window, where the window manager listens.
  Window root = DefaultRootWindow(d);
  XEvent reply = ev;
  reply.xclient.window = root;
  XSendEvent(d, root, False, SubstructureNotifyMask | SubstructureRedirectMask, &reply);
  XFlush(d);
  return true;
}

bool display_available() { return display() != nullptr; }

unsigned long native_window(THANDLE window) {
  x11_window *n = native(window);
  return n ? n->xid : 0;
}

THANDLE capture() { return capture_window; }

void sync() {
  if (shared_display) XSync(shared_display, False);
}

void reset() {
  common::use_backend("x11");
  close_menu();
  reset_contexts();
  for (THANDLE h : common::child_windows(0))
    platform::DestroyWindow(h);
  common::reset();
  reset_input();
  forget_capture(capture_window);
  reset_gdi();
  reset_status_bar();
  if (shared_display) {
    XSync(shared_display, True); // events of the old windows are dropped
    sync_error(shared_display);  // and so are their errors, not to fail the next call
  }
}

namespace {
// Moves every event the server has sent so far into the common queue, without waiting.
void drain_events() {
  Display *d = shared_display;
  if (!d) return;
  while (XPending(d) > 0) {
    XEvent ev;
    XNextEvent(d, &ev);
    translate_event(ev);
  }
}
} // namespace

Display *side_connection::get() {
  const char *env = std::getenv("DISPLAY");
  const std::string name = env ? env : "";
  if (kept_ && name == name_) return kept_;
  if (kept_) XCloseDisplay(kept_);
  kept_ = XOpenDisplay(nullptr);
  name_ = name;
  return kept_;
}

} // namespace vantrel::x11

namespace vantrel::x11 {
using namespace vantrel::platform;

LONGINT GetSystemMetrics(LONGINT index) {
  Display *d = display();
  if (!d) return 0;
  if (index == SM_CXSCREEN) return DisplayWidth(d, DefaultScreen(d));
  if (index == SM_CYSCREEN) return DisplayHeight(d, DefaultScreen(d));
  if (index == SM_CMONITORS) return ScreenCount(d);
  return common::system_metric(index);
}

THANDLE LoadCursorFromFileA(PCHAR name) {
  struct stat st;
  if (!name || !*name || stat(name, &st) != 0 || !S_ISREG(st.st_mode)) {
    common::set_last_error(common::ERROR_FILE_NOT_FOUND,
                           std::string("cursor file not found: ") + (name ? name : "(null)"));
    return 0;
  }
  common::gdi_object c;
  c.kind = common::gdi_kind::cursor;
  c.name = name;
  return common::add_object(std::move(c));
}

namespace {
// The queue's next message, its pointer messages routed as Win32 routes them when taken.
bool take(TMSG *msg, THANDLE window, LONGWORD first, LONGWORD last, LONGWORD remove) {
  for (;;) {
    if (!common::peek(msg, window, first, last, remove)) return false;
    if (route_pointer_message(*msg)) return true;
    if (!(remove & PM_REMOVE)) common::peek(msg, window, first, last, PM_REMOVE); // drop it
  }
}
} // namespace

BOOLEAN PeekMessageA(TMSG *msg, THANDLE window, LONGWORD first, LONGWORD last, LONGWORD remove) {
  if (!msg) return false;
  drain_events();
  step_menu(); // an open menu bar moves on between the program's frames
  return take(msg, window, first, last, remove);
}

LONGINT GetMessageA(TMSG *msg, THANDLE window, LONGWORD first, LONGWORD last) {
  if (!msg || (window != 0 && !common::find_window(window))) return -1; // never waits for it
  for (;;) {
    drain_events();
    step_menu();
    if (take(msg, window, first, last, PM_REMOVE)) return msg->MESSAGE == WM_QUIT ? 0 : 1;
    Display *d = display();
    if (!d) return -1; // nothing can ever arrive
    XFlush(d);
    if (XEventsQueued(d, QueuedAlready) > 0 || menu_events_queued()) continue;
    // An open menu bar's connection wakes the wait too: its steps send the owner messages.
    pollfd p[2] = {{ConnectionNumber(d), POLLIN, 0}, {menu_connection(), POLLIN, 0}};
    if (poll(p, p[1].fd >= 0 ? 2 : 1, -1) < 0 && errno != EINTR) return -1;
    if (p[0].revents & (POLLERR | POLLHUP)) return -1;
  }
}

THANDLE SetCapture(THANDLE window) {
  THANDLE previous = capture_window;
  x11_window *n = native(window);
  Display *d = display();
  if (!n || !d) return previous;
  // owner_events off: every pointer event comes to this window, in its coordinates.
  XGrabPointer(d, n->xid, False, ButtonPressMask | ButtonReleaseMask | PointerMotionMask,
               GrabModeAsync, GrabModeAsync, None, None, CurrentTime);
  XFlush(d);
  capture_window = window;
  return previous;
}

BOOLEAN ReleaseCapture() {
  if (Display *d = display()) {
    XUngrabPointer(d, CurrentTime);
    XFlush(d);
  }
  capture_window = 0;
  return true;
}

BOOLEAN GetCursorPos(POINT *p) {
  Display *d = display();
  if (!p || !d) return false;
  Window root, child;
  int rx = 0, ry = 0, wx, wy;
  unsigned mask;
  if (!XQueryPointer(d, DefaultRootWindow(d), &root, &child, &rx, &ry, &wx, &wy, &mask))
    return false;
  *p = {rx, ry};
  return true;
}

BOOLEAN SetCursorPos(LONGINT x, LONGINT y) {
  Display *d = display();
  if (!d) return false;
  XWarpPointer(d, None, DefaultRootWindow(d), 0, 0, 0, 0, x, y);
  XFlush(d);
  return true;
}

THANDLE GetForegroundWindow() {
  Display *d = display();
  if (!d) return 0;
  Window focus = 0;
  int revert;
  XGetInputFocus(d, &focus, &revert);
  Window root = DefaultRootWindow(d);
  // The focus may sit on one of our children or on a window inside ours; walk up to ours.
  for (Window cur = focus; cur > PointerRoot && cur != root;) {
    if (common::window *w = window_of(cur)) {
      while (w->parent && common::find_window(w->parent))
        w = common::find_window(w->parent);
      return w->handle;
    }
    Window r, parent = 0, *kids = nullptr;
    unsigned n = 0;
    if (!XQueryTree(d, cur, &r, &parent, &kids, &n)) break;
    if (kids) XFree(kids);
    cur = parent;
  }
  return 0;
}

} // namespace vantrel::x11
