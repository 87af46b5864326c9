// Message boxes: a small modal dialog on a connection of its own, so that the main window's
// events stay queued, untouched, until the box is answered. Works before any window exists.
#include <X11/Xatom.h>
#include <X11/Xft/Xft.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "vantrel/platform/x11/x11_internal.h"

namespace vantrel::x11 {
namespace {

constexpr LONGINT IDABORT = 3, IDRETRY = 4, IDIGNORE = 5, IDTRYAGAIN = 10, IDCONTINUE = 11;

struct button {
  const char *label;
  LONGINT id;
  int x = 0, y = 0, w = 0, h = 0;
};

std::vector<button> buttons_for(LONGWORD style) {
  switch (style & 0xF) {
  case 1:
    return {{"OK", IDOK}, {"Cancel", IDCANCEL}};
  case 2:
    return {{"Abort", IDABORT}, {"Retry", IDRETRY}, {"Ignore", IDIGNORE}};
  case 3:
    return {{"Yes", IDYES}, {"No", IDNO}, {"Cancel", IDCANCEL}};
  case 4:
    return {{"Yes", IDYES}, {"No", IDNO}};
  case 5:
    return {{"Retry", IDRETRY}, {"Cancel", IDCANCEL}};
  case 6:
    return {{"Cancel", IDCANCEL}, {"Try Again", IDTRYAGAIN}, {"Continue", IDCONTINUE}};
  default:
    return {{"OK", IDOK}};
  }
}

// What Escape and the close button answer: Cancel where there is one, else No, else OK;
// 0 where the box offers no way out but its buttons.
LONGINT escape_answer(const std::vector<button> &buttons) {
  for (LONGINT want : {IDCANCEL, IDNO, IDOK})
    for (const button &b : buttons)
      if (b.id == want) return want;
  return 0;
}

struct dialog {
  Display *d = nullptr;
  int screen = 0;
  Window win = 0;
  Visual *visual = nullptr;
  Colormap cmap = 0;
  GC gc = nullptr;
  XftFont *xft = nullptr;
  XftDraw *draw = nullptr;
  XftColor ink{};
  bool ink_allocated = false;
  XFontStruct *core = nullptr;
  unsigned long background = 0, face = 0, edge = 0, accent = 0, black = 0;
  std::vector<std::string> lines; // UTF-8
  std::vector<button> buttons;
  int focus = 0, pressed = -1;
  int width = 0, height = 0, line_height = 0, ascent = 0;

  int text_width(const std::string &utf8) const {
    if (xft) {
      XGlyphInfo g;
      XftTextExtentsUtf8(d, xft, reinterpret_cast<const FcChar8 *>(utf8.data()), int(utf8.size()),
                         &g);
      return g.xOff;
    }
    std::string latin1 = utf8_to_latin1(utf8);
    return XTextWidth(core, latin1.data(), int(latin1.size()));
  }

