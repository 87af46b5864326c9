// X windows behind the common window records: creation with a GLX visual, decorations, size
// hints, frame extents, mapping and destruction.
#include <X11/Xatom.h>
#include <X11/cursorfont.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <map>

#include "vantrel/platform/common/gdi_objects.h"
#include "vantrel/platform/x11/x11_internal.h"

namespace vantrel::x11 {
namespace {

constexpr long window_events = ExposureMask | KeyPressMask | KeyReleaseMask | ButtonPressMask |
                               ButtonReleaseMask | PointerMotionMask | StructureNotifyMask |
                               FocusChangeMask | PropertyChangeMask;
// Children never hold the keyboard focus, as on Win32 without SetFocus: their key events are
// left to travel up to the top-level window, even while the pointer is over a child.
constexpr long child_events = window_events & ~(KeyPressMask | KeyReleaseMask | FocusChangeMask);

// The window being made: common::create_window hangs it on the record before WM_CREATE.
x11_window *pending = nullptr;

void attach_pending(common::window &w) {
  w.native = pending;
  remember_window(pending->xid, w.handle);
  pending = nullptr;
}

void free_native(common::window &w) {
  auto *n = static_cast<x11_window *>(w.native);
  w.native = nullptr;
  forget_capture(w.handle);
  Display *d = display();
  if (!n || !d) {
    if (n) forget_window(n->xid);
    delete n;
    return;
  }
  forget_window(n->xid);
  release_gl(*n);
  if (!n->gone) XDestroyWindow(d, n->xid);
  if (n->colormap) XFreeColormap(d, n->colormap);
  XFlush(d);
  delete n;
}

// Waits up to TIMEOUT_MS for an event of TYPE on XID and takes it out of the queue.
bool wait_for_event(Display *d, Window xid, int type, int timeout_ms, XEvent *out) {
  using clock = std::chrono::steady_clock;
  auto end = clock::now() + std::chrono::milliseconds(timeout_ms);
  for (;;) {
    if (XCheckTypedWindowEvent(d, xid, type, out)) return true;
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - clock::now());
    if (left.count() <= 0) return false;
    pollfd p{ConnectionNumber(d), POLLIN, 0};
    poll(&p, 1, int(left.count()));
  }
}

bool read_frame_extents(Display *d, Window xid, long out[4]) {
  Atom type;
  int format;
  unsigned long count, after;
  unsigned char *data = nullptr;
  bool ok = XGetWindowProperty(d, xid, atom().net_frame_extents, 0, 4, False, XA_CARDINAL, &type,
                               &format, &count, &after, &data) == Success &&
            data && format == 32 && count == 4;
  if (ok)
    for (int i = 0; i < 4; i++)
      out[i] = reinterpret_cast<long *>(data)[i];
  if (data) XFree(data);
  return ok;
}

// Asks the window manager what frame it will put around a decorated window, before it is
// mapped, so that the outer size can be kept to what the caller asked for.
void request_frame_extents(Display *d, x11_window &n) {
  XEvent ev{};
  ev.xclient.type = ClientMessage;
  ev.xclient.window = n.xid;
  ev.xclient.message_type = atom().net_request_frame_extents;
  ev.xclient.format = 32;
  XSendEvent(d, DefaultRootWindow(d), False, SubstructureNotifyMask | SubstructureRedirectMask,
             &ev);
  XFlush(d);
  long ext[4];
  XEvent prop;
  using clock = std::chrono::steady_clock;
  auto end = clock::now() + std::chrono::milliseconds(300);
  while (clock::now() < end) {
    if (read_frame_extents(d, n.xid, ext)) break;
    wait_for_event(d, n.xid, PropertyNotify, 50, &prop);
  }
}

void set_size_hints(Display *d, const x11_window &n, LONGINT x, LONGINT y, LONGINT cw, LONGINT ch) {
  XSizeHints *hints = XAllocSizeHints();
  if (!hints) return;
  hints->flags = USPosition | PPosition | USSize | PSize | PWinGravity;
  hints->x = x, hints->y = y, hints->width = cw, hints->height = ch;
  hints->win_gravity = NorthWestGravity; // (x, y) is the frame's top-left corner
  if (n.fixed_size) {
    hints->flags |= PMinSize | PMaxSize;
    hints->min_width = hints->max_width = cw;
    hints->min_height = hints->max_height = ch;
  }
  XSetWMNormalHints(d, n.xid, hints);
  XFree(hints);
}

// The X font cursor that looks like a Win32 system cursor.
unsigned font_cursor_for(LONGINT idc) {
  switch (idc) {
  case IDC_IBEAM:
    return XC_xterm;
  case IDC_WAIT:
  case IDC_APPSTARTING:
    return XC_watch;
  case IDC_CROSS:
    return XC_crosshair;
  case IDC_UPARROW:
    return XC_sb_up_arrow;
  case IDC_SIZE:
  case IDC_SIZEALL:
    return XC_fleur;
  case IDC_SIZENWSE:
    return XC_bottom_right_corner;
  case IDC_SIZENESW:
    return XC_bottom_left_corner;
  case IDC_SIZEWE:
    return XC_sb_h_double_arrow;
  case IDC_SIZENS:
    return XC_sb_v_double_arrow;
  case IDC_NO:
    return XC_X_cursor;
  case IDC_HAND:
    return XC_hand2;
  case IDC_HELP:
    return XC_question_arrow;
  default:
    return XC_left_ptr;
  }
}

void set_class_cursor(Display *d, Window xid, const common::window_class *cls) {
  static std::map<unsigned, Cursor> cursors;
  common::gdi_object *c =
      cls ? common::find_object(cls->cursor, common::gdi_kind::cursor) : nullptr;
  if (!c || !c->name.empty()) return; // file cursors keep the default one
  unsigned shape = font_cursor_for(c->id);
  Cursor &cur = cursors[shape];
  if (!cur) cur = XCreateFontCursor(d, shape);
  XDefineCursor(d, xid, cur);
}

// Makes the window visible; a top-level window is waited for and, with nobody else to do it,
// given the keyboard focus, as a newly shown window becomes the foreground window on Win32.
void map_window(Display *d, common::window &w) {
  x11_window *n = native(w);
  if (!n) return;
  XMapRaised(d, n->xid);
  if (!n->top_level) {
    XFlush(d);
    return;
  }
  XEvent ev;
  bool mapped = wait_for_event(d, n->xid, MapNotify, 2000, &ev);
  if (mapped && !window_manager_running(d)) {
    XSetInputFocus(d, n->xid, RevertToParent, CurrentTime);
    sync_error(d); // a window unmapped again meanwhile refuses the focus; that is harmless
  }
  XWindowAttributes wa;
  if (mapped && n->bordered && XGetWindowAttributes(d, n->xid, &wa) && wa.border_width == 0) {
    // Window managers may take the X border away; the window then grows to the outer size
    // so that it still covers what the caller asked for.
    n->bordered = false;
    LONGINT ow = w.rect.RIGHT - w.rect.LEFT, oh = w.rect.BOTTOM - w.rect.TOP;
    w.client = {0, 0, ow, oh};
    set_size_hints(d, *n, w.rect.LEFT, w.rect.TOP, ow, oh);
    XMoveResizeWindow(d, n->xid, w.rect.LEFT, w.rect.TOP, unsigned(ow), unsigned(oh));
    w.needs_paint = true;
  }
  if (n->decorated) apply_frame_extents(w);
  XFlush(d);
}

// Marks W and everything below it as destroyed on the server.
void mark_gone(common::window &w) {
  if (x11_window *n = native(w)) n->gone = true;
  for (THANDLE c : common::child_windows(w.handle))
    if (common::window *child = common::find_window(c)) mark_gone(*child);
}

} // namespace

