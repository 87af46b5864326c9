// Window classes, records, queue and default processing for the x11 and headless backends.
#include "vantrel/platform/common/window_table.h"

#include "vantrel/platform/common/gdi_objects.h"
#include "vantrel/platform/common/status_bar.h"
#include "vantrel/platform/common/window_paint.h"

#include <algorithm>
#include <chrono>
#include <cstring>

namespace vantrel::common {

namespace {

// A first-in, first-out queue that keeps its storage: once it has grown to the longest backlog
// seen, queueing and taking messages allocates nothing, so input costs no heap per event.
template <class T> class ring {
public:
  std::size_t size() const { return count_; }
  T &operator[](std::size_t i) { return buf_[(head_ + i) & (buf_.size() - 1)]; }
  T &back() { return (*this)[count_ - 1]; }
  void push_back(const T &v) {
    if (count_ == buf_.size()) grow();
    count_++;
    back() = v;
  }
  // Takes entry I out, keeping the order of the others.
  void erase(std::size_t i) {
    if (i == 0) {
      head_ = (head_ + 1) & (buf_.size() - 1);
    } else {
      for (; i + 1 < count_; i++)
        (*this)[i] = (*this)[i + 1];
    }
    count_--;
  }
  template <class P> void erase_if(P pred) {
    std::size_t kept = 0;
    for (std::size_t i = 0; i < count_; i++)
      if (!pred((*this)[i])) (*this)[kept++] = (*this)[i];
    count_ = kept;
  }
  void clear() { head_ = count_ = 0; }

private:
  void grow() {
    std::vector<T> bigger(buf_.empty() ? 64 : buf_.size() * 2); // a power of two, for the mask
    for (std::size_t i = 0; i < count_; i++)
      bigger[i] = (*this)[i];
    buf_.swap(bigger);
    head_ = 0;
  }
  std::vector<T> buf_;
  std::size_t head_ = 0, count_ = 0;
};

// A device input message with the character its key gives (-1: the US layout decides).
struct input_message {
  TMSG msg;
  int ch = -1;
};

std::map<std::string, window_class> classes;
std::map<THANDLE, window> windows;
ring<TMSG> posted;
ring<input_message> input;
bool quit_posted = false;
LONGINT quit_code = 0;
THANDLE next_handle = 0x1000;
bool shift_down = false;
// The key message last taken from the input queue, for TranslateMessage's character.
input_message last_key;

// WM_KEYFIRST .. WM_KEYLAST: key-downs and -ups, characters and dead characters.
bool is_key_message(LONGWORD m) { return m >= WM_KEYDOWN && m <= 0x109; }

bool in_filter(const TMSG &m, THANDLE hwnd, LONGWORD first, LONGWORD last) {
  if (hwnd != 0 && m.HWND != hwnd) return false;
  if (first == 0 && last == 0) return true;
  return m.MESSAGE >= first && m.MESSAGE <= last;
}

LONGWORD now_ms() {
  using namespace std::chrono;
  return LONGWORD(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

// The character a key gives on a US layout, 0 for keys that give none.
int key_char(TWPARAM vk, bool shift) {
  if (vk >= 'A' && vk <= 'Z') return shift ? int(vk) : int(vk) + 32;
  if (vk >= '0' && vk <= '9') return shift ? ")!@#$%^&*("[vk - '0'] : int(vk);
  if (vk >= 0x60 && vk <= 0x69) return int('0' + (vk - 0x60)); // numpad digits
  // One key per line reads as the table it is.
  // clang-format off
  switch (vk) {
  case VK_BACK: case VK_TAB: case VK_RETURN: case VK_ESCAPE: case VK_SPACE: return int(vk);
  case 0x6A: return '*';
  case 0x6B: return '+';
  case 0x6D: return '-';
  case 0x6E: return '.';
  case 0x6F: return '/';
  case 0xBA: return shift ? ':' : ';';
  case 0xBB: return shift ? '+' : '=';
  case 0xBC: return shift ? '<' : ',';
  case 0xBD: return shift ? '_' : '-';
  case 0xBE: return shift ? '>' : '.';
  case 0xBF: return shift ? '?' : '/';
  case 0xC0: return shift ? '~' : '`';
  case 0xDB: return shift ? '{' : '[';
  case 0xDC: return shift ? '|' : '\\';
  case 0xDD: return shift ? '}' : ']';
  case 0xDE: return shift ? '"' : '\'';
  default: return 0;
  }
  // clang-format on
}
} // namespace

THANDLE new_handle() { return next_handle += 4; }

window *find_window(THANDLE handle) {
  auto it = windows.find(handle);
  return it == windows.end() ? nullptr : &it->second;
}

std::vector<THANDLE> child_windows(THANDLE parent) {
  std::vector<THANDLE> out;
  for (auto &[h, w] : windows)
    if (w.parent == parent) out.push_back(h);
  return out;
}

const window_class *find_class(const std::string &name) {
  auto it = classes.find(name);
  return it == classes.end() ? nullptr : &it->second;
}

window *create_window(LONGWORD style, PCHAR class_name, PCHAR title, const TRECT &rect,
                      const TRECT &client, THANDLE parent, THANDLE menu,
                      void (*make_native)(window &)) {
  const window_class *cls = class_name ? find_class(class_name) : nullptr;
  if (!cls) return nullptr;
  THANDLE h = new_handle();
  window &w = windows[h];
  w.handle = h;
  w.class_name = cls->name;
  w.proc = cls->proc;
  w.title = title ? title : "";
  w.style = style;
  w.rect = rect;
  w.client = client;
  w.parent = parent;
  w.id = (style & WS_CHILD) ? LONGINT(menu) : 0;
  w.visible = (style & WS_VISIBLE) != 0;
  invalidate(w, nullptr, true); // all of a new window waits for its first paint
  if (make_native) make_native(w);
  if (w.proc && w.proc(h, WM_CREATE, 0, 0) == -1) {
    destroy_window(h, nullptr);
    return nullptr;
  }
  return find_window(h);
}

bool destroy_window(THANDLE handle, void (*free_native)(window &)) {
  window *w = find_window(handle);
  if (!w) return false;
  if (w->proc) w->proc(handle, WM_DESTROY, 0, 0);
  for (THANDLE child : child_windows(handle))
    destroy_window(child, free_native);
  w = find_window(handle); // the procedure may have changed the table
  if (!w) return true;
  if (free_native) free_native(*w);
  release_window_region(*w);
  windows.erase(handle);
  posted.erase_if([&](const TMSG &m) { return m.HWND == handle; });
  input.erase_if([&](const input_message &m) { return m.msg.HWND == handle; });
  return true;
}

void post(const TMSG &msg) { posted.push_back(msg); }

void post_input(const TMSG &msg, int ch) {
  if (msg.MESSAGE == WM_MOUSEMOVE && input.size() > 0) {
    // A move is the pointer's state: the newest position replaces a move still waiting.
    TMSG &newest = input.back().msg;
    if (newest.MESSAGE == WM_MOUSEMOVE && newest.HWND == msg.HWND) {
      newest = msg;
      return;
    }
  }
  const bool repeat = (msg.MESSAGE == WM_KEYDOWN || msg.MESSAGE == WM_SYSKEYDOWN) &&
                      (LONGWORD(msg.LPARAM) & (1u << 30));
  for (std::size_t i = input.size(); repeat && i-- > 0;) {
    TMSG &key = input[i].msg;
    if (!is_key_message(key.MESSAGE)) continue;
    // Only into the newest key message, so that no keystroke changes places with another.
    if (key.MESSAGE != msg.MESSAGE || key.HWND != msg.HWND || key.WPARAM != msg.WPARAM) break;
    const LONGWORD lp = LONGWORD(key.LPARAM);
    const LONGWORD count =
        std::min<LONGWORD>(0xFFFF, (lp & 0xFFFF) + (LONGWORD(msg.LPARAM) & 0xFFFF));
    key.LPARAM = TLPARAM((lp & 0xFFFF0000u) | count);
    key.TIME = msg.TIME;
    key.PT = msg.PT;
    return;
  }
  input.push_back({msg, ch});
}

bool peek(TMSG *msg, THANDLE hwnd, LONGWORD first, LONGWORD last, LONGWORD remove) {
  for (std::size_t i = 0; i < posted.size(); i++) {
    if (!in_filter(posted[i], hwnd, first, last)) continue;
    *msg = posted[i];
    if (remove & PM_REMOVE) posted.erase(i);
    return true;
  }
  if (quit_posted && hwnd == 0 && (first == 0 || first <= WM_QUIT) &&
      (last == 0 || last >= WM_QUIT)) {
    *msg = TMSG{0, WM_QUIT, TWPARAM(quit_code), 0, now_ms(), {}};
    if (remove & PM_REMOVE) quit_posted = false;
    return true;
  }
  for (std::size_t i = 0; i < input.size(); i++) {
    if (!in_filter(input[i].msg, hwnd, first, last)) continue;
    *msg = input[i].msg;
    if (remove & PM_REMOVE) {
      if (is_key_message(msg->MESSAGE)) last_key = input[i];
      input.erase(i);
    }
    return true;
  }
  for (auto &[h, w] : windows) {
    TMSG paint{h, WM_PAINT, 0, 0, now_ms(), {}};
    if (w.needs_paint && w.visible && in_filter(paint, hwnd, first, last)) {
      *msg = paint; // WM_PAINT stays pending until BeginPaint validates the window
      return true;
    }
  }
  return false;
}

std::size_t queue_length() { return posted.size() + input.size() + (quit_posted ? 1 : 0); }

void clear_queue() {
  posted.clear();
  input.clear();
  quit_posted = false;
  last_key = {};
}

void reset() {
  windows.clear();
  classes.clear();
  forget_status_bars();
  clear_queue();
  shift_down = false;
}

} // namespace vantrel::common

// ---- Seam services that need nothing native ----
namespace vantrel::platform {
using namespace vantrel::common;

LONGWORD GetTickCount() { return now_ms(); }

LONGWORD RegisterClassA(const TWNDCLASS *c) {
  if (!c || !c->CLASSNAME || classes.count(c->CLASSNAME)) return 0;
  window_class &k = classes[c->CLASSNAME];
  k = {c->CLASSNAME, c->WNDPROC, c->STYLE,      c->INSTANCE,
       c->ICON,      c->CURSOR,  c->BACKGROUND, c->WNDEXTRA};
  return LONGWORD(classes.size()) + 0xC000;
}

LONGWORD RegisterClassExA(const TWNDCLASSEX *c) {
  if (!c || c->SIZE != 48) return 0;
  TWNDCLASS plain{c->STYLE, c->WNDPROC, c->CLSEXTRA,   c->WNDEXTRA, c->INSTANCE,
                  c->ICON,  c->CURSOR,  c->BACKGROUND, c->MENUNAME, c->CLASSNAME};
  return RegisterClassA(&plain);
}

BOOLEAN GetClassInfoExA(THANDLE, PCHAR name, TWNDCLASSEX *out) {
  const window_class *k = name ? find_class(name) : nullptr;
  if (!k) return false;
  if (out) {
    out->STYLE = k->style;
    out->WNDPROC = k->proc;
    out->WNDEXTRA = k->wnd_extra;
    out->INSTANCE = k->instance;
    out->ICON = k->icon;
    out->CURSOR = k->cursor;
    out->BACKGROUND = k->background;
    out->CLASSNAME = name;
  }
  return true;
}

BOOLEAN PostMessageA(THANDLE hwnd, LONGWORD message, TWPARAM wparam, TLPARAM lparam) {
  if (hwnd != 0 && !find_window(hwnd)) return false;
  POINT p;
  GetCursorPos(&p);
  post(TMSG{hwnd, message, wparam, lparam, now_ms(), p});
  return true;
}

void PostQuitMessage(LONGINT code) {
  quit_posted = true;
  quit_code = code;
}

TLRESULT SendMessageA(THANDLE hwnd, LONGWORD message, TWPARAM wparam, TLPARAM lparam) {
  window *w = find_window(hwnd);
  if (!w || !w->proc) return 0;
  return w->proc(hwnd, message, wparam, lparam);
}

TLRESULT DispatchMessageA(const TMSG *msg) {
  if (!msg || msg->HWND == 0) return 0; // thread messages (WM_QUIT) go to no window
  return SendMessageA(msg->HWND, msg->MESSAGE, msg->WPARAM, msg->LPARAM);
}

BOOLEAN TranslateMessage(const TMSG *msg) {
  if (!msg) return false;
  bool down = msg->MESSAGE == WM_KEYDOWN || msg->MESSAGE == WM_SYSKEYDOWN;
  bool up = msg->MESSAGE == WM_KEYUP || msg->MESSAGE == WM_SYSKEYUP;
  if ((down || up) && msg->WPARAM == VK_SHIFT) shift_down = down;
  if (!down) return false;
  // The character the backend's layout gave this key, when it is the key message last taken
  // from the input queue; the US layout otherwise (a posted key message, say).
  const TMSG &k = last_key.msg;
  const bool from_input = k.HWND == msg->HWND && k.MESSAGE == msg->MESSAGE &&
                          k.WPARAM == msg->WPARAM && k.LPARAM == msg->LPARAM && k.TIME == msg->TIME;
  int ch = from_input ? last_key.ch : -1;
  if (ch < 0) ch = key_char(msg->WPARAM, shift_down);
  if (ch == 0) return false;
  post(TMSG{msg->HWND, msg->MESSAGE == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR, TWPARAM(ch), msg->LPARAM,
            msg->TIME, msg->PT});
  return true;
}

TLRESULT DefWindowProcA(THANDLE hwnd, LONGWORD message, TWPARAM wparam, TLPARAM lparam) {
  switch (message) {
  case WM_CLOSE:
    DestroyWindow(hwnd);
    return 0;
  case WM_SYSKEYDOWN:
    // Alt+F4 asks to close, as the close button does; posted, as Wine posts it.
    if (wparam == VK_F4 && (LONGWORD(lparam) & (1u << 29)))
      PostMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    return 0;
  case WM_SYSCOMMAND:
    if ((wparam & 0xFFF0) == SC_CLOSE) SendMessageA(hwnd, WM_CLOSE, 0, 0);
    return 0;
  case WM_PAINT: {
    TPAINTSTRUCT ps;
    BeginPaint(hwnd, &ps);
    EndPaint(hwnd, &ps);
    return 0;
  }
  case WM_ERASEBKGND:
    return default_erase_background(hwnd, THANDLE(wparam));
  default:
    return 0;
  }
}

// Without Win32 underneath there is one program image and no start-up show command to obey.
THANDLE GetModuleHandleA(PCHAR) { return 0x400000; }
LONGINT StartupShowCommand() { return SW_SHOWNORMAL; }

THANDLE GetParent(THANDLE hwnd) {
  window *w = find_window(hwnd);
  return w ? w->parent : 0;
}

LONGINT GetDlgCtrlID(THANDLE hwnd) {
  window *w = find_window(hwnd);
  return w ? w->id : 0;
}

BOOLEAN SetPropA(THANDLE hwnd, PCHAR name, THANDLE data) {
  window *w = find_window(hwnd);
  if (!w || !name) return false;
  w->props[name] = data;
  return true;
}

THANDLE GetPropA(THANDLE hwnd, PCHAR name) {
  window *w = find_window(hwnd);
  if (!w || !name) return 0;
  auto it = w->props.find(name);
  return it == w->props.end() ? 0 : it->second;
}

THANDLE RemovePropA(THANDLE hwnd, PCHAR name) {
  window *w = find_window(hwnd);
  if (!w || !name) return 0;
  auto it = w->props.find(name);
  if (it == w->props.end()) return 0;
  THANDLE v = it->second;
  w->props.erase(it);
  return v;
}

} // namespace vantrel::platform
