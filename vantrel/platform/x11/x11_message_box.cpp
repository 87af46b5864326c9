// Message boxes: a small modal dialog on a connection of its own, so that the main window's
// events stay queued, untouched, until the box is answered. Works before any window exists.
// As on Windows: the icon of the style drawn beside the text, buttons labelled with their
// underlined access letters, and Escape or the close button answering only where the box has
// a way out (Cancel, or the lone OK).
#include <X11/Xatom.h>
#include <X11/Xft/Xft.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "vantrel/platform/common/window_paint.h"
#include "vantrel/platform/x11/x11_internal.h"

namespace vantrel::x11 {
namespace {

constexpr LONGINT IDABORT = 3, IDRETRY = 4, IDIGNORE = 5, IDTRYAGAIN = 10, IDCONTINUE = 11;

// Labels as Windows gives them: '&' marks the access letter, which is shown underlined and
// answers the box when typed; OK and Cancel have none.
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
    return {{"&Abort", IDABORT}, {"&Retry", IDRETRY}, {"&Ignore", IDIGNORE}};
  case 3:
    return {{"&Yes", IDYES}, {"&No", IDNO}, {"Cancel", IDCANCEL}};
  case 4:
    return {{"&Yes", IDYES}, {"&No", IDNO}};
  case 5:
    return {{"&Retry", IDRETRY}, {"Cancel", IDCANCEL}};
  case 6:
    return {{"Cancel", IDCANCEL}, {"&Try Again", IDTRYAGAIN}, {"&Continue", IDCONTINUE}};
  default:
    return {{"OK", IDOK}};
  }
}

// The label as shown, without its '&' ("&&" shows one '&').
std::string shown_label(const char *label) {
  std::string out;
  for (const char *p = label; *p; p++) {
    if (*p == '&' && p[1]) p++;
    out += *p;
  }
  return out;
}

// Where the access letter stands in the shown label, -1 for none.
int access_index(const char *label) {
  int shown = 0;
  for (const char *p = label; *p; p++, shown++) {
    if (*p != '&' || !p[1]) continue;
    if (p[1] != '&') return shown;
    p++;
  }
  return -1;
}

// What Escape and the close button answer: Cancel where there is one, OK on a box that has
// nothing else; 0 (ignored) on a box without a way out but its buttons, as Windows does.
LONGINT escape_answer(const std::vector<button> &buttons) {
  for (const button &b : buttons)
    if (b.id == IDCANCEL) return IDCANCEL;
  return buttons.size() == 1 && buttons[0].id == IDOK ? IDOK : 0;
}

// The four icons of the style's MB_ICON bits, drawn beside the text.
enum class icon_kind { none, error, question, warning, information };

icon_kind icon_for(LONGWORD style) {
  switch (style & 0xF0) {
  case 0x10:
    return icon_kind::error;
  case 0x20:
    return icon_kind::question;
  case 0x30:
    return icon_kind::warning;
  case 0x40:
    return icon_kind::information;
  default:
    return icon_kind::none;
  }
}

constexpr int icon_size = 32;

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
  unsigned long white = 0, blue = 0, red = 0, orange = 0; // the icons' colours
  std::vector<std::string> lines;                         // UTF-8
  std::vector<button> buttons;
  icon_kind icon = icon_kind::none;
  int focus = 0, pressed = -1;
  int width = 0, height = 0, line_height = 0, ascent = 0;
  int text_x = 0, text_y = 0; // top left of the text

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

constexpr int margin = 16, gap = 10, min_button = 80, icon_gap = 16;

