// DefWindowProcA for the x11 and headless backends: what Win32 does with a message that a
// window procedure passes on.
#include "vantrel/platform/common/menus.h"
#include "vantrel/platform/common/window_paint.h"

namespace vantrel::platform {
using namespace vantrel::common;

namespace {
// Alt or F10 went down with no other key since: its release enters the menu bar.
bool menu_key_armed = false;
} // namespace

TLRESULT DefWindowProcA(THANDLE hwnd, LONGWORD message, TWPARAM wparam, TLPARAM lparam) {
  switch (message) {
  case WM_CLOSE:
    DestroyWindow(hwnd);
    return 0;
  case WM_KEYDOWN:
    menu_key_armed = false;
    return 0;
  case WM_SYSKEYDOWN:
    menu_key_armed = wparam == VK_MENU || wparam == VK_F10;
    // Alt+F4 asks to close, as the close button does; posted, as Wine posts it.
    if (wparam == VK_F4 && (LONGWORD(lparam) & (1u << 29)))
      PostMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    return 0;
  case WM_KEYUP:
  case WM_SYSKEYUP:
    if ((wparam == VK_MENU || wparam == VK_F10) && menu_key_armed)
      SendMessageA(hwnd, WM_SYSCOMMAND, SC_KEYMENU, 0);
    menu_key_armed = false;
    return 0;
  case WM_SYSCHAR:
    // Alt with a character looks for the menu bar's title with that mnemonic.
    menu_key_armed = false;
    if ((LONGWORD(lparam) & (1u << 29)) && wparam != '\t' && wparam != VK_ESCAPE && wparam)
      SendMessageA(hwnd, WM_SYSCOMMAND, SC_KEYMENU, TLPARAM(wparam));
    return 0;
  case WM_SYSCOMMAND:
    if ((wparam & 0xFFF0) == SC_CLOSE) SendMessageA(hwnd, WM_CLOSE, 0, 0);
    if ((wparam & 0xFFF0) == SC_KEYMENU) track_menu_bar(hwnd, char(lparam));
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
