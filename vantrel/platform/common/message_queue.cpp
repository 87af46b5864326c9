// The thread's message queue for the x11 and headless backends, and the seam's message calls.
#include "vantrel/platform/common/message_queue.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>

#include "vantrel/platform/common/keyboard.h"
#include "vantrel/platform/common/window_table.h"

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

// A device input message with the character its key gives (-1: the US layout decides; with
// DEAD_KEY: a dead key for that accent).
struct input_message {
  TMSG msg;
  int ch = -1;
};

ring<TMSG> posted;
ring<input_message> input;
bool quit_posted = false;
LONGINT quit_code = 0;
bool shift_down = false;
// The accent of a dead key that waits for the next character, 0 for none.
int pending_dead = 0;
// The key message last taken from the input queue, for TranslateMessage's character.
input_message last_key;
bool keys_down[256] = {}; // by virtual key, as the key messages taken so far left them
bool from_input = false;  // the message peek found last came from the devices
// The last button press, which a second one may make a double click.
TMSG last_press{};
constexpr LONGWORD double_click_ms = 500; // Win32's default double-click time
constexpr LONGINT double_click_size = 4;  // SM_CXDOUBLECLK and SM_CYDOUBLECLK

// A press of the same button on the same window within the double-click time and rectangle
// of the previous one becomes WM_xBUTTONDBLCLK when the window's class has CS_DBLCLKS; the
// press after a double click starts again.
void make_double_click(TMSG &msg) {
  const bool press = msg.MESSAGE == WM_LBUTTONDOWN || msg.MESSAGE == WM_RBUTTONDOWN ||
                     msg.MESSAGE == WM_MBUTTONDOWN;
  if (!press) return;
  const TMSG before = last_press;
  last_press = msg;
  auto coordinate = [](TLPARAM lp, int shift) { return LONGINT(std::int16_t(lp >> shift)); };
  const bool near =
      std::abs(coordinate(msg.LPARAM, 0) - coordinate(before.LPARAM, 0)) < double_click_size / 2 &&
      std::abs(coordinate(msg.LPARAM, 16) - coordinate(before.LPARAM, 16)) < double_click_size / 2;
  if (before.MESSAGE != msg.MESSAGE || before.HWND != msg.HWND || !near ||
      msg.TIME - before.TIME >= double_click_ms)
    return;
  const window *w = find_window(msg.HWND);
  const window_class *c = w ? find_class(w->class_name) : nullptr;
  if (!c || !(c->style & CS_DBLCLKS)) return;
  msg.MESSAGE += 2; // WM_LBUTTONDOWN 0x201 -> WM_LBUTTONDBLCLK 0x203, and so on
  last_press = {};
}

// WM_KEYFIRST .. WM_KEYLAST: key-downs and -ups, characters and dead characters.
bool is_key_message(LONGWORD m) { return m >= WM_KEYDOWN && m <= 0x109; }

// Whether WINDOW is HWND or one of its children, grandchildren ...
bool within(THANDLE window, THANDLE hwnd) {
  for (int depth = 0; window != 0 && depth < 64; depth++) {
    if (window == hwnd) return true;
    const common::window *w = find_window(window);
    window = w ? w->parent : 0;
  }
  return false;
}

// Visible with every parent: a child of a hidden window is not on the screen, nor painted.
bool shown(const window &w) {
  const window *at = &w;
  for (int depth = 0; at && depth < 64; depth++, at = find_window(at->parent))
    if (!at->visible) return false;
  return true;
}

bool in_filter(const TMSG &m, THANDLE hwnd, LONGWORD first, LONGWORD last) {
  // A window filter takes the window's children's messages too.
  if (hwnd != 0 && !within(m.HWND, hwnd)) return false;
  if (first == 0 && last == 0) return true;
  return m.MESSAGE >= first && m.MESSAGE <= last;
}

} // namespace

