// DefWindowProcA for the x11 and headless backends: what Win32 does with a message that a
// window procedure passes on.
#include "vantrel/platform/common/window_paint.h"

namespace vantrel::platform {
using namespace vantrel::common;

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

} // namespace vantrel::platform