void lay_out(dialog &box) {
  int text_w = 0;
  for (const std::string &l : box.lines)
    text_w = std::max(text_w, box.text_width(l));
  int bh = box.line_height + 14, row = 0;
  for (button &b : box.buttons) {
    b.w = std::max(min_button, box.text_width(shown_label(b.label)) + 24);
    b.h = bh;
    row += b.w;
  }
  row += gap * int(box.buttons.size() - 1);
  int icon_w = box.icon == icon_kind::none ? 0 : icon_size + icon_gap;
  int icon_h = box.icon == icon_kind::none ? 0 : icon_size;
  int screen_w = DisplayWidth(box.d, box.screen), screen_h = DisplayHeight(box.d, box.screen);
  box.width =
      std::clamp(std::max(icon_w + text_w, row) + 2 * margin, 240, std::max(240, screen_w - 40));
  int text_h = box.line_height * int(box.lines.size());
  // A short text stands in the middle of the icon's height.
  box.text_x = margin + icon_w;
  box.text_y = margin + std::max(0, (icon_h - text_h) / 2);
  int body = std::max(text_h, icon_h);
  box.height = std::min(margin + body + margin + bh + margin, std::max(120, screen_h - 40));
  int x = (box.width - row) / 2, y = box.height - margin - bh;
  for (button &b : box.buttons) {
    b.x = x, b.y = y;
    x += b.w + gap;
  }
}

// The icon as Windows shows it, in vectors on a 32 x 32 square at (X, Y): a blue disc with a
// white question mark or a white "i", a red disc with a white cross, an orange triangle with
// a black exclamation mark.
void paint_icon(dialog &box, int x, int y) {
  Display *d = box.d;
  GC gc = box.gc;
  auto disc = [&](unsigned long colour) {
    XSetForeground(d, gc, colour);
    XFillArc(d, box.win, gc, x, y, icon_size, icon_size, 0, 360 * 64);
    XSetForeground(d, gc, box.white);
  };
  switch (box.icon) {
  case icon_kind::question:
    disc(box.blue);
    XSetLineAttributes(d, gc, 4, LineSolid, CapRound, JoinRound);
    // The hook from upper left over the top down to the middle, then the stem and the dot.
    XDrawArc(d, box.win, gc, x + 10, y + 5, 12, 12, 160 * 64, -250 * 64);
    XDrawLine(d, box.win, gc, x + 16, y + 17, x + 16, y + 19);
    XFillArc(d, box.win, gc, x + 14, y + 23, 5, 5, 0, 360 * 64);
    break;
  case icon_kind::information:
    disc(box.blue);
    XFillArc(d, box.win, gc, x + 13, y + 5, 6, 6, 0, 360 * 64);
    XFillRectangle(d, box.win, gc, x + 14, y + 13, 4, 13);
    break;
  case icon_kind::error:
    disc(box.red);
    XSetLineAttributes(d, gc, 4, LineSolid, CapButt, JoinMiter);
    XDrawLine(d, box.win, gc, x + 10, y + 10, x + 22, y + 22);
    XDrawLine(d, box.win, gc, x + 22, y + 10, x + 10, y + 22);
    break;
  case icon_kind::warning: {
    XPoint corners[3] = {{short(x + 16), short(y + 1)},
                         {short(x + 31), short(y + 29)},
                         {short(x + 1), short(y + 29)}};
    XSetForeground(d, gc, box.orange);
    XFillPolygon(d, box.win, gc, corners, 3, Convex, CoordModeOrigin);
    XSetForeground(d, gc, box.black);
    XFillRectangle(d, box.win, gc, x + 14, y + 10, 4, 11);
    XFillRectangle(d, box.win, gc, x + 14, y + 23, 4, 4);
    break;
  }
  case icon_kind::none:
    break;
  }
  XSetLineAttributes(d, gc, 1, LineSolid, CapButt, JoinMiter);
}

// A button's label, centred, with its access letter underlined two pixels below the baseline.
void paint_label(dialog &box, const button &b) {
  std::string shown = shown_label(b.label);
  int tw = box.text_width(shown);
  int left = b.x + (b.w - tw) / 2, baseline = b.y + (b.h - box.line_height) / 2 + box.ascent;
  box.text(left, baseline, shown);
  int at = access_index(b.label);
  if (at < 0) return;
  int from = left + box.text_width(shown.substr(0, std::size_t(at)));
  int to = left + box.text_width(shown.substr(0, std::size_t(at) + 1));
  XSetForeground(box.d, box.gc, box.black);
  XFillRectangle(box.d, box.win, box.gc, from, baseline + 2, unsigned(std::max(1, to - from)), 1);
}

