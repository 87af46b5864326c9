// The input probe: a "GLWindow" whose window procedure logs every message it receives before
// the framework's own procedure handles it, pumped one message per frame with frames slowed to
// 30 ms. Built for x11 and for win32 from this one source, so that the same scripted input can
// be compared message for message against Wine, which implements Windows' queue.
// Output, one line per message: wall-clock milliseconds, message number, wParam, the low and
// high words of lParam, the cursor position the message carried, and lParam whole (hex).
#include <chrono>
#include <cstdio>
#include <thread>

#include "vantrel/globals.h"
#include "vantrel/platform/platform.h"
#include "vantrel/window/lifecycle.h"
#include "vantrel/window/message_pump.h"

using namespace vantrel;

static long long now_ms() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

static TLRESULT logging_proc(THANDLE window, LONGWORD message, TWPARAM wparam, TLPARAM lparam) {
  // MSG_ is the message the pump took; its point is where the cursor was when it was queued.
  const bool queued = MSG_.MESSAGE == message && MSG_.HWND == window && MSG_.LPARAM == lparam;
  std::printf("%lld %u %llu %u %u %d %d %08x\n", now_ms(), unsigned(message),
              static_cast<unsigned long long>(wparam), unsigned(lparam & 0xFFFF),
              unsigned((lparam >> 16) & 0xFFFF), queued ? MSG_.PT.X : -1, queued ? MSG_.PT.Y : -1,
              unsigned(lparam));
  std::fflush(stdout);
  return GLWNDPROC(window, message, wparam, lparam);
}

int main() {
  TWNDCLASS cls;
  cls.STYLE = CS_VREDRAW | CS_HREDRAW;
  cls.WNDPROC = logging_proc;
  cls.INSTANCE = platform::GetModuleHandleA(nullptr);
  cls.CURSOR = platform::LoadCursorA(0, IDC_ARROW);
  cls.BACKGROUND = platform::GetSysColorBrush(COLOR_BTNFACE);
  cls.CLASSNAME = "GLWindow";
  if (!platform::RegisterClassA(&cls)) return 1;
  WIDTH = 800;
  HEIGHT = 600;
  HWINDOW =
      platform::CreateWindowExA(0, "GLWindow", "Vantrel input probe", STYLE_WINDOWED, CW_USEDEFAULT,
                                CW_USEDEFAULT, WIDTH, HEIGHT, 0, 0, cls.INSTANCE, nullptr);
  if (!HWINDOW) return 2;
  platform::ShowWindow(HWINDOW, platform::StartupShowCommand());
  platform::UpdateWindow(HWINDOW);
  MSPEED = 2; // as the demo's navigation sets it, so drags run the navigation update
  std::printf("ready\n");
  std::fflush(stdout);
  do {
    SETGLMSG();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
  } while (ACTIVE);
  platform::DestroyWindow(HWINDOW);
  return 0;
}
