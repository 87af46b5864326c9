// Picture buttons and a status bar on an ordinary window: two shaped buttons, PLAY and STOP,
// whose clicks show in the status bar and on standard output.
//   Run it in the folder that holds PLAYN.BMP ... STOPP.BMP. Escape or closing the window ends it.
//   --snapshot FILE.png writes the window's picture once every window has painted, and ends.
#include <cstdio>
#include <string>

#include <vantrel/vantrel.h>

using namespace vantrel;

namespace {

constexpr LONGINT PLAY_ID = 101, STOP_ID = 102;
constexpr PCHAR TITLE = "Vantrel picture buttons";
LONGINT clicks = 0;
bool painted = false;

// Each button reads its pictures from the prefix in force when it is created.
THANDLE create_button(THANDLE parent, const char *prefix, LONGINT x, LONGINT y, LONGINT id) {
  BMPTYPE = prefix;
  return platform::CreateWindowExA(0, SZHOVERCLASS, prefix, WS_CHILD | WS_VISIBLE, x, y, 96, 48,
                                   parent, THANDLE(id), platform::GetModuleHandleA(nullptr),
                                   nullptr);
}

void set_part(LONGINT part, const std::string &text) {
  platform::SendMessageA(HSTATUS, SB_SETTEXTA, TWPARAM(part),
                         reinterpret_cast<TLPARAM>(text.c_str()));
}

// Where a window lies on the screen, for anyone who wants to point at it.
void print_place(const char *what, THANDLE window) {
  TRECT r;
  platform::GetWindowRect(window, &r);
  std::printf("%s at %d %d %d %d\n", what, int(r.LEFT), int(r.TOP), int(r.RIGHT), int(r.BOTTOM));
}

// The buttons post their identifier in the low word of WM_COMMAND.
void on_command(LONGINT id) {
  const char *name = id == PLAY_ID ? "PLAY" : id == STOP_ID ? "STOP" : "?";
  clicks++;
  set_part(1, "Clicks: " + std::to_string(clicks));
  set_part(2, std::string("Last: ") + name);
  std::printf("command %d %s\n", int(id), name);
  std::fflush(stdout);
}

TLRESULT main_proc(THANDLE window, LONGWORD message, TWPARAM wparam, TLPARAM lparam) {
  switch (message) {
  case WM_COMMAND:
    on_command(LONGINT(wparam & 0xFFFF));
    return 0;
  case WM_LBUTTONDOWN:
    // A press on a button's cut-away corner lands here, on the window beneath it.
    std::printf("main window pressed at %d %d\n", int(lparam & 0xFFFF), int(lparam >> 16 & 0xFFFF));
    std::fflush(stdout);
    return 0;
  case WM_KEYDOWN:
    if (wparam == VK_ESCAPE) platform::DestroyWindow(window);
    return 0;
  case WM_DESTROY:
    platform::PostQuitMessage(0);
    return 0;
  case WM_PAINT:
    painted = true;
    return platform::DefWindowProcA(window, message, wparam, lparam);
  default:
    return platform::DefWindowProcA(window, message, wparam, lparam);
  }
}

} // namespace

int main(int argc, char **argv) {
  PCHAR snapshot = SNAPSHOTOPTION(argc, argv);
  // Registers the picture buttons' class (and the OpenGL window's, which is not used here).
  WINDOWREGISTER();
  TWNDCLASS cls;
  cls.WNDPROC = main_proc;
  cls.INSTANCE = platform::GetModuleHandleA(nullptr);
  cls.CURSOR = platform::LoadCursorA(0, IDC_ARROW);
  cls.BACKGROUND = platform::GetSysColorBrush(COLOR_BTNFACE);
  cls.CLASSNAME = "VantrelPictureButtons";
  if (!platform::RegisterClassA(&cls)) THROWERROR(MSG_REGISTER_FAILED);
  THANDLE main = platform::CreateWindowExA(0, cls.CLASSNAME, TITLE, STYLE_WINDOWED, 0, 0, 480, 320,
                                           0, 0, cls.INSTANCE, nullptr);
  if (!main) THROWERROR(MSG_WINDOW_FAILED);

  MAXSTATUSITEM = 3;
  STATUSITEM[1] = 100;
  STATUSITEM[2] = 200;
  STATUSITEM[3] = -1;
  HSTATUS = CREATESTATUSBAR(main);
  THANDLE play = create_button(main, "PLAY", 60, 100, PLAY_ID);
  THANDLE stop = create_button(main, "STOP", 220, 100, STOP_ID);
  set_part(1, "Clicks: 0");
  platform::ShowWindow(main, platform::StartupShowCommand());
  platform::UpdateWindow(main);

  char first[300] = {};
  platform::SendMessageA(HSTATUS, SB_GETTEXTA, 0, reinterpret_cast<TLPARAM>(first));
  std::printf("status: %s\n", first);
  print_place("status bar", HSTATUS);
  print_place("button 101 PLAY", play);
  print_place("button 102 STOP", stop);
  std::printf("ready\n");
  std::fflush(stdout);

  TMSG msg;
  if (snapshot) {
    // The buttons paint after their parent: the picture is taken once the window has painted
    // and no message has come for a tenth of a second.
    LONGWORD quiet_since = platform::GetTickCount();
    for (;;) {
      if (platform::PeekMessageA(&msg, 0, 0, 0, PM_REMOVE)) {
        platform::TranslateMessage(&msg);
        platform::DispatchMessageA(&msg);
        quiet_since = platform::GetTickCount();
      } else if (painted && platform::GetTickCount() - quiet_since >= 100) {
        break;
      }
    }
    return SNAPSHOTWINDOW(main, snapshot) ? 0 : 1;
  }
  while (platform::GetMessageA(&msg, 0, 0, 0) > 0) {
    platform::TranslateMessage(&msg);
    platform::DispatchMessageA(&msg);
  }
  return 0;
}
