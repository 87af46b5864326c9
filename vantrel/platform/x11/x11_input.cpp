// X events to Win32 messages: keys as virtual-key codes with Win32 key-message lParams, mouse
// buttons and moves with MK_ flags and client coordinates, close requests, exposure.
#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/keysym.h>

#include <algorithm>
#include <array>
#include <string_view>

#include "vantrel/platform/common/keyboard.h"
#include "vantrel/platform/common/message_queue.h"
#include "vantrel/platform/x11/x11_internal.h"

namespace vantrel::x11 {
namespace {

constexpr TWPARAM VK_CLEAR = 0x0C, VK_PAUSE = 0x13, VK_CAPITAL = 0x14, VK_PRIOR = 0x21,
                  VK_NEXT = 0x22, VK_END = 0x23, VK_HOME = 0x24, VK_SNAPSHOT = 0x2C,
                  VK_INSERT = 0x2D, VK_DELETE = 0x2E, VK_LWIN = 0x5B, VK_RWIN = 0x5C,
                  VK_APPS = 0x5D, VK_NUMPAD0 = 0x60, VK_MULTIPLY = 0x6A, VK_ADD = 0x6B,
                  VK_SEPARATOR = 0x6C, VK_SUBTRACT = 0x6D, VK_DECIMAL = 0x6E, VK_DIVIDE = 0x6F,
                  VK_NUMLOCK = 0x90, VK_SCROLL = 0x91, VK_OEM_102 = 0xE2;

bool detectable_repeat = false;
bool key_held[256] = {};

void post_input(THANDLE hwnd, LONGWORD message, TWPARAM wparam, TLPARAM lparam, int root_x,
                int root_y, int ch = -1) {
  common::post_input(
      TMSG{hwnd, message, wparam, lparam, platform::GetTickCount(), {root_x, root_y}}, ch);
}

bool is_keypad_keysym(KeySym k) { return k >= XK_KP_Space && k <= XK_KP_9; }

constexpr unsigned EXTENDED = 0x100; // in a scan code: bit 24 of the key-message lParam

// The set-1 scan code (with EXTENDED) that Windows reports for the key at X keycode KEYCODE,
// the evdev code plus 8 (as every X server on Linux numbers keys); 0 for keys it lacks.
unsigned scan_code(unsigned keycode) {
  const unsigned evdev = keycode - 8;
  if (keycode < 8) return 0;
  if (evdev == 69) return 0x45 | EXTENDED; // Num Lock
  if (evdev >= 1 && evdev <= 88 && evdev != 84 && evdev != 85) return evdev;
  if (evdev >= 183 && evdev <= 193) return 0x64 + (evdev - 183); // F13 .. F23
  // clang-format off
  switch (evdev) {
  case 89: return 0x73;                 // Ro
  case 96: return 0x1C | EXTENDED;      // keypad Enter
  case 97: return 0x1D | EXTENDED;      // right Ctrl
  case 98: return 0x35 | EXTENDED;      // keypad /
  case 99: return 0x37 | EXTENDED;      // Print Screen
  case 100: return 0x38 | EXTENDED;     // right Alt
  case 102: return 0x47 | EXTENDED;     // Home
  case 103: return 0x48 | EXTENDED;     // Up
  case 104: return 0x49 | EXTENDED;     // Page Up
  case 105: return 0x4B | EXTENDED;     // Left
  case 106: return 0x4D | EXTENDED;     // Right
  case 107: return 0x4F | EXTENDED;     // End
  case 108: return 0x50 | EXTENDED;     // Down
  case 109: return 0x51 | EXTENDED;     // Page Down
  case 110: return 0x52 | EXTENDED;     // Insert
  case 111: return 0x53 | EXTENDED;     // Delete
  case 117: return 0x59;                // keypad =
  case 119: return 0x45;                // Pause
  case 121: return 0x7E;                // keypad ,
  case 124: return 0x7D;                // Yen
  case 125: return 0x5B | EXTENDED;     // left Windows key
  case 126: return 0x5C | EXTENDED;     // right Windows key
  case 127: return 0x5D | EXTENDED;     // Menu
  case 194: return 0x76;                // F24
  default: return 0;
  }
  // clang-format on
}

// The Windows layout of each XKB group, read from the server's rules names; null where Windows
// has no layout of that name (or none is known yet).
std::array<const common::key_layout *, 4> group_layouts{};
Atom rules_names_atom = 0;

void read_layouts(Display *d) {
  group_layouts = {};
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char *data = nullptr;
  if (XGetWindowProperty(d, DefaultRootWindow(d), rules_names_atom, 0, 1024, False, XA_STRING,
                         &type, &format, &count, &after, &data) != Success ||
      !data) {
    return;
  }
  // Rules, model, layouts, variants, options: strings one after the other, each ended by NUL.
  std::string_view all(reinterpret_cast<const char *>(data), count);
  std::size_t field = 0, at = 0;
  for (; field < 2 && at < all.size(); field++) {
    const std::size_t end = all.find('\0', at);
    at = end == std::string_view::npos ? all.size() : end + 1;
  }
  std::string_view names = all.substr(at, all.find('\0', at) - at);
  for (std::size_t group = 0; group < group_layouts.size() && !names.empty(); group++) {
    const std::size_t comma = std::min(names.size(), names.find(','));
    group_layouts[group] = common::find_layout(names.substr(0, comma));
    names.remove_prefix(std::min(names.size(), comma + 1));
  }
  XFree(data);
}

// The key states as Windows keeps them: Ctrl and Alt on either side, the left Ctrl that AltGr
// brings with it, and whether Alt went down with no key pressed since.
struct modifiers {
  bool left_ctrl, right_ctrl, altgr_ctrl, left_alt, right_alt, alt_alone;
  bool ctrl() const { return left_ctrl || right_ctrl || altgr_ctrl; }
  bool alt() const { return left_alt || right_alt; }
} mods;

// The Windows-1252 character of an X keysym (with DEAD_KEY for dead keys), 0 for none.
int keysym_char(KeySym k) {
  if ((k >= 0x20 && k <= 0x7E) || (k >= 0xA0 && k <= 0xFF)) return int(k);
  if (k >= 0x1000100 && k <= 0x110FFFF) return common::to_cp1252(char32_t(k - 0x1000000));
  if (k == XK_EuroSign) return 0x80;
  switch (k) {
  case XK_dead_grave:
    return '`' | common::DEAD_KEY;
  case XK_dead_acute:
    return 0xB4 | common::DEAD_KEY;
  case XK_dead_circumflex:
    return '^' | common::DEAD_KEY;
  case XK_dead_tilde:
    return '~' | common::DEAD_KEY;
  case XK_dead_diaeresis:
    return 0xA8 | common::DEAD_KEY;
  default:
    break;
  }
  if (k >= XK_dead_grave && k <= 0xFE8F) return '?' | common::DEAD_KEY;
  return k >= 0x100 && k < 0x2000 ? '?' : 0; // the other character keysyms
}

// One key message as Windows makes it: Alt makes system keys unless Ctrl is held, a lone Alt's
// release is one too, F10 always; bit 29 says whether Alt is down once the key has moved.
void key_message(THANDLE hwnd, TWPARAM vk, unsigned scan, bool press, bool repeat, int ch,
                 const XKeyEvent &e, bool altgr_ctrl = false) {
  LONGWORD message = press ? WM_KEYDOWN : WM_KEYUP;
  const bool ctrl = mods.ctrl(), alt = mods.alt();
  if (vk == VK_MENU) {
    if (press && !ctrl) {
      message = WM_SYSKEYDOWN;
      mods.alt_alone = true;
    } else if (!press && alt && mods.alt_alone) {
      message = WM_SYSKEYUP;
      mods.alt_alone = false;
    }
  } else if (vk == VK_CONTROL) {
    if (!press && alt) {
      message = WM_SYSKEYUP;
      mods.alt_alone = false;
    }
  } else if (vk == VK_F10 || (alt && !ctrl)) {
    message = press ? WM_SYSKEYDOWN : WM_SYSKEYUP;
    mods.alt_alone = false;
  }
  const unsigned base = scan & 0xFF;
  if (vk == VK_CONTROL)
    (altgr_ctrl ? mods.altgr_ctrl : scan & EXTENDED ? mods.right_ctrl : mods.left_ctrl) = press;
  if (vk == VK_MENU) (scan & EXTENDED ? mods.right_alt : mods.left_alt) = press;
  LONGWORD lp = 1u | (LONGWORD(base) << 16);
  if (scan & EXTENDED) lp |= 1u << 24;
  if (mods.alt()) lp |= 1u << 29;
  if (repeat || !press) lp |= 1u << 30;
  if (!press) lp |= 1u << 31;
  post_input(hwnd, message, vk, TLPARAM(lp), e.x_root, e.y_root, press ? ch : 0);
}

// The virtual key of key event E at SCAN under LAYOUT, with its unshifted and shifted symbols:
// character keys take the one that Windows' layout gives their place.
TWPARAM key_vk(XKeyEvent &e, unsigned scan, const common::key_layout *layout, KeySym *unshifted,
               KeySym *shifted) {
  *unshifted = XLookupKeysym(&e, 0);
  char text[8];
  XLookupString(&e, text, sizeof text, shifted, nullptr);
  if (scan < EXTENDED && common::layout_vk(nullptr, scan) != 0)
    return common::layout_vk(layout, scan);
  return virtual_key(*unshifted, *shifted);
}

void translate_key(XKeyEvent &e, bool press) {
  common::window *w = window_of(e.window);
  if (!w) return;
  const unsigned kc = e.keycode & 0xFF;
  const unsigned scan = scan_code(kc);
  const common::key_layout *layout = group_layouts[XkbGroupForCoreState(e.state) & 3];
  // The layout's base symbol names the other keys; keypad keys follow NumLock, as on Win32.
  KeySym unshifted = 0, shifted = 0;
  const TWPARAM vk = key_vk(e, scan, layout, &unshifted, &shifted);
  if (vk == 0) return;
  const bool char_key = scan < EXTENDED && common::layout_vk(nullptr, scan) != 0;

  const bool repeat = press && key_held[kc];
  key_held[kc] = press;
  const bool shift = e.state & ShiftMask, caps = e.state & LockMask;
  const bool ctrl = mods.ctrl(), alt = mods.alt();
  int ch = 0;
  if (!press) {
  } else if (char_key && layout) {
    ch = common::layout_char(layout, scan, shift, caps, ctrl && !alt, ctrl && alt);
  } else if (char_key && ctrl && !alt) {
    ch = common::layout_char(common::find_layout("us"), scan, shift, caps, true, false);
  } else if (char_key) {
    // A layout Windows lacks: the character X's layout gives, unless Ctrl and Alt are held
    // without its third level.
    ch = ctrl && alt && !(e.state & Mod5Mask) ? 0 : keysym_char(shifted);
  } else {
    ch = common::other_key_char(layout, vk, shift, ctrl, alt);
  }
  // AltGr is the right Alt with a left Ctrl, pressed before it and released before it.
  const bool altgr = scan == (0x38 | EXTENDED) &&
                     (layout ? common::has_altgr(layout) : unshifted == XK_ISO_Level3_Shift);
  if (altgr && !mods.left_ctrl && (press || mods.altgr_ctrl))
    key_message(w->handle, VK_CONTROL, 0x1D, press, repeat, 0, e, true);
  key_message(w->handle, vk, scan, press, repeat, ch, e);
}

TWPARAM mouse_flags(unsigned state) {
  TWPARAM f = 0;
  if (state & Button1Mask) f |= MK_LBUTTON;
  if (state & Button3Mask) f |= MK_RBUTTON;
  if (state & Button2Mask) f |= MK_MBUTTON;
  if (state & ShiftMask) f |= MK_SHIFT;
  if (state & ControlMask) f |= MK_CONTROL;
  return f;
}

TLPARAM pack_point(int x, int y) {
  return TLPARAM((LONGWORD(y & 0xFFFF) << 16) | LONGWORD(x & 0xFFFF));
}

// The client area's top-left corner of W on the screen.
POINT client_origin(const common::window &w) {
  TRECT r;
  platform::GetWindowRect(w.handle, &r);
  return {r.LEFT + w.client.LEFT, r.TOP + w.client.TOP};
}

bool client_holds(const common::window &w, int x_root, int y_root) {
  const POINT o = client_origin(w);
  return x_root >= o.X && y_root >= o.Y && x_root < o.X + (w.client.RIGHT - w.client.LEFT) &&
         y_root < o.Y + (w.client.BOTTOM - w.client.TOP);
}

// Win32 has no implicit grab: without capture, the pointer's messages go to the window under
// it, while X sends them to the window the button went down in. Past that window's client
// area this finds where they belong, another of ours or none (somebody else's window), and
// sets X and Y to its client coordinates. Inside it, X's choice stands.
common::window *under_pointer(common::window *w, int x_root, int y_root, int &x, int &y) {
  if (!w || client_holds(*w, x_root, y_root)) return w;
  common::window *at = nullptr;
  for (THANDLE h : common::child_windows(0)) {
    common::window *top = common::find_window(h);
    if (top && top->visible && client_holds(*top, x_root, y_root)) at = top;
  }
  for (bool deeper = at != nullptr; deeper;) {
    deeper = false;
    for (THANDLE h : common::child_windows(at->handle)) {
      common::window *c = common::find_window(h);
      if (c && c->visible && client_holds(*c, x_root, y_root)) {
        at = c, deeper = true;
        break;
      }
    }
  }
  if (at) {
    const POINT o = client_origin(*at);
    x = x_root - o.X, y = y_root - o.Y;
  }
  return at;
}

void translate_button(XButtonEvent &e, bool press) {
  common::window *w = window_of(e.window);
  if (!w) return;
  unsigned mask = e.button == 1   ? Button1Mask
                  : e.button == 2 ? Button2Mask
                  : e.button == 3 ? Button3Mask
                                  : 0;
  // X reports the state before the event; Win32 the state after it.
  unsigned after = press ? e.state | mask : e.state & ~mask;
  if (e.button == 4 || e.button == 5) {
    if (!press) return;
    TWPARAM delta = TWPARAM(std::uint16_t(e.button == 4 ? 120 : -120));
    post_input(w->handle, WM_MOUSEWHEEL, (delta << 16) | mouse_flags(e.state),
               pack_point(e.x_root, e.y_root), e.x_root, e.y_root);
    return;
  }
  LONGWORD message;
  switch (e.button) {
  case 1:
    message = press ? WM_LBUTTONDOWN : WM_LBUTTONUP;
    break;
  case 2:
    message = press ? WM_MBUTTONDOWN : WM_MBUTTONUP;
    break;
  case 3:
    message = press ? WM_RBUTTONDOWN : WM_RBUTTONUP;
    break;
  default:
    return;
  }
  post_input(w->handle, message, mouse_flags(after), pack_point(e.x, e.y), e.x_root, e.y_root);
}

} // namespace

void init_keyboard(Display *d) {
  Bool supported = False;
  XkbSetDetectableAutoRepeat(d, True, &supported);
  detectable_repeat = supported;
  // setxkbmap rewrites the rules names on the root window when the layouts change.
  rules_names_atom = XInternAtom(d, "_XKB_RULES_NAMES", False);
  XWindowAttributes root;
  if (XGetWindowAttributes(d, DefaultRootWindow(d), &root))
    XSelectInput(d, DefaultRootWindow(d), root.your_event_mask | PropertyChangeMask);
  read_layouts(d);
}

TWPARAM virtual_key(KeySym unshifted, KeySym shifted) {
  KeySym k = is_keypad_keysym(shifted) || shifted == XK_KP_Enter ? shifted : unshifted;
  if (k >= XK_a && k <= XK_z) return TWPARAM('A' + (k - XK_a));
  if (k >= XK_A && k <= XK_Z) return TWPARAM(k);
  if (k >= XK_0 && k <= XK_9) return TWPARAM(k);
  if (k >= XK_F1 && k <= XK_F24) return VK_F1 + TWPARAM(k - XK_F1);
  if (k >= XK_KP_0 && k <= XK_KP_9) return VK_NUMPAD0 + TWPARAM(k - XK_KP_0);
  switch (k) {
  case XK_BackSpace:
    return VK_BACK;
  case XK_Tab:
  case XK_ISO_Left_Tab:
    return VK_TAB;
  case XK_Return:
  case XK_KP_Enter:
    return VK_RETURN;
  case XK_Escape:
    return VK_ESCAPE;
  case XK_space:
    return VK_SPACE;
  case XK_Shift_L:
  case XK_Shift_R:
    return VK_SHIFT;
  case XK_Control_L:
  case XK_Control_R:
    return VK_CONTROL;
  case XK_Alt_L:
  case XK_Alt_R:
  case XK_Meta_L:
  case XK_Meta_R:
  case XK_ISO_Level3_Shift:
    return VK_MENU;
  case XK_Pause:
    return VK_PAUSE;
  case XK_Caps_Lock:
    return VK_CAPITAL;
  case XK_Prior:
  case XK_KP_Prior:
    return VK_PRIOR;
  case XK_Next:
  case XK_KP_Next:
    return VK_NEXT;
  case XK_End:
  case XK_KP_End:
    return VK_END;
  case XK_Home:
  case XK_KP_Home:
    return VK_HOME;
  case XK_Left:
  case XK_KP_Left:
    return VK_LEFT;
  case XK_Up:
  case XK_KP_Up:
    return VK_UP;
  case XK_Right:
  case XK_KP_Right:
    return VK_RIGHT;
  case XK_Down:
  case XK_KP_Down:
    return VK_DOWN;
  case XK_KP_Begin:
    return VK_CLEAR;
  case XK_Print:
    return VK_SNAPSHOT;
  case XK_Insert:
  case XK_KP_Insert:
    return VK_INSERT;
  case XK_Delete:
  case XK_KP_Delete:
    return VK_DELETE;
  case XK_Super_L:
    return VK_LWIN;
  case XK_Super_R:
    return VK_RWIN;
  case XK_Menu:
    return VK_APPS;
  case XK_KP_Multiply:
    return VK_MULTIPLY;
  case XK_KP_Add:
    return VK_ADD;
  case XK_KP_Separator:
    return VK_SEPARATOR;
  case XK_KP_Subtract:
    return VK_SUBTRACT;
  case XK_KP_Decimal:
    return VK_DECIMAL;
  case XK_KP_Divide:
    return VK_DIVIDE;
  case XK_Num_Lock:
    return VK_NUMLOCK;
  case XK_Scroll_Lock:
    return VK_SCROLL;
  case XK_semicolon:
    return 0xBA;
  case XK_equal:
    return 0xBB;
  case XK_comma:
    return 0xBC;
  case XK_minus:
    return 0xBD;
  case XK_period:
    return 0xBE;
  case XK_slash:
    return 0xBF;
  case XK_grave:
    return 0xC0;
  case XK_bracketleft:
    return 0xDB;
  case XK_backslash:
    return 0xDC;
  case XK_bracketright:
    return 0xDD;
  case XK_apostrophe:
    return 0xDE;
  case XK_less:
    return VK_OEM_102;
  default:
    return 0;
  }
}

bool route_pointer_message(TMSG &msg) {
  const bool pointer = msg.MESSAGE >= WM_MOUSEMOVE && msg.MESSAGE <= 0x209 /* WM_MBUTTONDBLCLK */;
  if (!pointer || captured_window() != 0 || !common::peeked_input()) return true;
  int x = 0, y = 0;
  common::window *at = under_pointer(common::find_window(msg.HWND), msg.PT.X, msg.PT.Y, x, y);
  if (!at) return false;
  if (at->handle != msg.HWND) {
    msg.HWND = at->handle;
    msg.LPARAM = pack_point(x, y);
  }
  return true;
}

void translate_event(XEvent &ev) {
  Display *d = display();
  switch (ev.type) {
  case KeyPress:
    translate_key(ev.xkey, true);
    break;
  case KeyRelease:
    // Without detectable auto-repeat the server sends a release right before each repeated
    // press, with the same time; dropping it leaves the repeated key-downs alone.
    if (!detectable_repeat && d && XEventsQueued(d, QueuedAfterReading) > 0) {
      XEvent next;
      XPeekEvent(d, &next);
      if (next.type == KeyPress && next.xkey.keycode == ev.xkey.keycode &&
          next.xkey.time == ev.xkey.time && next.xkey.window == ev.xkey.window)
        break;
    }
    translate_key(ev.xkey, false);
    break;
  case ButtonPress:
    // A frame window takes clicks only outside the client window: a left press on the menu
    // bar is posted as Win32 posts it, with the point on the screen.
    if (common::window *w = window_of(ev.xbutton.window);
        w && native(*w) && ev.xbutton.window == native(*w)->frame) {
      if (ev.xbutton.button == Button1 && menu_bar_title_at(*w, ev.xbutton.x, ev.xbutton.y) >= 0)
        post_input(w->handle, WM_NCLBUTTONDOWN, HTMENU,
                   pack_point(ev.xbutton.x_root, ev.xbutton.y_root), ev.xbutton.x_root,
                   ev.xbutton.y_root);
      break;
    }
    translate_button(ev.xbutton, true);
    break;
  case ButtonRelease:
    translate_button(ev.xbutton, false);
    break;
  case MotionNotify:
    if (common::window *w = window_of(ev.xmotion.window))
      post_input(w->handle, WM_MOUSEMOVE, mouse_flags(ev.xmotion.state),
                 pack_point(ev.xmotion.x, ev.xmotion.y), ev.xmotion.x_root, ev.xmotion.y_root);
    break;
  case Expose:
    if (ev.xexpose.count == 0)
      if (common::window *w = window_of(ev.xexpose.window)) {
        if (native(*w) && ev.xexpose.window == native(*w)->frame) {
          paint_menu_bar(*w); // the client window has exposures of its own
        } else {
          exposed(*w);
        }
      }
    break;
  case ClientMessage:
    if (answer_ping(ev.xany.display, atom(), ev)) break;
    if (ev.xclient.message_type == atom().wm_protocols &&
        Atom(ev.xclient.data.l[0]) == atom().wm_delete_window)
      if (common::window *w = window_of(ev.xclient.window))
        // A posted close request, which default processing turns into WM_CLOSE.
        common::post(TMSG{w->handle, WM_SYSCOMMAND, SC_CLOSE, 0, platform::GetTickCount(), {}});
    break;
  case DestroyNotify:
    // Our own DestroyWindow forgets a window before the server destroys it, so a window still
    // known here was destroyed by another program.
    if (common::window *w = window_of(ev.xdestroywindow.window)) window_destroyed_outside(*w);
    break;
  case ConfigureNotify:
    if (common::window *w = window_of(ev.xconfigure.window)) follow_configure(*w, ev.xconfigure);
    break;
  case FocusOut:
    // Keys released while another window has the focus send us nothing.
    if (ev.xfocus.mode == NotifyNormal && ev.xfocus.detail != NotifyInferior) reset_input();
    break;
  case MappingNotify:
    if (ev.xmapping.request == MappingKeyboard || ev.xmapping.request == MappingModifier)
      XRefreshKeyboardMapping(&ev.xmapping);
    if (d) read_layouts(d);
    break;
  case PropertyNotify:
    if (d && ev.xproperty.atom == rules_names_atom) read_layouts(d);
    break;
  default:
    break;
  }
}

void forget_released_keys(Display *d) {
  char down[32] = {};
  XQueryKeymap(d, down);
  for (unsigned kc = 8; kc < 256; kc++) {
    if (!key_held[kc] || (down[kc / 8] & (1 << (kc % 8)))) continue;
    key_held[kc] = false;
    const unsigned scan = scan_code(kc);
    if (scan == 0x38) mods.left_alt = false;
    if (scan == (0x38 | EXTENDED)) mods.right_alt = mods.altgr_ctrl = false;
    if (scan == 0x1D) mods.left_ctrl = false;
    if (scan == (0x1D | EXTENDED)) mods.right_ctrl = false;
    XKeyEvent e{};
    e.type = KeyRelease;
    e.display = d;
    e.keycode = kc;
    KeySym unshifted = 0, shifted = 0;
    if (const TWPARAM vk = key_vk(e, scan, group_layouts[0], &unshifted, &shifted))
      common::forget_key(vk);
  }
  if (!mods.ctrl()) common::forget_key(VK_CONTROL);
  if (!mods.alt()) common::forget_key(VK_MENU);
  mods.alt_alone = false;
}

void reset_input() {
  for (bool &held : key_held)
    held = false;
  mods = {};
}

} // namespace vantrel::x11