void paint(dialog &box) {
  Display *d = box.d;
  XSetForeground(d, box.gc, box.background);
  XFillRectangle(d, box.win, box.gc, 0, 0, unsigned(box.width), unsigned(box.height));
  paint_icon(box, margin, margin);
  for (std::size_t i = 0; i < box.lines.size(); i++)
    box.text(box.text_x, box.text_y + box.ascent + int(i) * box.line_height, box.lines[i]);
  for (std::size_t i = 0; i < box.buttons.size(); i++) {
    const button &b = box.buttons[i];
    bool focused = int(i) == box.focus, down = int(i) == box.pressed;
    XSetForeground(d, box.gc, down ? box.edge : box.face);
    XFillRectangle(d, box.win, box.gc, b.x, b.y, unsigned(b.w), unsigned(b.h));
    XSetForeground(d, box.gc, focused ? box.accent : box.edge);
    XSetLineAttributes(d, box.gc, focused ? 2 : 1, LineSolid, CapButt, JoinMiter);
    XDrawRectangle(d, box.win, box.gc, b.x, b.y, unsigned(b.w - 1), unsigned(b.h - 1));
    XSetLineAttributes(d, box.gc, 1, LineSolid, CapButt, JoinMiter);
    paint_label(box, b);
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
  // An access letter answers, alone or with Alt, as in a Windows dialog.
  if (n != 1 || (e.state & ControlMask)) return 0;
  int letter = std::tolower(static_cast<unsigned char>(text[0]));
  for (const button &b : box.buttons) {
    int at = access_index(b.label);
    std::string shown = shown_label(b.label);
    if (at >= 0 && std::tolower(static_cast<unsigned char>(shown[std::size_t(at)])) == letter)
      return b.id;
  }
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
  static side_connection boxes;
  return boxes.get();
}

} // namespace
} // namespace vantrel::x11

namespace vantrel::x11 {
using namespace vantrel::platform;

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
  std::uint32_t face = common::system_colour(COLOR_BTNFACE);
  box.background = pixel(d, box.screen, (face >> 16) & 0xFF, (face >> 8) & 0xFF, face & 0xFF);
  box.face = pixel(d, box.screen, 0xE1, 0xE1, 0xE1);
  box.edge = pixel(d, box.screen, 0xAD, 0xAD, 0xAD);
  box.accent = pixel(d, box.screen, 0x00, 0x78, 0xD7);
  box.black = BlackPixel(d, box.screen);
  box.white = pixel(d, box.screen, 0xFF, 0xFF, 0xFF);
  box.blue = pixel(d, box.screen, 0x34, 0x65, 0xA4);
  box.red = pixel(d, box.screen, 0xCC, 0x00, 0x00);
  box.orange = pixel(d, box.screen, 0xF5, 0x79, 0x00);
  box.icon = icon_for(style);
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
  set_manager_properties(d, box.win, a, a.net_wm_window_type_dialog);
  // Functions the window manager offers: moving, and closing only where the box has a way
  // out, as Windows greys the close button of Yes/No and Abort/Retry/Ignore boxes.
  constexpr long MWM_HINTS_FUNCTIONS = 1, MWM_FUNC_MOVE = 4, MWM_FUNC_CLOSE = 32;
  long motif[5] = {MWM_HINTS_FUNCTIONS,
                   MWM_FUNC_MOVE | (escape_answer(box.buttons) ? MWM_FUNC_CLOSE : 0), 0, 0, 0};
  XChangeProperty(d, box.win, a.motif_wm_hints, a.motif_wm_hints, 32, PropModeReplace,
                  reinterpret_cast<unsigned char *>(motif), 5);
  x11_window *owner_native = owner ? native(owner) : nullptr;
  Window owner_xid = owner_native ? managed(*owner_native) : 0;
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
  bool gone = false; // another program destroyed the box: it answers 0, as a failed box does
  while (answer == 0 && !gone) {
    XEvent ev;
    XNextEvent(d, &ev);
    if (ev.xany.window != box.win) continue; // left over from an earlier box
    if (answer_ping(d, a, ev)) continue;
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
    case DestroyNotify:
      gone = true;
      break;
    default:
      break;
    }
  }

  if (owner_xid && no_manager) XSetInputFocus(d, owner_xid, RevertToParent, CurrentTime);
  close_fonts(box);
  XFreeGC(d, box.gc);
  if (!gone) XDestroyWindow(d, box.win);
  XSync(d, False);
  return answer;
}

} // namespace vantrel::x11
