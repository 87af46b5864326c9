// Menus on X: the shared menu loop (common/menus.h) shown as override-redirect pop-up windows
// on a connection of its own, with the message box's font. The loop grabs the keyboard and the
// pointer while it runs: arrows, Enter, Escape and mnemonics steer it, the pointer lights items,
// a release on an item chooses it, a press outside every pop-up closes the loop. Pop-ups are
// kept on the screen at its edges; a pop-up that would leave it on the right or bottom opens
// to the left of or above its place. TrackPopupMenu's loop blocks until it is done, as its
// caller waits for the choice; the menu bar's loop is stepped by the program's message pump
// (step_menu), so that the program goes on drawing under its pop-ups.
#include <X11/Xft/Xft.h>
#include <X11/keysym.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "vantrel/platform/common/backend_hooks.h"
#include "vantrel/platform/common/menus.h"
#include "vantrel/platform/common/window_paint.h"
#include "vantrel/platform/x11/x11_internal.h"

namespace vantrel::x11 {
namespace {

constexpr int check_column = 22, arrow_column = 18, accel_gap = 24, separator_height = 9;
constexpr int min_width = 100;

struct popup {
  Window win = 0;
  XftDraw *draw = nullptr;
  THANDLE menu = 0;
  XImage *under = nullptr; // the screen beneath, put back when the pop-up closes
  int x = 0, y = 0, w = 0, h = 0;
  std::vector<int> top; // each item's top, then the bottom of the last
};

struct view {
  Display *d = nullptr;
  int screen = 0;
  Visual *visual = nullptr;
  Colormap cmap = 0;
  GC gc = nullptr;
  XftFont *font = nullptr;
  XftColor text{}, grey{}, lit{};
  unsigned long background = 0, highlight = 0, edge = 0, black = 0;
  int item_height = 0;
  std::vector<popup> pops;  // one per open pop-up, in the loop's order
  bool keep_under = true;   // pop-ups save the screen beneath them, to put it back as they close
  THANDLE owner_window = 0; // the loop's owner
  Window owner = 0;         // its X window, watched for the focus leaving it
  Window frame = 0;         // and its top-level window's frame, which takes the focus
  Window focus = 0;         // the input focus as the loop began
  common::menu_tracking *t = nullptr; // the bar's loop that the pump steps
};

Display *menu_display() {
  static side_connection menus;
  return menus.get();
}

unsigned long pixel_of(view &v, std::uint32_t rgb) {
  XColor c{};
  c.red = static_cast<unsigned short>(((rgb >> 16) & 0xFF) * 257);
  c.green = static_cast<unsigned short>(((rgb >> 8) & 0xFF) * 257);
  c.blue = static_cast<unsigned short>((rgb & 0xFF) * 257);
  c.flags = DoRed | DoGreen | DoBlue;
  return XAllocColor(v.d, v.cmap, &c) ? c.pixel : BlackPixel(v.d, v.screen);
}

bool xft_colour(view &v, std::uint32_t rgb, XftColor *out) {
  XRenderColor c{static_cast<unsigned short>(((rgb >> 16) & 0xFF) * 257),
                 static_cast<unsigned short>(((rgb >> 8) & 0xFF) * 257),
                 static_cast<unsigned short>((rgb & 0xFF) * 257), 0xFFFF};
  return XftColorAllocValue(v.d, v.visual, v.cmap, &c, out);
}

int text_width(view &v, const std::string &s) { return menu_text_width(v.d, v.font, s); }

// The pop-up of MENU laid out: its items' tops and its size.
void lay_out(view &v, popup &p, const common::menu_record &m) {
  int label_w = 0, accel_w = 0, y = 2;
  p.top.clear();
  for (const common::menu_item &item : m.items) {
    p.top.push_back(y);
    y += (item.flags & MF_SEPARATOR) ? separator_height : v.item_height;
    label_w = std::max(label_w,
                       text_width(v, window_text_utf8(common::menu_label(item, nullptr).c_str())));
    if (!item.accel.empty()) accel_w = std::max(accel_w, text_width(v, item.accel));
  }
  p.top.push_back(y);
  p.w = std::max(min_width,
                 check_column + label_w + (accel_w ? accel_gap + accel_w : 0) + arrow_column + 4);
  p.h = y + 2;
}

// Where a pop-up goes: at the loop's point for TrackPopupMenu's (TPM_ alignment), below the
// menu bar's title for the bar's, beside the lit item for a submenu; always on the screen.
void place(view &v, const common::menu_tracking &t, std::size_t index, popup &p) {
  const int sw = DisplayWidth(v.d, v.screen), sh = DisplayHeight(v.d, v.screen);
  if (index > 0) {
    const popup &parent = v.pops[index - 1];
    const std::size_t level = t.popup ? index - 1 : index;
    const int lit = std::max(0, t.levels[level].highlight);
    p.x = parent.x + parent.w - 3;
    p.y = parent.y + parent.top[std::size_t(lit)] - 2;
    if (p.x + p.w > sw) p.x = parent.x - p.w + 3;
  } else if (t.popup) {
    p.x = t.at.X, p.y = t.at.Y;
    if (t.flags & TPM_CENTERALIGN) p.x -= p.w / 2;
    if (t.flags & TPM_RIGHTALIGN) p.x -= p.w;
    if (t.flags & TPM_VCENTERALIGN) p.y -= p.h / 2;
    if (t.flags & TPM_BOTTOMALIGN) p.y -= p.h;
    if (p.x + p.w > sw) p.x -= p.w;
    if (p.y + p.h > sh) p.y -= p.h;
  } else {
    // Below the lit title of the bar, which lies right above the client area.
    const common::window *w = common::find_window(t.owner);
    const common::menu_record *bar = common::find_menu(t.levels[0].menu);
    p.x = w ? w->rect.LEFT + w->client.LEFT : 0;
    p.y = w ? w->rect.TOP + w->client.TOP : 0;
    if (bar && t.levels[0].highlight >= 0)
      p.x += menu_bar_columns(v.d, v.font, *bar)[std::size_t(t.levels[0].highlight)];
  }
  p.x = std::clamp(p.x, 0, std::max(0, sw - p.w));
  p.y = std::clamp(p.y, 0, std::max(0, sh - p.h));
}

void paint(view &v, const popup &p, int lit) {
  const common::menu_record *m = common::find_menu(p.menu);
  if (!m || !p.draw) return;
  XSetForeground(v.d, v.gc, v.background);
  XFillRectangle(v.d, p.win, v.gc, 0, 0, unsigned(p.w), unsigned(p.h));
  XSetForeground(v.d, v.gc, v.edge);
  XDrawRectangle(v.d, p.win, v.gc, 0, 0, unsigned(p.w - 1), unsigned(p.h - 1));
  for (std::size_t i = 0; i < m->items.size(); i++) {
    const common::menu_item &item = m->items[i];
    const int top = p.top[i], h = p.top[i + 1] - top;
    if (item.flags & MF_SEPARATOR) {
      XSetForeground(v.d, v.gc, v.edge);
      XDrawLine(v.d, p.win, v.gc, 2, top + h / 2, p.w - 3, top + h / 2);
      continue;
    }
    const bool is_lit = int(i) == lit;
    if (is_lit) {
      XSetForeground(v.d, v.gc, v.highlight);
      XFillRectangle(v.d, p.win, v.gc, 2, top, unsigned(p.w - 4), unsigned(h));
    }
    XftColor *ink = !common::menu_item_enabled(item) ? &v.grey : is_lit ? &v.lit : &v.text;
    const int baseline = top + (h - (v.font->ascent + v.font->descent)) / 2 + v.font->ascent;
    draw_menu_label(v.d, p.draw, v.font, ink, check_column, baseline, item);
    if (!item.accel.empty()) {
      int x = p.w - arrow_column - text_width(v, item.accel);
      XftDrawStringUtf8(p.draw, ink, v.font, x, baseline,
                        reinterpret_cast<const FcChar8 *>(item.accel.data()),
                        int(item.accel.size()));
    }
    if (item.flags & MF_CHECKED) { // a tick in the left column
      const int cx = 7, cy = top + h / 2;
      XftDrawRect(p.draw, ink, cx, cy, 2, 2);
      XftDrawRect(p.draw, ink, cx + 2, cy + 2, 2, 2);
      for (int k = 0; k < 5; k++)
        XftDrawRect(p.draw, ink, cx + 4 + k, cy + 2 - k * 2, 2, 3);
    }
    if (item.flags & MF_POPUP) { // a small triangle at the right
      const int ax = p.w - 12, ay = top + h / 2;
      for (int k = 0; k < 4; k++)
        XftDrawRect(p.draw, ink, ax + k, ay - 3 + k, 1, unsigned(7 - 2 * k));
    }
  }
}

// While TrackPopupMenu's loop runs the program draws no frames, so what a closed pop-up covered
// is put back from the picture taken as it opened. The bar's loop keeps no picture: the program
// goes on drawing, and the server exposes what the pop-up uncovers.
void close_popup(view &v, popup &p) {
  if (p.draw) XftDrawDestroy(p.draw);
  XDestroyWindow(v.d, p.win);
  if (p.under) {
    XPutImage(v.d, RootWindow(v.d, v.screen), v.gc, p.under, 0, 0, p.x, p.y, unsigned(p.w),
              unsigned(p.h));
    XDestroyImage(p.under);
  }
}

// Makes the pop-up windows match the loop's open menus, then paints them.
void show(view &v, const common::menu_tracking &t) {
  const std::size_t first = t.popup ? 0 : 1; // the bar is level 0 of the bar's loop
  const std::size_t wanted = t.done || t.levels.size() < first ? 0 : t.levels.size() - first;
  while (v.pops.size() > wanted ||
         (!v.pops.empty() && v.pops.size() <= wanted &&
          v.pops.back().menu != t.levels[first + v.pops.size() - 1].menu)) {
    close_popup(v, v.pops.back());
    v.pops.pop_back();
  }
  while (v.pops.size() < wanted) {
    popup p;
    p.menu = t.levels[first + v.pops.size()].menu;
    const common::menu_record *m = common::find_menu(p.menu);
    if (!m) break;
    lay_out(v, p, *m);
    place(v, t, v.pops.size(), p);
    XSetWindowAttributes attrs{};
    attrs.override_redirect = True;
    attrs.background_pixel = v.background;
    attrs.event_mask = ExposureMask;
    p.win = XCreateWindow(v.d, RootWindow(v.d, v.screen), p.x, p.y, unsigned(p.w), unsigned(p.h), 0,
                          CopyFromParent, InputOutput, CopyFromParent,
                          CWOverrideRedirect | CWBackPixel | CWEventMask, &attrs);
    XStoreName(v.d, p.win, "vantrel menu"); // for tools that look for it, as tests do
    p.draw = XftDrawCreate(v.d, p.win, v.visual, v.cmap);
    if (v.keep_under)
      p.under = XGetImage(v.d, RootWindow(v.d, v.screen), p.x, p.y, unsigned(p.w), unsigned(p.h),
                          AllPlanes, ZPixmap);
    XMapRaised(v.d, p.win);
    v.pops.push_back(p);
  }
  for (std::size_t i = 0; i < v.pops.size(); i++)
    paint(v, v.pops[i], t.levels[first + i].highlight);
  XFlush(v.d);
  if (common::window *w = t.popup ? nullptr : common::find_window(t.owner)) {
    paint_menu_bar(*w); // its lit title follows the loop
    XFlush(display());
  }
}

// The pop-up and item under root point (X, Y): false when it is outside every pop-up.
bool hit(const view &v, int x, int y, std::size_t *index, int *item) {
  for (std::size_t i = v.pops.size(); i-- > 0;) {
    const popup &p = v.pops[i];
    if (x < p.x || y < p.y || x >= p.x + p.w || y >= p.y + p.h) continue;
    *index = i;
    *item = -1;
    const common::menu_record *m = common::find_menu(p.menu);
    for (std::size_t k = 0; m && k < m->items.size(); k++)
      if (y - p.y >= p.top[k] && y - p.y < p.top[k + 1] && !(m->items[k].flags & MF_SEPARATOR))
        *item = int(k);
    return true;
  }
  return false;
}

// The pointer at root point (X, Y) over the bar of the bar's loop: moving onto another title
// while a pop-up is open opens that title's instead; a press opens the title, or closes the
// loop when its pop-up is the one open. False when the point is on no title.
bool bar_pointer(common::menu_tracking &t, bool press, int x, int y) {
  const int title = t.popup ? -1 : menu_bar_title_at_screen(t.owner, x, y);
  if (title < 0) return false;
  const bool open = t.levels.size() > 1;
  if (press && open && t.levels[0].highlight == title) {
    common::menu_cancel(t);
  } else if (press || (open && t.levels[0].highlight != title)) {
    common::menu_select(t, 0, title);
    common::menu_click(t);
  }
  return true;
}

void handle_key(common::menu_tracking &t, XKeyEvent &e) {
  char text[8] = {};
  KeySym sym = NoSymbol;
  int n = XLookupString(&e, text, sizeof text - 1, &sym, nullptr);
  switch (sym) {
  case XK_Up:
    return common::menu_key(t, VK_UP);
  case XK_Down:
    return common::menu_key(t, VK_DOWN);
  case XK_Left:
    return common::menu_key(t, VK_LEFT);
  case XK_Right:
    return common::menu_key(t, VK_RIGHT);
  case XK_Return:
  case XK_KP_Enter:
    return common::menu_key(t, VK_RETURN);
  case XK_Escape:
    return common::menu_key(t, VK_ESCAPE);
  case XK_Alt_L:
  case XK_Alt_R:
  case XK_F10:
    return common::menu_cancel(t);
  default:
    if (n == 1 && static_cast<unsigned char>(text[0]) >= ' ') common::menu_char(t, text[0]);
  }
}

// Grabs the pointer and keyboard for the menu on D. Another client may hold either for a moment
// (a tool that looks whether the keyboard is free grabs it to find out): both are tried again
// for up to half a second before the menu gives up.
bool grab_input(Display *d, Window root) {
  const unsigned mask = ButtonPressMask | ButtonReleaseMask | PointerMotionMask;
  bool pointer = false, keyboard = false;
  for (int tries = 0; tries < 50 && !(pointer && keyboard); tries++) {
    if (tries) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    pointer = pointer || XGrabPointer(d, root, False, mask, GrabModeAsync, GrabModeAsync, None,
                                      None, CurrentTime) == GrabSuccess;
    keyboard = keyboard || XGrabKeyboard(d, root, False, GrabModeAsync, GrabModeAsync,
                                         CurrentTime) == GrabSuccess;
  }
  return pointer && keyboard;
}

// Whether window A is window B or one of its ancestors.
bool holds(Display *d, Window a, Window b) {
  for (Window cur = b; cur > PointerRoot;) {
    if (cur == a) return true;
    Window root, parent = 0, *kids = nullptr;
    unsigned n = 0;
    if (!XQueryTree(d, cur, &root, &parent, &kids, &n)) return false;
    if (kids) XFree(kids);
    if (cur == root) return false;
    cur = parent;
  }
  return false;
}

// The input focus went to a window that is not the owner's (another program's window, or none):
// the menu closes as Windows closes it when its owner loses the focus. The grab keeps the user
// from moving the focus, but other programs (and window managers) still set it.
bool focus_left(view &v) {
  Window now = 0;
  int revert = 0;
  XGetInputFocus(v.d, &now, &revert);
  if (now == v.focus || !v.owner) return false;
  const Window root = RootWindow(v.d, v.screen);
  // The owner, a window inside it, or one around it (its frame, a window manager's decoration).
  return !holds(v.d, v.owner, now) &&
         !(now > PointerRoot && now != root && holds(v.d, now, v.owner));
}

// Shows the loop T's menus and grabs the keyboard and pointer for them; false when nothing can
// be shown (no display, no font). A grab refused by another program cancels T.
bool open_view(view &v, common::menu_tracking &t) {
  v.d = menu_display();
  if (!v.d) return false;
  v.screen = DefaultScreen(v.d);
  v.visual = DefaultVisual(v.d, v.screen);
  v.cmap = DefaultColormap(v.d, v.screen);
  v.font = open_menu_font(v.d);
  if (!v.font) return false;
  if (!xft_colour(v, 0x000000, &v.text) || !xft_colour(v, 0x6D6D6D, &v.grey) ||
      !xft_colour(v, 0xFFFFFF, &v.lit)) {
    XftFontClose(v.d, v.font);
    return false;
  }
  v.background = pixel_of(v, 0xF0F0F0);
  v.highlight = pixel_of(v, common::system_colour(13)); // COLOR_HIGHLIGHT
  v.edge = pixel_of(v, 0xA0A0A0);
  v.item_height = std::max(19, v.font->ascent + v.font->descent + 6);
  Window root = RootWindow(v.d, v.screen);
  XGCValues over{};
  over.subwindow_mode = IncludeInferiors; // drawing on the root puts pixels back over windows
  v.gc = XCreateGC(v.d, root, GCSubwindowMode, &over);
  // A capture held by the program's own connection would keep the pointer from the menus.
  if (captured_window()) platform::ReleaseCapture();
  if (Display *d = display()) XSync(d, False); // its release reaches the server first
  // Where the focus goes is followed on the owner and on the root (which hears of a focus that
  // leaves PointerRoot or None); this connection's masks are its own, the program's stay.
  int revert = 0;
  XGetInputFocus(v.d, &v.focus, &revert);
  v.owner_window = t.owner;
  if (x11_window *n = native(t.owner)) v.owner = n->xid;
  common::window *top = common::find_window(t.owner);
  while (top && top->parent && common::find_window(top->parent))
    top = common::find_window(top->parent);
  if (x11_window *n = top ? native(*top) : nullptr) v.frame = n->frame;
  for (Window watched : {v.owner, v.frame})
    if (watched) XSelectInput(v.d, watched, FocusChangeMask);
  XSelectInput(v.d, root, FocusChangeMask);
  show(v, t);
  XSync(v.d, False);
  if (!grab_input(v.d, root)) common::menu_cancel(t); // another program holds the input
  return true;
}

// One event of the menu connection, handed to the loop as the user's step.
void handle_event(view &v, common::menu_tracking &t, XEvent &ev) {
  const unsigned choose_buttons = (t.flags & TPM_RIGHTBUTTON) ? 3u : 1u;
  const std::size_t first = t.popup ? 0 : 1;
  std::size_t index = 0;
  int item = -1;
  switch (ev.type) {
  case KeyPress:
    handle_key(t, ev.xkey);
    break;
  case MotionNotify:
    if (hit(v, ev.xmotion.x_root, ev.xmotion.y_root, &index, &item) && item >= 0)
      common::menu_select(t, first + index, item);
    else
      bar_pointer(t, false, ev.xmotion.x_root, ev.xmotion.y_root);
    break;
  case ButtonPress:
    if (!hit(v, ev.xbutton.x_root, ev.xbutton.y_root, &index, &item) &&
        !bar_pointer(t, true, ev.xbutton.x_root, ev.xbutton.y_root))
      common::menu_cancel(t);
    break;
  case ButtonRelease:
    if (ev.xbutton.button != 1 && !(ev.xbutton.button == 3 && choose_buttons == 3)) break;
    if (hit(v, ev.xbutton.x_root, ev.xbutton.y_root, &index, &item) && item >= 0) {
      common::menu_select(t, first + index, item);
      common::menu_click(t);
    }
    break;
  case FocusOut:
    // Our own grab and its end move the focus only for a moment (NotifyGrab, NotifyUngrab).
    if ((ev.xfocus.mode == NotifyNormal || ev.xfocus.mode == NotifyWhileGrabbed) && focus_left(v))
      common::menu_cancel(t);
    break;
  default:
    break;
  }
  t.idle = false;
  if (!common::find_window(t.owner)) common::menu_cancel(t);
}

// Takes the menus down and lets the input go.
void close_view(view &v) {
  XUngrabKeyboard(v.d, CurrentTime);
  XUngrabPointer(v.d, CurrentTime);
  XSelectInput(v.d, RootWindow(v.d, v.screen), NoEventMask);
  if (native(v.owner_window))
    for (Window watched : {v.owner, v.frame})
      if (watched) XSelectInput(v.d, watched, NoEventMask);
  while (!v.pops.empty()) {
    close_popup(v, v.pops.back());
    v.pops.pop_back();
  }
  XFreeGC(v.d, v.gc);
  XftColorFree(v.d, v.visual, v.cmap, &v.text);
  XftColorFree(v.d, v.visual, v.cmap, &v.grey);
  XftColorFree(v.d, v.visual, v.cmap, &v.lit);
  XftFontClose(v.d, v.font);
  sync_error(v.d); // an owner destroyed by another program refuses the mask: no error of ours
  // What reached the grab after the step that ended the loop (the release of the click that
  // closed it, keys typed on) is dropped here, or the next menu on this connection would read it
  // as its own first steps.
  XSync(v.d, True);
  // The keys let go of while the menu held the keyboard never reached the program's connection.
  if (Display *d = display()) forget_released_keys(d);
}

// TrackPopupMenu's loop: its caller waits for the choice, so the loop blocks on the menu
// connection until it is done.
void run_menu(common::menu_tracking &t) {
  view v;
  if (!open_view(v, t)) return; // the loop ends without a choice
  common::menu_take_queued_keys(t);
  show(v, t);
  while (!t.done) {
    if (XPending(v.d) == 0) common::menu_idle(t);
    if (t.done) break;
    XEvent ev;
    XNextEvent(v.d, &ev);
    handle_event(v, t, ev);
    show(v, t);
  }
  close_view(v);
}

// The menu bar's loop: shown here, then stepped by the program's message pump (step_menu).
view live;
bool stepping = false;

bool open_menu(common::menu_tracking &t) {
  live = view{};
  live.keep_under = false;
  if (!open_view(live, t)) return false;
  if (t.done) { // the grab was refused
    close_view(live);
    live = view{};
    return false;
  }
  live.t = &t;
  return true;
}

} // namespace

void step_menu() {
  if (!live.t || stepping) return;
  stepping = true; // the owner's answers to the messages below may pump again
  common::menu_tracking &t = *live.t;
  if (common::menu_take_queued_keys(t)) { // typed before the grab began
    t.idle = false;
    show(live, t);
  }
  while (!t.done && XPending(live.d) > 0) {
    XEvent ev;
    XNextEvent(live.d, &ev);
    handle_event(live, t, ev);
    show(live, t);
  }
  if (!t.done) common::menu_idle(t);
  if (!common::find_window(t.owner)) common::menu_cancel(t);
  if (t.done) {
    show(live, t);
    close_view(live);
    live = view{};
    common::end_menu_loop(t);
  }
  stepping = false;
}

int menu_connection() { return live.t ? ConnectionNumber(live.d) : -1; }

bool menu_events_queued() { return live.t && XEventsQueued(live.d, QueuedAlready) > 0; }

void close_menu(bool owner_gone) {
  if (!live.t || (owner_gone && common::find_window(live.t->owner))) return;
  common::menu_cancel(*live.t);
  step_menu();
}

XftFont *open_menu_font(Display *d) { return XftFontOpenName(d, DefaultScreen(d), "sans-11"); }

int menu_text_width(Display *d, XftFont *font, const std::string &s) {
  XGlyphInfo g;
  XftTextExtentsUtf8(d, font, reinterpret_cast<const FcChar8 *>(s.data()), int(s.size()), &g);
  return g.xOff;
}

void draw_menu_label(Display *d, XftDraw *draw, XftFont *font, XftColor *ink, int x, int baseline,
                     const common::menu_item &item) {
  int underline = -1;
  const std::string plain = common::menu_label(item, &underline);
  const std::string label = window_text_utf8(plain.c_str());
  XftDrawStringUtf8(draw, ink, font, x, baseline, reinterpret_cast<const FcChar8 *>(label.data()),
                    int(label.size()));
  if (underline < 0) return;
  const std::size_t at = std::size_t(underline);
  const int from = x + menu_text_width(d, font, window_text_utf8(plain.substr(0, at).c_str()));
  const int to = x + menu_text_width(d, font, window_text_utf8(plain.substr(0, at + 1).c_str()));
  XftDrawRect(draw, ink, from, baseline + 2, unsigned(std::max(1, to - from)), 1);
}

void install_menu_hook(common::backend_hooks &h) {
  h.run_menu = run_menu;
  h.open_menu = open_menu;
}

} // namespace vantrel::x11