void window_destroyed_outside(common::window &w) {
  Display *d = display();
  x11_window *n = native(w);
  if (!d || !n) return;
  if (common::window *parent = common::find_window(w.parent)) {
    // The server destroys children before their parent. While the parent's own window is gone
    // too, its turn comes next and takes the whole tree, parent first, as Win32 orders
    // WM_DESTROY.
    x11_window *pn = native(*parent);
    XWindowAttributes wa;
    const bool parent_alive = pn && XGetWindowAttributes(d, pn->xid, &wa) && !sync_error(d);
    if (!parent_alive) return;
  }
  mark_gone(w);
  common::destroy_window(w.handle, free_native);
}

void apply_frame_extents(common::window &w) {
  x11_window *n = native(w);
  Display *d = display();
  if (!n || !d || !n->decorated) return;
  long ext[4] = {0, 0, 0, 0};
  if (!read_frame_extents(d, n->xid, ext)) return;
  LONGINT l = LONGINT(ext[0]), r = LONGINT(ext[1]), t = LONGINT(ext[2]), b = LONGINT(ext[3]);
  if (l == n->frame_left && r == n->frame_right && t == n->frame_top && b == n->frame_bottom)
    return;
  n->frame_left = l, n->frame_right = r, n->frame_top = t, n->frame_bottom = b;
  LONGINT ow = w.rect.RIGHT - w.rect.LEFT, oh = w.rect.BOTTOM - w.rect.TOP;
  LONGINT cw = std::max(1, ow - l - r), ch = std::max(1, oh - t - b);
  w.client = {l, t, l + cw, t + ch};
  set_size_hints(d, *n, w.rect.LEFT, w.rect.TOP, cw, ch);
  XResizeWindow(d, n->xid, unsigned(cw), unsigned(ch));
  w.needs_paint = true;
}

} // namespace vantrel::x11

