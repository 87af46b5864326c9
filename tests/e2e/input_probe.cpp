// The input probe: a "GLWindow" whose window procedure logs every message it receives before
// the framework's own procedure handles it, pumped one message per frame with frames slowed to
// 30 ms. Built for x11 and for win32 from this one source, so that the same scripted input can
// be compared message for message against Wine, which implements Windows' queue.
// Output, one line per message: wall-clock milliseconds, message number, wParam, the low and
// high words of lParam, the cursor position the message carried, and lParam whole (hex).
//
// Table mode, for probe_table_test.sh: input_probe table OPTIONS [ACTION...] logs only the
// messages a window procedure written for Windows acts on, as "WINDOW MESSAGE WPARAM LPARAM" in
// hex (WINDOW p for the main window, c for its child; "*" for a parameter that is a pointer or
// a handle), and no time, so that the whole log can be compared with Wine's. OPTIONS, joined by
// commas: dblclk (CS_DBLCLKS), child (a child window over the client area's right half),
// destroy_in_create, refuse_create, menu (a menu bar: File with Exit and a grey Open, View with
// Fog and an Effect submenu; a right click shows Fog and Exit at the pointer), or "-". Menu
// handles are written by name (bar, file, view, effect, context). The F9 key is the round-trip marker: each F9 taken
// from the queue prints "mark N"; the first says that input reaches the window, each later one
// then does the next ACTION. F8 closes the window.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

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

