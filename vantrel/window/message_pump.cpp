// Window messages turned into the framework's input state.
#include "vantrel/window/message_pump.h"

#include "vantrel/globals.h"
#include "vantrel/platform/platform.h"
#include "vantrel/runerror.h"
#include "vantrel/window/navigation.h"

namespace vantrel {

void SETGLMSG() {
  if (platform::PeekMessageA(&MSG_, 0, 0, 0, PM_NOREMOVE)) {
    platform::GetMessageA(&MSG_, 0, 0, 0);
    platform::TranslateMessage(&MSG_);
    platform::DispatchMessageA(&MSG_);
  }
}

// A key code indexes the 501-entry key table; -1 for one past it (after a host's error hook).
static LONGINT key_index(TWPARAM WPARAM) {
  const LONGINT key = WPARAM > 500 ? LONGINT(501) : LONGINT(WPARAM);
  return RANGECHECK(key, 0, 500, "key code") ? key : -1;
}

TLRESULT GLWNDPROC(THANDLE WINDOW, LONGWORD AMESSAGE, TWPARAM WPARAM, TLPARAM LPARAM) {
  // Positions are the low and high 16 bits of lParam, unsigned.
  const LONGINT x = LONGINT(LPARAM & 0xFFFF), y = LONGINT((LPARAM >> 16) & 0xFFFF);
  switch (AMESSAGE) {
  case WM_CREATE:
    ACTIVE = true;
    return 0;
  case WM_DESTROY:
    ACTIVE = false;
    platform::PostQuitMessage(0);
    return 0;
  case WM_PAINT: {
    TPAINTSTRUCT ps;
    platform::BeginPaint(WINDOW, &ps);
    platform::UpdateWindow(HSTATUS);
    platform::EndPaint(WINDOW, &ps);
    return 0;
  }
  case WM_CONTEXTMENU:
    // The hook is skipped when the application enabled menus without setting it.
    if (SHOWMENUBAR && CREATEMOUSEMENU) CREATEMOUSEMENU();
    break;
  case WM_KEYDOWN:
    if (WPARAM == VK_ESCAPE) {
      platform::SendMessageA(HWINDOW, WM_DESTROY, 0, 0);
      return 0;
    }
    if (const LONGINT K = key_index(WPARAM); K >= 0) SETKEY[K] = true;
    break;
  case WM_KEYUP:
    if (const LONGINT K = key_index(WPARAM); K >= 0) SETKEY[K] = false;
    MOUSEFREE = false;
    break;
  case WM_COMMAND:
    if (SHOWMENUBAR && GETINPUTCOMMAND) GETINPUTCOMMAND(WINDOW, AMESSAGE, WPARAM, LPARAM);
    return 0;
  case WM_MOUSEMOVE:
    SETOMX = x;
    SETOMY = y;
    NAVIGATIONUPDATE(x, y);
    break;
  case WM_LBUTTONDOWN:
    platform::ReleaseCapture();
    platform::SetCapture(HWINDOW);
    LEFTMOUSEDOWN = LEFTMOUSEDOWN2 = true;
    XCOORD = SETMX = x;
    YCOORD = SETMY = y;
    break;
  case WM_LBUTTONUP:
    platform::ReleaseCapture();
    LEFTMOUSEDOWN = LEFTMOUSEDOWN2 = false;
    XCOORD = YCOORD = SETMX = SETMY = 0;
    break;
  case WM_RBUTTONDOWN:
    platform::ReleaseCapture();
    platform::SetCapture(HWINDOW);
    RIGHTMOUSEDOWN = RIGHTMOUSEDOWN2 = true;
    ZCOORD = y;
    break;
  case WM_RBUTTONUP:
    platform::ReleaseCapture();
    RIGHTMOUSEDOWN = RIGHTMOUSEDOWN2 = false;
    break;
  default:
    break;
  }
  // Common ending: the status bar repaints on messages with wParam 0, then default processing.
  if (WPARAM == 0) platform::UpdateWindow(HSTATUS);
  return platform::DefWindowProcA(WINDOW, AMESSAGE, WPARAM, LPARAM);
}

} // namespace vantrel
