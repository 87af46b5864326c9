// Menus on X: the shared menu loop (common/menus.h) shown as override-redirect pop-up windows
// on a connection of its own, with the message box's font. The loop grabs the keyboard and the
// pointer while it runs: arrows, Enter, Escape and mnemonics steer it, the pointer lights items,
// a release on an item chooses it, a press outside every pop-up closes the loop. Pop-ups are
// kept on the screen at its edges; a pop-up that would leave it on the right or bottom opens
// to the left of or above its place.
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
  std::vector<popup> pops; // one per open pop-up, in the loop's order
};

Display *menu_display() {
  static Display *kept = nullptr;
  static std::string kept_name;
  const char *env = std::getenv("DISPLAY");
  std::string name = env ? env : "";
  if (kept && name == kept_name) return kept;
  if (kept) XCloseDisplay(kept);
  kept = XOpenDisplay(nullptr);
  kept_name = name;
  return kept;
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

int text_width(view &v, const std::string &s) {
  XGlyphInfo g;
  XftTextExtentsUtf8(v.d, v.font, reinterpret_cast<const FcChar8 *>(s.data()), int(s.size()), &g);
  return g.xOff;
}

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
    // The bar is not drawn on X: its pop-ups open at the client area's top, each title's
    // place along it as Windows spaces them.
    const common::window *w = common::find_window(t.owner);
    const common::menu_record *bar = common::find_menu(t.levels[0].menu);
    p.x = w ? w->rect.LEFT + w->client.LEFT : 0;
    p.y = w ? w->rect.TOP + w->client.TOP : 0;
    for (int i = 0; bar && i < t.levels[0].highlight; i++)
      p.x += text_width(v, common::menu_label(bar->items[std::size_t(i)], nullptr)) + 16;
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
    int underline = -1;
    std::string label = window_text_utf8(common::menu_label(item, &underline).c_str());
    const int baseline = top + (h - (v.font->ascent + v.font->descent)) / 2 + v.font->ascent;
    XftDrawStringUtf8(p.draw, ink, v.font, check_column, baseline,
                      reinterpret_cast<const FcChar8 *>(label.data()), int(label.size()));
    if (underline >= 0) {
      std::string plain = common::menu_label(item, nullptr);
      int from = check_column + text_width(v, plain.substr(0, std::size_t(underline)));
      int to = check_column + text_width(v, plain.substr(0, std::size_t(underline) + 1));
      XftDrawRect(p.draw, ink, from, baseline + 2, unsigned(std::max(1, to - from)), 1);
    }
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

// The program draws no frames while the loop runs, so what a closed pop-up covered is put back
// from the picture taken as it opened.
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
    p.under = XGetImage(v.d, RootWindow(v.d, v.screen), p.x, p.y, unsigned(p.w), unsigned(p.h),
                        AllPlanes, ZPixmap);
    XMapRaised(v.d, p.win);
    v.pops.push_back(p);
  }
  for (std::size_t i = 0; i < v.pops.size(); i++)
    paint(v, v.pops[i], t.levels[first + i].highlight);
  XFlush(v.d);
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

void run_menu(common::menu_tracking &t) {
  view v;
  v.d = menu_display();
  if (!v.d) return;
  v.screen = DefaultScreen(v.d);
  v.visual = DefaultVisual(v.d, v.screen);
  v.cmap = DefaultColormap(v.d, v.screen);
  v.font = XftFontOpenName(v.d, v.screen, "sans-11");
  if (!v.font) return; // the loop ends without a choice
  if (!xft_colour(v, 0x000000, &v.text) || !xft_colour(v, 0x6D6D6D, &v.grey) ||
      !xft_colour(v, 0xFFFFFF, &v.lit)) {
    XftFontClose(v.d, v.font);
    return;
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
  show(v, t);
  XSync(v.d, False);
  if (!grab_input(v.d, root)) common::menu_cancel(t); // another program holds the input
  const unsigned choose_buttons = (t.flags & TPM_RIGHTBUTTON) ? 3u : 1u;
  const std::size_t first = t.popup ? 0 : 1;
  while (!t.done) {
    XEvent ev;
    XNextEvent(v.d, &ev);
    std::size_t index = 0;
    int item = -1;
    switch (ev.type) {
    case Expose:
      break;
    case KeyPress:
      handle_key(t, ev.xkey);
      break;
    case MotionNotify:
      if (hit(v, ev.xmotion.x_root, ev.xmotion.y_root, &index, &item) && item >= 0)
        common::menu_select(t, first + index, item);
      break;
    case ButtonPress:
      if (!hit(v, ev.xbutton.x_root, ev.xbutton.y_root, &index, &item)) common::menu_cancel(t);
      break;
    case ButtonRelease:
      if (ev.xbutton.button != 1 && !(ev.xbutton.button == 3 && choose_buttons == 3)) break;
      if (hit(v, ev.xbutton.x_root, ev.xbutton.y_root, &index, &item) && item >= 0) {
        common::menu_select(t, first + index, item);
        common::menu_click(t);
      }
      break;
    default:
      break;
    }
    if (!common::find_window(t.owner)) common::menu_cancel(t);
    show(v, t);
  }
  XUngrabKeyboard(v.d, CurrentTime);
  XUngrabPointer(v.d, CurrentTime);
  while (!v.pops.empty()) {
    close_popup(v, v.pops.back());
    v.pops.pop_back();
  }
  XFreeGC(v.d, v.gc);
  XftColorFree(v.d, v.visual, v.cmap, &v.text);
  XftColorFree(v.d, v.visual, v.cmap, &v.grey);
  XftColorFree(v.d, v.visual, v.cmap, &v.lit);
  XftFontClose(v.d, v.font);
  // What reached the grab after the step that ended the loop (the release of the click that
  // closed it, keys typed on) is dropped here, or the next menu on this connection would read it
  // as its own first steps.
  XSync(v.d, True);
  // The keys let go of while the menu held the keyboard never reached the program's connection.
  if (Display *d = display()) forget_released_keys(d);
}

} // namespace

void install_menu_hook(common::backend_hooks &h) { h.run_menu = run_menu; }

} // namespace vantrel::x11