namespace table {

constexpr TWPARAM marker_key = 0x78, end_key = 0x77; // F9, F8
std::string options;
std::vector<std::string> actions;
int marks = 0;
THANDLE child = 0;
struct named_menu {
  THANDLE handle;
  const char *name;
};
std::vector<named_menu> menus;

void make_menu_bar() {
  THANDLE bar = platform::CreateMenu(), file = platform::CreatePopupMenu(),
          view = platform::CreatePopupMenu(), effect = platform::CreatePopupMenu();
  platform::AppendMenuA(file, MF_STRING, 100, "E&xit");
  platform::AppendMenuA(file, MF_GRAYED, 101, "&Open");
  platform::AppendMenuA(effect, MF_STRING, 300, "&Outline");
  platform::AppendMenuA(effect, MF_STRING, 301, "&Bands");
  platform::AppendMenuA(view, MF_STRING, 200, "&Fog");
  platform::AppendMenuA(view, MF_SEPARATOR, 0, nullptr);
  platform::AppendMenuA(view, MF_POPUP, effect, "&Effect");
  platform::AppendMenuA(bar, MF_POPUP, file, "&File");
  platform::AppendMenuA(bar, MF_POPUP, view, "&View");
  platform::SetMenu(HWINDOW, bar);
  menus = {{bar, "bar"}, {file, "file"}, {view, "view"}, {effect, "effect"}};
}

void show_context_menu(TLPARAM at) {
  THANDLE m = platform::CreatePopupMenu();
  platform::AppendMenuA(m, MF_STRING, 200, "&Fog");
  platform::AppendMenuA(m, MF_STRING, 100, "E&xit");
  menus.push_back({m, "context"});
  platform::TrackPopupMenu(m, TPM_RIGHTBUTTON, std::int16_t(at & 0xFFFF),
                           std::int16_t((at >> 16) & 0xFFFF), 0, HWINDOW, nullptr);
  platform::DestroyMenu(m);
  menus.pop_back();
}

// A menu handle by name; "-" for 0, "?" for one the probe did not make.
std::string menu_name(TWPARAM handle) {
  if (handle == 0) return "-";
  for (const named_menu &m : menus)
    if (TWPARAM(m.handle) == handle) return m.name;
  return "?";
}

bool has(const char *option) { return options.find(option) != std::string::npos; }

// The messages compared, and which of their parameters are pointers or handles.
bool logged(LONGWORD m) {
  switch (m) {
  case WM_CREATE:
  case WM_DESTROY:
  case WM_MOVE:
  case WM_SIZE:
  case WM_ACTIVATE:
  case WM_SETFOCUS:
  case WM_KILLFOCUS:
  case WM_CLOSE:
  case WM_SHOWWINDOW:
  case WM_GETMINMAXINFO:
  case WM_WINDOWPOSCHANGING:
  case WM_WINDOWPOSCHANGED:
  case WM_CONTEXTMENU:
  case WM_NCCREATE:
  case WM_NCDESTROY:
  case WM_NCCALCSIZE:
  case WM_SYSCOMMAND:
  case WM_COMMAND:
  case WM_INITMENU:
  case WM_INITMENUPOPUP:
  case WM_MENUSELECT:
  case WM_UNINITMENUPOPUP:
  case WM_ENTERMENULOOP:
  case WM_EXITMENULOOP:
    return true;
  default:
    return (m >= WM_KEYDOWN && m <= 0x109) || (m >= WM_MOUSEMOVE && m <= WM_MOUSEWHEEL);
  }
}
bool lparam_is_pointer(LONGWORD m) {
  return m == WM_CREATE || m == WM_NCCREATE || m == WM_NCCALCSIZE || m == WM_GETMINMAXINFO ||
         m == WM_WINDOWPOSCHANGING || m == WM_WINDOWPOSCHANGED;
}
bool wparam_is_handle(LONGWORD m) {
  return m == WM_SETFOCUS || m == WM_KILLFOCUS || m == WM_CONTEXTMENU;
}

void act(const std::string &a) {
  TMSG m;
  if (a == "move") {
    platform::MoveWindow(HWINDOW, 50, 40, 800, 600, true);
  } else if (a == "move_size") {
    platform::MoveWindow(HWINDOW, 20, 10, 700, 500, true);
  } else if (a == "size") {
    platform::MoveWindow(HWINDOW, 0, 0, 640, 480, true);
  } else if (a == "hide_show") { // at once: a hidden window takes no marker key
    platform::ShowWindow(HWINDOW, 0);
    platform::ShowWindow(HWINDOW, SW_SHOWNORMAL);
  } else if (a == "hide_child") {
    platform::ShowWindow(child, 0);
  } else if (a == "destroy_child") {
    platform::DestroyWindow(child);
  } else if (a == "quit_range") { // a range that leaves WM_QUIT out still returns it
    platform::PostQuitMessage(3);
    LONGINT r = platform::GetMessageA(&m, 0, WM_KEYDOWN, WM_KEYUP);
    std::printf("get %d %x %llx\n", int(r), unsigned(m.MESSAGE),
                static_cast<unsigned long long>(m.WPARAM));
  } else if (a == "quit_window") { // so does a window filter
    platform::PostQuitMessage(4);
    LONGINT r = platform::PeekMessageA(&m, HWINDOW, 0, 0, PM_REMOVE);
    std::printf("peek %d %x %llx\n", int(r), unsigned(m.MESSAGE),
                static_cast<unsigned long long>(m.WPARAM));
  } else if (a == "child_filter") { // a window filter takes its children's messages too
    platform::PostMessageA(child, WM_USER, 5, 6);
    LONGINT r = platform::PeekMessageA(&m, HWINDOW, WM_USER, WM_USER, PM_REMOVE);
    std::printf("peek %d %x %s\n", int(r), unsigned(m.MESSAGE), r && m.HWND == child ? "c" : "-");
  } else if (a == "bad_handle") { // returns -1 at once
    std::printf("get %d\n", int(platform::GetMessageA(&m, THANDLE(0x7FFFFFF0), 0, 0)));
  }
  std::fflush(stdout);
}

TLRESULT proc(THANDLE window, LONGWORD message, TWPARAM wparam, TLPARAM lparam) {
  const bool key = message == WM_KEYDOWN || message == WM_KEYUP;
  if (key && (wparam == marker_key || wparam == end_key)) {
    if (message == WM_KEYDOWN && wparam == marker_key) {
      std::printf("mark %d\n", ++marks);
      std::fflush(stdout);
      if (marks >= 2 && marks - 2 < int(actions.size())) act(actions[std::size_t(marks - 2)]);
    }
    if (message == WM_KEYDOWN && wparam == end_key) platform::PostMessageA(HWINDOW, WM_CLOSE, 0, 0);
    return 0;
  }
  if (logged(message)) {
    const char *who = window == HWINDOW || HWINDOW == 0 ? "p" : "c";
    std::string wp = wparam_is_handle(message) ? "*" : "",
                lp = lparam_is_pointer(message) ? "*" : "";
    char buf[32];
    if (wp.empty()) std::snprintf(buf, sizeof buf, "%llx", static_cast<unsigned long long>(wparam));
    if (wp.empty()) wp = buf;
    if (lp.empty()) std::snprintf(buf, sizeof buf, "%x", unsigned(lparam));
    if (lp.empty()) lp = buf;
    if (message == WM_INITMENU || message == WM_INITMENUPOPUP || message == WM_UNINITMENUPOPUP)
      wp = menu_name(wparam);
    if (message == WM_MENUSELECT) lp = menu_name(TWPARAM(lparam));
    std::printf("%s %x %s %s\n", who, unsigned(message), wp.c_str(), lp.c_str());
    std::fflush(stdout);
  }
  if (window != HWINDOW && HWINDOW != 0)
    return platform::DefWindowProcA(window, message, wparam, lparam);
  if (message == WM_CREATE && has("destroy_in_create")) platform::DestroyWindow(window);
  if (message == WM_CREATE && has("refuse_create")) return -1;
  if (message == WM_CONTEXTMENU && has("menu")) {
    show_context_menu(lparam);
    return 0;
  }
  return GLWNDPROC(window, message, wparam, lparam);
}

int run(int argc, char **argv) {
  options = argc > 2 ? argv[2] : "-";
  for (int i = 3; i < argc; i++)
    actions.push_back(argv[i]);
  TWNDCLASS cls;
  cls.STYLE = CS_VREDRAW | CS_HREDRAW | (has("dblclk") ? CS_DBLCLKS : 0);
  cls.WNDPROC = proc;
  cls.INSTANCE = platform::GetModuleHandleA(nullptr);
  cls.CURSOR = platform::LoadCursorA(0, IDC_ARROW);
  cls.BACKGROUND = platform::GetSysColorBrush(COLOR_BTNFACE);
  cls.CLASSNAME = "GLWindow";
  if (!platform::RegisterClassA(&cls)) return 1;
  THANDLE w = platform::CreateWindowExA(0, "GLWindow", "Vantrel input probe", STYLE_WINDOWED, 0, 0,
                                        800, 600, 0, 0, cls.INSTANCE, nullptr);
  std::printf("created %d\n", w != 0);
  std::fflush(stdout);
  if (!w) return 0;
  HWINDOW = w;
  if (has("child"))
    child = platform::CreateWindowExA(0, "GLWindow", "", WS_CHILD | WS_VISIBLE, 400, 0, 394, 571, w,
                                      THANDLE(1), cls.INSTANCE, nullptr);
  if (has("menu")) make_menu_bar();
  platform::ShowWindow(HWINDOW, platform::StartupShowCommand());
  platform::UpdateWindow(HWINDOW);
  MSPEED = 2;
  std::printf("ready\n");
  std::fflush(stdout);
  while (ACTIVE) {
    SETGLMSG();
    std::this_thread::sleep_for(std::chrono::milliseconds(2)); // a frame's work, not a spin
  }
  std::printf("end\n");
  std::fflush(stdout);
  return 0;
}

} // namespace table

int main(int argc, char **argv) {
  if (argc > 1 && std::strcmp(argv[1], "table") == 0) return table::run(argc, argv);
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