namespace vantrel::platform {
using namespace vantrel::x11;

THANDLE CreateWindowExA(LONGWORD, PCHAR class_name, PCHAR title, LONGWORD style, LONGINT x,
                        LONGINT y, LONGINT w, LONGINT h, THANDLE parent, THANDLE menu, THANDLE,
                        void *) {
  Display *d = display();
  if (!d) return 0; // the reason is set by display()
  const common::window_class *cls = class_name ? common::find_class(class_name) : nullptr;
  if (!cls) {
    common::set_last_error(1407, std::string("unknown window class: ") +
                                     (class_name ? class_name : "(null)"));
    return 0;
  }
  if (x == CW_USEDEFAULT) x = 0, y = 0; // a pop-up window's default place is the top left
  if (w <= 0 || h <= 0 || w > 16384 || h > 16384) {
    common::set_last_error(common::ERROR_INVALID_PARAMETER, "window size out of range");
    return 0;
  }
  bool child = (style & WS_CHILD) != 0;
  x11_window *parent_native = parent ? native(parent) : nullptr;
  if (parent && !parent_native) {
    common::set_last_error(1400, "invalid parent window handle");
    return 0;
  }
  if (child && !parent_native) {
    common::set_last_error(1406, "a child window needs a parent");
    return 0;
  }

  auto *n = new x11_window;
  n->top_level = !child;
  n->decorated = !child && (style & WS_CAPTION) == WS_CAPTION;
  n->fixed_size = (style & WS_THICKFRAME) == 0;
  // A thin border is drawn by X itself, outside the window: the client area is 2 pixels
  // smaller than the outer size, as a Win32 WS_BORDER window's is.
  unsigned border = !n->decorated && (style & WS_BORDER) && w > 2 && h > 2 ? 1 : 0;
  LONGINT cw = w - 2 * LONGINT(border), ch = h - 2 * LONGINT(border);
  n->bordered = border != 0;

  int screen = DefaultScreen(d);
  XSetWindowAttributes attrs{};
  attrs.event_mask = window_events;
  attrs.border_pixel = BlackPixel(d, screen);
  attrs.background_pixmap = None; // the GL picture is never wiped by the server first
  unsigned long mask = CWEventMask | CWBorderPixel | CWBackPixmap;
  Visual *visual = CopyFromParent;
  int depth = CopyFromParent;
  if (child) {
    attrs.event_mask = child_events;
    n->xid = XCreateWindow(d, parent_native->xid, x, y, unsigned(cw), unsigned(ch), border, depth,
                           InputOutput, visual, mask, &attrs);
    // The parent's visual, so a pixel format can still be set on the child for GL of its own.
    n->visual = parent_native->visual;
    n->config = parent_native->config;
  } else {
    XVisualInfo *vi = nullptr;
    n->config = creation_config(&vi);
    if (vi) {
      visual = vi->visual;
      depth = vi->depth;
      n->visual = vi->visualid;
      n->colormap = XCreateColormap(d, DefaultRootWindow(d), visual, AllocNone);
      attrs.colormap = n->colormap;
      mask |= CWColormap;
      XFree(vi);
    } else {
      n->visual = XVisualIDFromVisual(DefaultVisual(d, screen));
    }
    n->xid = XCreateWindow(d, DefaultRootWindow(d), x, y, unsigned(cw), unsigned(ch), border, depth,
                           InputOutput, visual, mask, &attrs);
  }
  if (!n->xid || sync_error(d)) {
    if (n->xid) XDestroyWindow(d, n->xid);
    if (n->colormap) XFreeColormap(d, n->colormap);
    delete n;
    common::set_last_error(common::ERROR_NOT_ENOUGH_MEMORY, "the X window could not be made");
    return 0;
  }

  if (!child) {
    const atoms &a = atom();
    set_window_title(d, n->xid, a, title);
    XClassHint *hint = XAllocClassHint();
    if (hint) {
      std::string res_name = "vantrel", res_class = cls->name;
      hint->res_name = res_name.data();
      hint->res_class = res_class.data();
      XSetClassHint(d, n->xid, hint);
      XFree(hint);
    }
    Atom protocols[] = {a.wm_delete_window};
    XSetWMProtocols(d, n->xid, protocols, 1);
    long pid = long(getpid());
    XChangeProperty(d, n->xid, a.net_wm_pid, XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<unsigned char *>(&pid), 1);
    Atom type = a.net_wm_window_type_normal;
    XChangeProperty(d, n->xid, a.net_wm_window_type, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<unsigned char *>(&type), 1);
    if (!n->decorated) {
      // flags, functions, decorations, input mode, status: decorations off.
      long motif[5] = {2, 0, 0, 0, 0};
      XChangeProperty(d, n->xid, a.motif_wm_hints, a.motif_wm_hints, 32, PropModeReplace,
                      reinterpret_cast<unsigned char *>(motif), 5);
    }
    if (parent_native) XSetTransientForHint(d, n->xid, parent_native->xid);
    set_size_hints(d, *n, x, y, cw, ch);
    if (n->decorated && window_manager_running(d)) request_frame_extents(d, *n);
  }
  set_class_cursor(d, n->xid, cls);

  TRECT rect{x, y, x + w, y + h};
  TRECT client{LONGINT(border), LONGINT(border), LONGINT(border) + cw, LONGINT(border) + ch};
  pending = n;
  common::window *win =
      common::create_window(style, class_name, title, rect, client, parent, menu, attach_pending);
  if (!win) {
    // WM_CREATE refused the window; its record went without running free_native.
    if (pending == n) pending = nullptr;
    XDestroyWindow(d, n->xid);
    if (n->colormap) XFreeColormap(d, n->colormap);
    XFlush(d);
    delete n;
    return 0;
  }
  if (n->decorated) apply_frame_extents(*win);
  if (win->visible) map_window(d, *win);
  XFlush(d);
  return win->handle;
}

BOOLEAN DestroyWindow(THANDLE window) { return common::destroy_window(window, free_native); }

BOOLEAN ShowWindow(THANDLE window, LONGINT cmd) {
  common::window *w = common::find_window(window);
  Display *d = display();
  if (!w || !d || !native(*w)) return false;
  bool was = w->visible;
  if (cmd == 0) { // SW_HIDE
    XUnmapWindow(d, native(*w)->xid);
    XFlush(d);
    w->visible = false;
    return was;
  }
  w->visible = true;
  if (cmd == 2 || cmd == 6 || cmd == 7) { // minimised
    XIconifyWindow(d, native(*w)->xid, DefaultScreen(d));
    XFlush(d);
  } else if (!was) {
    map_window(d, *w);
  }
  return was;
}

BOOLEAN MoveWindow(THANDLE window, LONGINT x, LONGINT y, LONGINT w, LONGINT h, BOOLEAN repaint) {
  common::window *win = common::find_window(window);
  Display *d = display();
  x11_window *n = win ? native(*win) : nullptr;
  if (!n || !d || w <= 0 || h <= 0 || w > 16384 || h > 16384) return false;
  XWindowAttributes wa;
  unsigned border = XGetWindowAttributes(d, n->xid, &wa) ? unsigned(wa.border_width) : 0;
  LONGINT l = n->frame_left + LONGINT(border), t = n->frame_top + LONGINT(border);
  LONGINT cw = std::max(1, w - l - n->frame_right - LONGINT(border));
  LONGINT ch = std::max(1, h - t - n->frame_bottom - LONGINT(border));
  win->rect = {x, y, x + w, y + h};
  win->client = {l, t, l + cw, t + ch};
  if (n->top_level) set_size_hints(d, *n, x, y, cw, ch);
  XMoveResizeWindow(d, n->xid, x, y, unsigned(cw), unsigned(ch));
  XFlush(d);
  if (repaint) win->needs_paint = true;
  return true;
}

} // namespace vantrel::platform