LONGWORD now_ms() {
  using namespace std::chrono;
  return LONGWORD(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void post(const TMSG &msg) { posted.push_back(msg); }

void post_input(const TMSG &given, int ch) {
  TMSG msg = given;
  make_double_click(msg);
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
  if (repeat && input.size() > 0) {
    // Only into the newest input message, so that no keystroke or click changes places.
    TMSG &key = input.back().msg;
    if (key.MESSAGE == msg.MESSAGE && key.HWND == msg.HWND && key.WPARAM == msg.WPARAM) {
      const LONGWORD lp = LONGWORD(key.LPARAM);
      const LONGWORD count =
          std::min<LONGWORD>(0xFFFF, (lp & 0xFFFF) + (LONGWORD(msg.LPARAM) & 0xFFFF));
      key.LPARAM = TLPARAM((lp & 0xFFFF0000u) | count);
      key.TIME = msg.TIME;
      key.PT = msg.PT;
      return;
    }
  }
  input.push_back({msg, ch});
}

bool peek(TMSG *msg, THANDLE hwnd, LONGWORD first, LONGWORD last, LONGWORD remove) {
  from_input = false;
  for (std::size_t i = 0; i < posted.size(); i++) {
    if (!in_filter(posted[i], hwnd, first, last)) continue;
    *msg = posted[i];
    if (remove & PM_REMOVE) posted.erase(i);
    return true;
  }
  if (quit_posted) { // whatever the window and range filters, as Win32 returns it
    *msg = TMSG{0, WM_QUIT, TWPARAM(quit_code), 0, now_ms(), {}};
    if (remove & PM_REMOVE) quit_posted = false;
    return true;
  }
  for (std::size_t i = 0; i < input.size(); i++) {
    if (!in_filter(input[i].msg, hwnd, first, last)) continue;
    *msg = input[i].msg;
    from_input = true;
    if (remove & PM_REMOVE) {
      if (is_key_message(msg->MESSAGE)) last_key = input[i];
      if (msg->MESSAGE == WM_KEYDOWN || msg->MESSAGE == WM_SYSKEYDOWN)
        keys_down[msg->WPARAM & 0xFF] = true;
      if (msg->MESSAGE == WM_KEYUP || msg->MESSAGE == WM_SYSKEYUP)
        keys_down[msg->WPARAM & 0xFF] = false;
      input.erase(i);
    }
    return true;
  }
  for (auto &[h, w] : window_records()) {
    TMSG paint{h, WM_PAINT, 0, 0, now_ms(), {}};
    if (w.needs_paint && shown(w) && in_filter(paint, hwnd, first, last)) {
      *msg = paint; // WM_PAINT stays pending until BeginPaint validates the window
      return true;
    }
  }
  return false;
}

bool peeked_input() { return from_input; }

bool key_held(TWPARAM vk) { return keys_down[vk & 0xFF]; }

void forget_key(TWPARAM vk) { keys_down[vk & 0xFF] = false; }

std::size_t queue_length() { return posted.size() + input.size() + (quit_posted ? 1 : 0); }

void drop_messages(THANDLE hwnd) {
  posted.erase_if([&](const TMSG &m) { return m.HWND == hwnd; });
  input.erase_if([&](const input_message &m) { return m.msg.HWND == hwnd; });
}

void clear_queue() {
  posted.clear();
  input.clear();
  quit_posted = false;
  last_key = {};
  last_press = {};
  shift_down = false;
  pending_dead = 0;
  for (bool &k : keys_down)
    k = false;
}

} // namespace vantrel::common

namespace vantrel::platform {
using namespace vantrel::common;

LONGWORD GetTickCount() { return now_ms(); }

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
  const bool down = msg->MESSAGE == WM_KEYDOWN || msg->MESSAGE == WM_SYSKEYDOWN;
  const bool up = msg->MESSAGE == WM_KEYUP || msg->MESSAGE == WM_SYSKEYUP;
  if ((down || up) && msg->WPARAM == VK_SHIFT) shift_down = down;
  // Win32 answers nonzero for every key-down and key-up, whether a character came of it or not.
  if (!down) return up;
  // The character the backend's layout gave this key, when it is the key message last taken
  // from the input queue; the US layout otherwise (a posted key message, say).
  const TMSG &k = last_key.msg;
  const bool from_input = k.HWND == msg->HWND && k.MESSAGE == msg->MESSAGE &&
                          k.WPARAM == msg->WPARAM && k.LPARAM == msg->LPARAM && k.TIME == msg->TIME;
  int ch = from_input ? last_key.ch : -1;
  if (ch < 0) ch = us_key_char(msg->WPARAM, shift_down);
  if (ch == 0) return true; // keys without a character leave a pending dead key waiting
  const bool sys = msg->MESSAGE == WM_SYSKEYDOWN;
  auto post_char = [&](LONGWORD kind, int c) {
    post(TMSG{msg->HWND, kind, TWPARAM(c), msg->LPARAM, msg->TIME, msg->PT});
  };
  const LONGWORD char_kind = sys ? WM_SYSCHAR : WM_CHAR;
  const int accent = pending_dead;
  pending_dead = 0;
  if (ch & DEAD_KEY) {
    if (accent == 0) {
      // The accent waits for the next character; the window sees which one it is.
      pending_dead = ch & 0xFF;
      post_char(sys ? WM_SYSDEADCHAR : WM_DEADCHAR, pending_dead);
      return true;
    }
    ch &= 0xFF; // a second dead key types both accents
  } else if (accent != 0) {
    if (const int combined = combine_dead(accent, ch)) {
      post_char(char_kind, combined);
      return true;
    }
  }
  if (accent != 0) post_char(char_kind, accent);
  post_char(char_kind, ch);
  return true;
}

} // namespace vantrel::platform