  void text(int x, int baseline, const std::string &utf8) {
    if (xft) {
      XftDrawStringUtf8(draw, &ink, xft, x, baseline,
                        reinterpret_cast<const FcChar8 *>(utf8.data()), int(utf8.size()));
      return;
    }
    std::string latin1 = utf8_to_latin1(utf8);
    XSetForeground(d, gc, black);
    XDrawString(d, win, gc, x, baseline, latin1.data(), int(latin1.size()));
  }
};

unsigned long pixel(Display *d, int screen, unsigned short r, unsigned short g, unsigned short b) {
  XColor c{};
  c.red = r * 257, c.green = g * 257, c.blue = b * 257;
  c.flags = DoRed | DoGreen | DoBlue;
  if (XAllocColor(d, DefaultColormap(d, screen), &c)) return c.pixel;
  return (r + g + b) / 3 > 127 ? WhitePixel(d, screen) : BlackPixel(d, screen);
}

bool open_fonts(dialog &box) {
  box.xft = XftFontOpenName(box.d, box.screen, "sans-11");
  if (box.xft) {
    box.draw = XftDrawCreate(box.d, box.win, box.visual, box.cmap);
    box.ink_allocated =
        box.draw && XftColorAllocName(box.d, box.visual, box.cmap, "black", &box.ink);
    if (box.ink_allocated) {
      box.ascent = box.xft->ascent;
      box.line_height = box.xft->ascent + box.xft->descent;
      return true;
    }
    if (box.draw) XftDrawDestroy(box.draw);
    XftFontClose(box.d, box.xft);
    box.draw = nullptr, box.xft = nullptr;
  }
  box.core = XLoadQueryFont(box.d, "fixed");
  if (!box.core) return false;
  XSetFont(box.d, box.gc, box.core->fid);
  box.ascent = box.core->ascent;
  box.line_height = box.core->ascent + box.core->descent;
  return true;
}

void close_fonts(dialog &box) {
  if (box.ink_allocated) XftColorFree(box.d, box.visual, box.cmap, &box.ink);
  if (box.draw) XftDrawDestroy(box.draw);
  if (box.xft) XftFontClose(box.d, box.xft);
  if (box.core) XFreeFont(box.d, box.core);
}

constexpr int margin = 16, gap = 10, min_button = 80;

void lay_out(dialog &box) {
  int text_w = 0;
  for (const std::string &l : box.lines)
    text_w = std::max(text_w, box.text_width(l));
  int bh = box.line_height + 14, row = 0;
  for (button &b : box.buttons) {
    b.w = std::max(min_button, box.text_width(b.label) + 24);
    b.h = bh;
    row += b.w;
  }
  row += gap * int(box.buttons.size() - 1);
  int screen_w = DisplayWidth(box.d, box.screen), screen_h = DisplayHeight(box.d, box.screen);
  box.width = std::clamp(std::max(text_w, row) + 2 * margin, 240, std::max(240, screen_w - 40));
  int text_h = box.line_height * int(box.lines.size());
  box.height = std::min(margin + text_h + margin + bh + margin, std::max(120, screen_h - 40));
  int x = (box.width - row) / 2, y = box.height - margin - bh;
  for (button &b : box.buttons) {
    b.x = x, b.y = y;
    x += b.w + gap;
  }
}

void paint(dialog &box) {
  Display *d = box.d;
  XSetForeground(d, box.gc, box.background);
  XFillRectangle(d, box.win, box.gc, 0, 0, unsigned(box.width), unsigned(box.height));
  for (std::size_t i = 0; i < box.lines.size(); i++)
    box.text(margin, margin + box.ascent + int(i) * box.line_height, box.lines[i]);
  for (std::size_t i = 0; i < box.buttons.size(); i++) {
    const button &b = box.buttons[i];
    bool focused = int(i) == box.focus, down = int(i) == box.pressed;
    XSetForeground(d, box.gc, down ? box.edge : box.face);
    XFillRectangle(d, box.win, box.gc, b.x, b.y, unsigned(b.w), unsigned(b.h));
    XSetForeground(d, box.gc, focused ? box.accent : box.edge);
    XSetLineAttributes(d, box.gc, focused ? 2 : 1, LineSolid, CapButt, JoinMiter);
    XDrawRectangle(d, box.win, box.gc, b.x, b.y, unsigned(b.w - 1), unsigned(b.h - 1));
    int tw = box.text_width(b.label);
    box.text(b.x + (b.w - tw) / 2, b.y + (b.h - box.line_height) / 2 + box.ascent, b.label);
  }
  XFlush(d);
}

int button_at(const dialog &box, int x, int y) {
  for (std::size_t i = 0; i < box.buttons.size(); i++) {
    const button &b = box.buttons[i];
    if (x >= b.x && x < b.x + b.w && y >= b.y && y < b.y + b.h) return int(i);
  }
  return -1;
}

// 0 while the key gives no answer.
LONGINT answer_for_key(dialog &box, XKeyEvent &e) {
  char text[8];
  KeySym sym = 0;
  int n = XLookupString(&e, text, sizeof text, &sym, nullptr);
  int count = int(box.buttons.size());
  switch (sym) {
  case XK_Return:
  case XK_KP_Enter:
  case XK_space:
  case XK_KP_Space:
    return box.buttons[std::size_t(box.focus)].id;
  case XK_Escape:
    return escape_answer(box.buttons);
  case XK_Tab:
  case XK_Right:
  case XK_Down:
    box.focus = (box.focus + 1) % count;
    paint(box);
    return 0;
  case XK_ISO_Left_Tab:
  case XK_Left:
  case XK_Up:
    box.focus = (box.focus + count - 1) % count;
    paint(box);
    return 0;
  default:
    break;
  }
  if (n != 1 || (e.state & (ControlMask | Mod1Mask))) return 0;
  int letter = std::tolower(static_cast<unsigned char>(text[0]));
  for (const button &b : box.buttons)
    if (std::tolower(static_cast<unsigned char>(b.label[0])) == letter) return b.id;
  return 0;
}

std::vector<std::string> split_lines(const std::string &utf8) {
  std::vector<std::string> out(1);
  for (char c : utf8) {
    if (c == '\r') continue;
    if (c == '\n')
      out.emplace_back();
    else
      out.back() += c;
  }
  return out;
}

void print_unshown(PCHAR text, PCHAR caption) {
  std::fprintf(stderr, "%s: %s\n", window_text_utf8(caption).c_str(),
               window_text_utf8(text).c_str());
  std::fflush(stderr);
}

// The boxes' own connection, opened by the first box and kept for the rest of the run (opened
// again only when DISPLAY names another server). A connection opened and closed for each box
// could, under load, leave the next box waiting forever for the server's first reply to Xft.
Display *box_display() {
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

} // namespace
} // namespace vantrel::x11

namespace vantrel::platform {
using namespace vantrel::x11;

LONGINT MessageBoxA(THANDLE owner, PCHAR text, PCHAR caption, LONGWORD style) {
  install_error_handler();
  dialog box;
  box.d = box_display();
  if (!box.d) {
    print_unshown(text, caption);
    return 0;
  }
  // A capture held by the main connection would keep the pointer from the box.
  if (captured_window()) ReleaseCapture();
  Display *d = box.d;
  atoms a = intern_atoms(d);
  box.screen = DefaultScreen(d);
  box.visual = DefaultVisual(d, box.screen);
  box.cmap = DefaultColormap(d, box.screen);
  box.background = pixel(d, box.screen, 0xF0, 0xF0, 0xF0);
  box.face = pixel(d, box.screen, 0xE1, 0xE1, 0xE1);
  box.edge = pixel(d, box.screen, 0xAD, 0xAD, 0xAD);
  box.accent = pixel(d, box.screen, 0x00, 0x78, 0xD7);
  box.black = BlackPixel(d, box.screen);
  box.lines = split_lines(window_text_utf8(text));
  box.buttons = buttons_for(style);
  if ((style & 0xF00) == 0x100 && box.buttons.size() > 1) box.focus = 1; // MB_DEFBUTTON2
  if ((style & 0xF00) == 0x200 && box.buttons.size() > 2) box.focus = 2; // MB_DEFBUTTON3

  Window root = RootWindow(d, box.screen);
  XSetWindowAttributes attrs{};
  attrs.background_pixel = box.background;
  attrs.event_mask =
      ExposureMask | KeyPressMask | ButtonPressMask | ButtonReleaseMask | StructureNotifyMask;
  box.win = XCreateWindow(d, root, 0, 0, 1, 1, 0, CopyFromParent, InputOutput, CopyFromParent,
                          CWBackPixel | CWEventMask, &attrs);
  box.gc = XCreateGC(d, box.win, 0, nullptr);
  if (!open_fonts(box)) {
    XFreeGC(d, box.gc);
    XDestroyWindow(d, box.win);
    XSync(d, False);
    print_unshown(text, caption);
    return 0;
  }
  lay_out(box);
  int x = (DisplayWidth(d, box.screen) - box.width) / 2;
  int y = (DisplayHeight(d, box.screen) - box.height) / 2;
  XMoveResizeWindow(d, box.win, x, y, unsigned(box.width), unsigned(box.height));

  set_window_title(d, box.win, a, caption);
  XClassHint *hint = XAllocClassHint();
  if (hint) {
    std::string res_name = "vantrel", res_class = "MessageBox";
    hint->res_name = res_name.data();
    hint->res_class = res_class.data();
    XSetClassHint(d, box.win, hint);
    XFree(hint);
  }
  Atom protocols[] = {a.wm_delete_window};
  XSetWMProtocols(d, box.win, protocols, 1);
  XChangeProperty(d, box.win, a.net_wm_window_type, XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char *>(&a.net_wm_window_type_dialog), 1);
  x11_window *owner_native = owner ? native(owner) : nullptr;
  Window owner_xid = owner_native ? owner_native->xid : 0;
  // Without an owner the box belongs to the whole program, as ICCCM says with the root.
  XSetTransientForHint(d, box.win, owner_xid ? owner_xid : root);
  if (owner_xid)
    XChangeProperty(d, box.win, a.net_wm_state, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char *>(&a.net_wm_state_modal), 1);
  XSizeHints *size = XAllocSizeHints();
  if (size) {
    size->flags = USPosition | PPosition | PMinSize | PMaxSize;
    size->x = x, size->y = y;
    size->min_width = size->max_width = box.width;
    size->min_height = size->max_height = box.height;
    XSetWMNormalHints(d, box.win, size);
    XFree(size);
  }
  XMapRaised(d, box.win);
  XFlush(d);

  bool no_manager = !window_manager_running(d);
  LONGINT answer = 0;
  while (answer == 0) {
    XEvent ev;
    XNextEvent(d, &ev);
    if (ev.xany.window != box.win) continue; // left over from an earlier box
    switch (ev.type) {
    case MapNotify:
      if (no_manager) XSetInputFocus(d, box.win, RevertToParent, CurrentTime);
      break;
    case Expose:
      if (ev.xexpose.count == 0) paint(box);
      break;
    case KeyPress:
      answer = answer_for_key(box, ev.xkey);
      break;
    case ButtonPress:
      if (ev.xbutton.button == 1) {
        box.pressed = button_at(box, ev.xbutton.x, ev.xbutton.y);
        if (box.pressed >= 0) box.focus = box.pressed;
        paint(box);
      }
      break;
    case ButtonRelease:
      if (ev.xbutton.button == 1 && box.pressed >= 0) {
        if (button_at(box, ev.xbutton.x, ev.xbutton.y) == box.pressed)
          answer = box.buttons[std::size_t(box.pressed)].id;
        box.pressed = -1;
        paint(box);
      }
      break;
    case ClientMessage:
      if (ev.xclient.message_type == a.wm_protocols &&
          Atom(ev.xclient.data.l[0]) == a.wm_delete_window)
        answer = escape_answer(box.buttons);
      break;
    default:
      break;
    }
  }

  if (owner_xid && no_manager) XSetInputFocus(d, owner_xid, RevertToParent, CurrentTime);
  close_fonts(box);
  XFreeGC(d, box.gc);
  XDestroyWindow(d, box.win);
  XSync(d, False);
  return answer;
}

} // namespace vantrel::platform
