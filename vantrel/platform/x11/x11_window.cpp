// X windows behind the common window records: creation with a GLX visual, decorations, size
// hints, placement by Win32's frame metrics, mapping and destruction.
#include <X11/Xatom.h>
#include <X11/cursorfont.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <map>

#include "vantrel/platform/common/gdi_objects.h"
#include "vantrel/platform/common/window_life.h"
#include "vantrel/platform/common/window_paint.h"
#include "vantrel/platform/x11/x11_internal.h"

namespace vantrel::x11 {
namespace {

constexpr long window_events = ExposureMask | KeyPressMask | KeyReleaseMask | ButtonPressMask |
                               ButtonReleaseMask | PointerMotionMask | StructureNotifyMask |
                               FocusChangeMask;
// Children never hold the keyboard focus, as on Win32 without SetFocus: their key events are
// left to travel up to the top-level window, even while the pointer is over a child.
constexpr long child_events = window_events & ~(KeyPressMask | KeyReleaseMask | FocusChangeMask);
// A frame hears where the window manager puts it, the keys typed while it has the focus and the
// pointer is elsewhere, and what its menu bar needs: exposures and clicks.
constexpr long frame_events = StructureNotifyMask | KeyPressMask | KeyReleaseMask |
                              FocusChangeMask | ExposureMask | ButtonPressMask;

// The window being made: common::create_window hangs it on the record before WM_CREATE.
x11_window *pending = nullptr;

void attach_pending(common::window &w) {
  w.native = pending;
  remember_window(pending->xid, w.handle);
  if (pending->frame) remember_window(pending->frame, w.handle);
  pending = nullptr;
}

void free_native(common::window &w) {
  auto *n = static_cast<x11_window *>(w.native);
  w.native = nullptr;
  forget_capture(w.handle);
  Display *d = display();
  if (n) forget_window(n->frame);
  if (!n || !d) {
    if (n) forget_window(n->xid);
    delete n;
    return;
  }
  forget_window(n->xid);
  release_gl(*n);
  if (!n->gone) XDestroyWindow(d, managed(*n));
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

// Where the X window of a record goes: its client area, in the pixels of the X parent (the
// parent's client area, or the screen), less the X border that draws a thin frame.
struct x_place {
  int x = 0, y = 0;
  unsigned width = 1, height = 1;
};

x_place place_of(const TRECT &rect, const TRECT &client, unsigned border) {
  x_place p;
  p.x = int(rect.LEFT + client.LEFT) - int(border);
  p.y = int(rect.TOP + client.TOP) - int(border);
  // X has no empty windows; a client area that the frame used up keeps one pixel.
  p.width = unsigned(std::max(1, client.RIGHT - client.LEFT));
  p.height = unsigned(std::max(1, client.BOTTOM - client.TOP));
  return p;
}

// The frame window of a top-level window with client area CLIENT in outer rectangle RECT: the
// client grown by what X draws itself, in screen pixels.
x_place frame_place(const TRECT &rect, const TRECT &client, const common::frame_insets &in) {
  x_place p = place_of(rect, client, 0);
  p.x -= int(in.left), p.y -= int(in.top);
  p.width += unsigned(in.left + in.right), p.height += unsigned(in.top + in.bottom);
  return p;
}

// The client X window inside its frame.
x_place client_in_frame(const TRECT &client, const common::frame_insets &in) {
  x_place p = place_of({0, 0, 0, 0}, client, 0);
  p.x = int(in.left), p.y = int(in.top);
  return p;
}

void set_size_hints(Display *d, const x11_window &n, const x_place &p) {
  XSizeHints *hints = XAllocSizeHints();
  if (!hints) return;
  hints->flags = USPosition | PPosition | USSize | PSize | PWinGravity;
  hints->x = p.x, hints->y = p.y;
  hints->width = int(p.width), hints->height = int(p.height);
  // The client area stays where Win32 puts it; a window manager's frame goes around it.
  hints->win_gravity = StaticGravity;
  // A full-screen window is sized by its window manager, which may add frames of its own.
  if (n.fixed_size && !n.full_screen) {
    hints->flags |= PMinSize | PMaxSize;
    hints->min_width = hints->max_width = int(p.width);
    hints->min_height = hints->max_height = int(p.height);
  }
  XSetWMNormalHints(d, managed(n), hints);
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

// True when the window manager offers full screen (_NET_WM_STATE_FULLSCREEN in _NET_SUPPORTED).
bool full_screen_supported(Display *d) {
  Atom type;
  int format;
  unsigned long count = 0, after;
  unsigned char *data = nullptr;
  bool found = false;
  if (XGetWindowProperty(d, DefaultRootWindow(d), atom().net_supported, 0, 4096, False, XA_ATOM,
                         &type, &format, &count, &after, &data) == Success &&
      data && format == 32) {
    const Atom *list = reinterpret_cast<const Atom *>(data);
    found = std::find(list, list + count, atom().net_wm_state_fullscreen) != list + count;
  }
  if (data) XFree(data);
  return found;
}

// Makes the window visible; a top-level window is waited for and, with nobody else to do it,
// given the keyboard focus, as a newly shown window becomes the foreground window on Win32.
// True when it is on the screen now: a child's parents are all shown, a top-level window has
// been mapped.
bool map_window(Display *d, common::window &w) {
  x11_window *n = native(w);
  if (!n) return false;
  if (n->frame) XMapWindow(d, n->xid);
  XMapRaised(d, managed(*n));
  if (!n->top_level) {
    XFlush(d);
    for (common::window *p = common::find_window(w.parent); p; p = common::find_window(p->parent))
      if (!p->visible) return false;
    return true;
  }
  XEvent ev;
  bool mapped = wait_for_event(d, managed(*n), MapNotify, 2000, &ev);
  const bool manager = window_manager_running(d);
  if (mapped && !manager) {
    XSetInputFocus(d, managed(*n), RevertToParent, CurrentTime);
    sync_error(d); // a window unmapped again meanwhile refuses the focus; that is harmless
  }
  if (mapped && n->full_screen) {
    // Asked again now that it is managed: some window managers pass over the early request,
    // others take it and then place the window below their panels, where only taking it back
    // and asking anew brings it to the whole screen. Its normal size is the screen's already.
    for (long action : {0L, 1L}) { // _NET_WM_STATE_REMOVE, _NET_WM_STATE_ADD
      XEvent e{};
      e.xclient = {ClientMessage, 0, False, d, managed(*n), atom().net_wm_state, 32, {}};
      e.xclient.data.l[0] = action;
      e.xclient.data.l[1] = long(atom().net_wm_state_fullscreen);
      e.xclient.data.l[3] = 1; // a normal application asks
      XSendEvent(d, DefaultRootWindow(d), False, SubstructureRedirectMask | SubstructureNotifyMask,
                 &e);
    }
  }
  XFlush(d);
  return mapped;
}

// Shows the window and erases it at once, as ShowWindow does. Drawn while the window is
// viewable, the erase already covers what the map's Expose will ask for; a window manager may
// map a window well before its frame shows, and then that Expose erases.
void show_and_erase(Display *d, THANDLE handle) {
  common::window *w = common::find_window(handle);
  if (!w) return;
  bool on_screen = map_window(d, *w);
  XWindowAttributes wa;
  if (x11_window *n = native(*w))
    on_screen = on_screen && XGetWindowAttributes(d, n->xid, &wa) && wa.map_state == IsViewable;
  common::erase_on_show(handle);
  if (x11_window *n = native(handle)) n->erased_at_map = on_screen;
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

bool destroyed_on_server(Display *d, Window xid) {
  XSync(d, False);
  struct wanted {
    Window xid;
    bool seen;
  } look{xid, false};
  XEvent ev;
  // The predicate sees every queued event and takes none.
  XCheckIfEvent(
      d, &ev,
      [](Display *, XEvent *e, XPointer arg) -> Bool {
        auto *l = reinterpret_cast<wanted *>(arg);
        if (e->type == DestroyNotify && e->xdestroywindow.window == l->xid) l->seen = true;
        return False;
      },
      reinterpret_cast<XPointer>(&look));
  return look.seen;
}

void exposed(common::window &w) {
  x11_window *n = native(w);
  bool erased = n && n->erased_at_map;
  if (n) n->erased_at_map = false;
  platform::InvalidateRect(w.handle, nullptr, !erased);
}

void follow_configure(common::window &w, const XConfigureEvent &e) {
  x11_window *n = native(w);
  Display *d = display();
  if (!n || !d) return;
  common::frame_insets f = common::nonclient_frame(w.style);
  if (w.menu) f.top += common::system_metric(SM_CYMENU);
  // An empty client area lives on as a one-pixel X window; the record keeps it empty.
  LONGINT old_w = w.client.RIGHT - w.client.LEFT, old_h = w.client.BOTTOM - w.client.TOP;
  int width = e.width, height = e.height;
  if (n->frame && e.window == n->frame) {
    // The window manager sized the frame (a user's drag, full screen): the client fills it
    // inside what the frame draws itself.
    const common::frame_insets in = drawn_insets(w);
    width = std::max(1, e.width - int(in.left + in.right));
    height = std::max(1, e.height - int(in.top + in.bottom));
    XWindowAttributes wa;
    if (XGetWindowAttributes(d, n->xid, &wa) && (wa.width != width || wa.height != height))
      XResizeWindow(d, n->xid, unsigned(width), unsigned(height));
    if (w.menu) paint_menu_bar(w); // the bar follows the frame's width
  }
  LONGINT cw = width == std::max(1, old_w) ? old_w : width;
  LONGINT ch = height == std::max(1, old_h) ? old_h : height;
  LONGINT x = e.x + LONGINT(n->border), y = e.y + LONGINT(n->border);
  if (n->top_level) {
    // Reparented by a window manager, the event counts from its frame: ask the screen.
    int rx = 0, ry = 0;
    Window child;
    XTranslateCoordinates(d, n->xid, DefaultRootWindow(d), 0, 0, &rx, &ry, &child);
    x = rx, y = ry;
  }
  const TRECT old_rect = w.rect, old_client = w.client;
  w.rect = {x - f.left, y - f.top, x + cw + f.right, y + ch + f.bottom};
  w.client = {f.left, f.top, f.left + cw, f.top + ch};
  // Moved or resized by the user or the window manager: the procedure hears of it, as on Win32.
  common::announce_moved(w.handle, old_rect, old_client);
}

} // namespace vantrel::x11

namespace vantrel::x11 {
using namespace vantrel::platform;

THANDLE CreateWindowExA(LONGWORD exstyle, PCHAR class_name, PCHAR title, LONGWORD style, LONGINT x,
                        LONGINT y, LONGINT w, LONGINT h, THANDLE parent, THANDLE menu,
                        THANDLE instance, void *param) {
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
  bool decorated = !child && (style & WS_CAPTION) == WS_CAPTION;
  n->fixed_size = (style & WS_THICKFRAME) == 0;
  // Win32's frame lies between the outer rectangle and the client area, whatever a window
  // manager draws; the X window is the client area. A thin frame alone (WS_BORDER) is drawn
  // by X itself: a child's as its one-pixel border, a top-level window's by a frame window of
  // its own around the client, since window managers drop X borders. A captioned window has a
  // frame window too, where its menu bar is drawn once it has one; the manager draws the rest.
  TRECT rect{x, y, x + w, y + h};
  const bool menu_bar = !child && common::find_menu(menu);
  TRECT client = common::client_inside(style, w, h, menu_bar);
  common::frame_insets frame = common::nonclient_frame(style);
  bool thin = frame.left == 1 && frame.top == 1 && frame.right == 1 && frame.bottom == 1;
  n->border = thin && client.RIGHT > client.LEFT && client.BOTTOM > client.TOP ? 1 : 0;
  x_place place = place_of(rect, client, n->border);

  int screen = DefaultScreen(d);
  sync_error(d); // an error left by earlier requests (on windows gone meanwhile) is not ours
  XSetWindowAttributes attrs{};
  attrs.event_mask = window_events;
  attrs.background_pixmap = None; // the GL picture is never wiped by the server first
  unsigned long mask = CWEventMask | CWBorderPixel | CWBackPixmap;
  Visual *visual = CopyFromParent;
  int depth = CopyFromParent;
  if (child) {
    attrs.event_mask = child_events;
    attrs.border_pixel = colour_pixel(n->visual, common::system_colour(COLOR_WINDOWFRAME));
    n->xid = XCreateWindow(d, parent_native->xid, place.x, place.y, place.width, place.height,
                           n->border, depth, InputOutput, visual, mask, &attrs);
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
    // The thin frame in the colour Win32 draws it with.
    attrs.border_pixel = colour_pixel(n->visual, common::system_colour(COLOR_WINDOWFRAME));
    x_place frame_at;
    if (n->border || decorated) {
      n->thin = n->border != 0;
      n->border = 0;
      common::frame_insets in{n->thin, n->thin, n->thin, n->thin};
      if (menu_bar) in.top += common::system_metric(SM_CYMENU);
      frame_at = frame_place(rect, client, in);
      XSetWindowAttributes fa = attrs;
      // The server paints the thin frame, and the menu bar's ground before the bar is drawn.
      fa.background_pixel =
          n->thin ? attrs.border_pixel : colour_pixel(n->visual, common::system_colour(COLOR_MENU));
      fa.event_mask = frame_events;
      n->frame = XCreateWindow(d, DefaultRootWindow(d), frame_at.x, frame_at.y, frame_at.width,
                               frame_at.height, 0, depth, InputOutput, visual,
                               (mask & ~CWBackPixmap) | CWBackPixel, &fa);
      place = client_in_frame(client, in);
    }
    n->xid =
        XCreateWindow(d, n->frame ? n->frame : DefaultRootWindow(d), place.x, place.y, place.width,
                      place.height, n->border, depth, InputOutput, visual, mask, &attrs);
    if (n->frame) place = frame_at; // the window manager's view
    n->full_screen = !decorated && x == 0 && y == 0 && w == DisplayWidth(d, screen) &&
                     h == DisplayHeight(d, screen) && window_manager_running(d) &&
                     full_screen_supported(d);
  }
  if (!n->xid || sync_error(d)) {
    if (n->frame) XDestroyWindow(d, n->frame);
    if (n->xid) XDestroyWindow(d, n->xid);
    if (n->colormap) XFreeColormap(d, n->colormap);
    delete n;
    common::set_last_error(common::ERROR_NOT_ENOUGH_MEMORY, "the X window could not be made");
    return 0;
  }

  if (!child) {
    const atoms &a = atom();
    const Window top = managed(*n);
    set_window_title(d, top, a, title);
    XClassHint *hint = XAllocClassHint();
    if (hint) {
      std::string res_name = "vantrel", res_class = cls->name;
      hint->res_name = res_name.data();
      hint->res_class = res_class.data();
      XSetClassHint(d, top, hint);
      XFree(hint);
    }
    set_manager_properties(d, top, a, a.net_wm_window_type_normal);
    if (!decorated) {
      // flags, functions, decorations, input mode, status: decorations off.
      long motif[5] = {2, 0, 0, 0, 0};
      XChangeProperty(d, top, a.motif_wm_hints, a.motif_wm_hints, 32, PropModeReplace,
                      reinterpret_cast<unsigned char *>(motif), 5);
    }
    // Full screen from the start where the window manager offers it, above its panels.
    if (n->full_screen)
      XChangeProperty(d, top, a.net_wm_state, XA_ATOM, 32, PropModeReplace,
                      reinterpret_cast<const unsigned char *>(&a.net_wm_state_fullscreen), 1);
    if (parent_native) XSetTransientForHint(d, top, managed(*parent_native));
    set_size_hints(d, *n, place);
  }
  set_class_cursor(d, n->xid, cls);

  pending = n;
  common::window *win =
      common::create_window(style, class_name, title, rect, client, parent, menu, attach_pending,
                            free_native, {param, instance, {}, {}, 0, 0, 0, 0, 0, {}, {}, exstyle});
  if (!win) {
    // WM_CREATE refused the window, or the procedure destroyed it: free_native has run on it
    // with its record. Only a window that never got a record is left to free here.
    if (pending == n) {
      pending = nullptr;
      XDestroyWindow(d, managed(*n));
      if (n->colormap) XFreeColormap(d, n->colormap);
      delete n;
    }
    XFlush(d);
    return 0;
  }
  THANDLE handle = win->handle;
  if (style & WS_VISIBLE) {
    win->visible = true;
    common::announce_shown(handle, true);
    show_and_erase(d, handle);
  }
  XFlush(d);
  return common::find_window(handle) ? handle : 0; // the erase may have destroyed it
}

BOOLEAN DestroyWindow(THANDLE window) {
  const BOOLEAN destroyed = common::destroy_window(window, free_native);
  close_menu(true); // a menu bar's loop whose owner went is closed now, its grab let go
  return destroyed;
}

BOOLEAN ShowWindow(THANDLE window, LONGINT cmd) {
  common::window *w = common::find_window(window);
  Display *d = display();
  if (!w || !d || !native(*w)) return false;
  bool was = w->visible;
  if (cmd == 0) { // SW_HIDE
    XUnmapWindow(d, managed(*native(*w)));
    XFlush(d);
    w->visible = false;
    if (was) common::announce_shown(window, false);
    return was;
  }
  w->visible = true;
  if (!was) common::announce_shown(window, true);
  if (!(w = common::find_window(window))) return was;
  if (cmd == 2 || cmd == 6 || cmd == 7) { // minimised
    XIconifyWindow(d, managed(*native(*w)), DefaultScreen(d));
    XFlush(d);
  } else if (!was) {
    show_and_erase(d, window);
  }
  return was;
}

BOOLEAN MoveWindow(THANDLE window, LONGINT x, LONGINT y, LONGINT w, LONGINT h, BOOLEAN repaint) {
  common::window *win = common::find_window(window);
  Display *d = display();
  x11_window *n = win ? native(*win) : nullptr;
  if (!n || !d || w <= 0 || h <= 0 || w > 16384 || h > 16384) return false;
  const TRECT old_rect = win->rect, old_client = win->client;
  win->rect = {x, y, x + w, y + h};
  win->client = common::client_inside(win->style, w, h, win->menu != 0);
  x_place place = place_of(win->rect, win->client, n->border);
  if (n->frame) {
    const common::frame_insets in = drawn_insets(*win);
    x_place outer = frame_place(win->rect, win->client, in);
    set_size_hints(d, *n, outer);
    XMoveResizeWindow(d, n->frame, outer.x, outer.y, outer.width, outer.height);
    place = client_in_frame(win->client, in);
  } else if (n->top_level) {
    set_size_hints(d, *n, place);
  }
  XMoveResizeWindow(d, n->xid, place.x, place.y, place.width, place.height);
  XFlush(d);
  if (repaint) common::invalidate(*win, nullptr, true);
  common::announce_moved(window, old_rect, old_client);
  return true;
}

common::frame_insets drawn_insets(const common::window &w) {
  const x11_window *n = static_cast<const x11_window *>(w.native);
  const LONGINT t = n && n->thin ? 1 : 0;
  common::frame_insets in{t, t, t, t};
  if (w.menu && n && n->frame) in.top += common::system_metric(SM_CYMENU);
  return in;
}

void menu_bar_changed(THANDLE window) {
  common::window *win = common::find_window(window);
  Display *d = display();
  x11_window *n = win ? native(*win) : nullptr;
  if (!n || !d) return;
  if (n->frame) {
    // The outer rectangle stays: the client gives the bar its rows, or takes them back.
    const common::frame_insets in = drawn_insets(*win);
    x_place place = client_in_frame(win->client, in);
    XMoveResizeWindow(d, n->xid, place.x, place.y, place.width, place.height);
    if (win->menu) paint_menu_bar(*win);
  } else {
    // Without a frame the bar has nowhere to be drawn: the client moves down from under it.
    x_place place = place_of(win->rect, win->client, n->border);
    if (n->top_level) set_size_hints(d, *n, place);
    XMoveResizeWindow(d, n->xid, place.x, place.y, place.width, place.height);
  }
  XFlush(d);
}

} // namespace vantrel::x11
