// DefWindowProcA for the x11 and headless backends: what Win32 does with a message that a
// window procedure passes on.
#include <cstdint>

#include "vantrel/platform/common/backend_hooks.h"
#include "vantrel/platform/common/menus.h"
#include "vantrel/platform/common/message_queue.h"
#include "vantrel/platform/common/window_life.h"
#include "vantrel/platform/common/window_paint.h"

namespace vantrel::platform {
using namespace vantrel::common;

namespace {

constexpr TWPARAM vk_apps = 0x5D;     // the Menu key
constexpr TLPARAM from_keyboard = -1; // a context-menu request with no place on the screen

// A lone Alt or F10 went down with no other key since: its release enters the menu bar.
bool menu_key_armed = false;

THANDLE top_level(THANDLE hwnd) {
  for (window *w = find_window(hwnd); w && (w->style & WS_CHILD) && find_window(w->parent);
       w = find_window(w->parent))
    hwnd = w->parent;
  return hwnd;
}

// Where the client point (X, Y) of HWND lies on the screen, packed as a mouse lParam.
TLPARAM screen_lparam(THANDLE hwnd, LONGINT x, LONGINT y) {
  TRECT r;
  window *w = find_window(hwnd);
  if (w && GetWindowRect(hwnd, &r)) x += r.LEFT + w->client.LEFT, y += r.TOP + w->client.TOP;
  return TLPARAM((LONGWORD(y & 0xFFFF) << 16) | LONGWORD(x & 0xFFFF));
}

} // namespace

TLRESULT DefWindowProcA(THANDLE hwnd, LONGWORD message, TWPARAM wparam, TLPARAM lparam) {
  switch (message) {
  case WM_CLOSE:
    DestroyWindow(hwnd);
    return 0;
  case WM_NCCREATE:
    return 1; // go on with the creation
  case WM_WINDOWPOSCHANGED:
    if (const auto *pos = reinterpret_cast<const TWINDOWPOS *>(lparam))
      announce_size_and_place(hwnd, !(pos->FLAGS & SWP_NOSIZE), !(pos->FLAGS & SWP_NOMOVE));
    return 0;
  case WM_KEYDOWN:
    menu_key_armed = false;
    return 0;
  case WM_SYSKEYDOWN:
    // Alt with its context bit and not a repeat, or F10 without Alt; Shift+F10 is the context
    // menu's, not the menu bar's.
    menu_key_armed = ((LONGWORD(lparam) & (1u << 29)) && wparam == VK_MENU &&
                      !(LONGWORD(lparam) & (1u << 30))) ||
                     (!(LONGWORD(lparam) & (1u << 29)) && wparam == VK_F10 && !key_held(VK_SHIFT));
    // Alt+F4 asks to close, as the close button does; posted, as Wine posts it.
    if (wparam == VK_F4 && (LONGWORD(lparam) & (1u << 29)))
      PostMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    // Shift+F10 asks for the context menu, from the keyboard.
    if (wparam == VK_F10 && key_held(VK_SHIFT))
      SendMessageA(hwnd, WM_CONTEXTMENU, TWPARAM(hwnd), from_keyboard);
    return 0;
  case WM_RBUTTONUP:
    // A right click asks for the context menu where the button was released, on the screen.
    SendMessageA(hwnd, WM_CONTEXTMENU, TWPARAM(hwnd),
                 screen_lparam(hwnd, LONGINT(std::int16_t(lparam & 0xFFFF)),
                               LONGINT(std::int16_t((lparam >> 16) & 0xFFFF))));
    return 0;
  case WM_CONTEXTMENU:
  case WM_MOUSEWHEEL:
    // A child leaves both to its parent.
    if (window *w = find_window(hwnd); w && (w->style & WS_CHILD) && find_window(w->parent))
      return SendMessageA(w->parent, message, wparam, lparam);
    return 0;
  case WM_KEYUP:
  case WM_SYSKEYUP:
    if (wparam == vk_apps) SendMessageA(hwnd, WM_CONTEXTMENU, TWPARAM(hwnd), from_keyboard);
    // Releasing a lone Alt or F10 asks the top-level window for its menu.
    if ((wparam == VK_MENU || wparam == VK_F10) && menu_key_armed)
      SendMessageA(top_level(hwnd), WM_SYSCOMMAND, SC_KEYMENU, 0);
    menu_key_armed = false;
    return 0;
  case WM_SYSCHAR:
    // Alt with a character looks for the menu bar's title with that mnemonic (Alt+Space: a
    // child's parent's).
    menu_key_armed = false;
    if (!(LONGWORD(lparam) & (1u << 29)) || wparam == 0 || wparam == VK_TAB || wparam == VK_ESCAPE)
      return 0;
    if (window *w = find_window(hwnd);
        wparam == VK_SPACE && w && (w->style & WS_CHILD) && find_window(w->parent))
      return SendMessageA(w->parent, message, wparam, lparam);
    SendMessageA(hwnd, WM_SYSCOMMAND, SC_KEYMENU, TLPARAM(wparam));
    return 0;
  case WM_NCLBUTTONDOWN:
    // A press on the menu bar enters it, at the title under the pointer.
    if (wparam == HTMENU) SendMessageA(hwnd, WM_SYSCOMMAND, SC_MOUSEMENU | HTMENU, lparam);
    return 0;
  case WM_SYSCOMMAND:
    if ((wparam & 0xFFF0) == SC_CLOSE) SendMessageA(hwnd, WM_CLOSE, 0, 0);
    if ((wparam & 0xFFF0) == SC_KEYMENU) track_menu_bar(hwnd, char(lparam));
    if ((wparam & 0xFFF0) == SC_MOUSEMENU && hooks().menu_bar_title)
      track_menu_bar_title(hwnd, hooks().menu_bar_title(hwnd, std::int16_t(lparam & 0xFFFF),
                                                        std::int16_t((lparam >> 16) & 0xFFFF)));
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

} // namespace vantrel::platform
