#include "tests/support/win32_controls.h"

#include "tests/support/gl_fixture.h"

#include <gtest/gtest.h>

#include "vantrel/gl.h"
#include "vantrel/platform/common/gdi_objects.h"
#include "vantrel/platform/win32/win32_test_hooks.h"

// After the framework's headers: Win32's macros would rewrite their names.
#include <windows.h>

namespace vantrel::headless {

namespace {
void unavailable(const char *control) {
  ADD_FAILURE() << "headless::" << control
                << " has no Win32 counterpart: exclude this test from the win32 build";
}

std::vector<LONGINT> scripted;
std::vector<message_box_record> shown;

// A real message box would wait for a person, and a run-time error shows one before the process
// ends, in death tests too. This thread's hook answers each box once its dialog is set up (it
// need not become active, which it may not beside another window): with the next scripted
// answer, or else its default button, and records what it said.
LRESULT CALLBACK answer_message_boxes(int code, WPARAM wp, LPARAM lp) {
  const auto *call = reinterpret_cast<const CWPRETSTRUCT *>(lp);
  if (code == HC_ACTION && call && call->message == WM_INITDIALOG) {
    HWND box = call->hwnd;
    char name[16] = {};
    ::GetClassNameA(box, name, sizeof name);
    if (std::string(name) == "#32770") {
      message_box_record r;
      char text[1024] = {}, caption[256] = {};
      ::GetDlgItemTextA(box, 0xFFFF, text, sizeof text); // the text's static control
      ::GetWindowTextA(box, caption, sizeof caption);
      r.text = text;
      r.caption = caption;
      // The buttons tell the MB_ button set; icons and the rest of the style are not visible.
      bool yes = ::GetDlgItem(box, IDYES), cancel = ::GetDlgItem(box, IDCANCEL);
      r.style = yes ? (cancel ? MB_YESNOCANCEL : MB_YESNO) : (cancel ? MB_OKCANCEL : MB_OK);
      LRESULT def = ::SendMessageA(box, DM_GETDEFID, 0, 0);
      r.answer = HIWORD(def) == DC_HASDEFID ? LOWORD(def) : IDOK;
      if (!scripted.empty()) {
        r.answer = scripted.front();
        scripted.erase(scripted.begin());
      }
      shown.push_back(r);
      ::PostMessageA(box, WM_COMMAND, WPARAM(r.answer), 0);
    }
  }
  return ::CallNextHookEx(nullptr, code, wp, lp);
}

// Installed as the test program starts, before any test (or death-test child) runs.
const HHOOK box_hook =
    ::SetWindowsHookExA(WH_CALLWNDPROCRET, answer_message_boxes, nullptr, ::GetCurrentThreadId());
} // namespace

void set_screen_size(LONGINT, LONGINT) { unavailable("set_screen_size"); }
void script_message_box(LONGINT answer) { scripted.push_back(answer); }
const std::vector<message_box_record> &message_boxes() { return shown; }
void fail_context(bool) { unavailable("fail_context"); }
void set_foreground(THANDLE) { unavailable("set_foreground"); }
void input_mouse(THANDLE, LONGWORD, LONGINT, LONGINT, TWPARAM) { unavailable("input_mouse"); }
void input_key(THANDLE, TWPARAM, bool) { unavailable("input_key"); }
LONGINT swap_count() {
  unavailable("swap_count");
  return 0;
}
const TPIXELFORMATDESCRIPTOR &last_pixel_format() {
  static const TPIXELFORMATDESCRIPTOR none{};
  unavailable("last_pixel_format");
  return none;
}

// What the window's client area shows, copied from its device context into a top-down
// 32-bit DIB section.
std::vector<std::uint32_t> window_pixels(THANDLE window) {
  HWND w = reinterpret_cast<HWND>(window);
  RECT r{};
  if (!::IsWindow(w) || !::GetClientRect(w, &r) || r.right <= 0 || r.bottom <= 0) return {};
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = r.right;
  info.bmiHeader.biHeight = -r.bottom;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  HDC screen = ::GetDC(w), memory = ::CreateCompatibleDC(screen);
  void *bits = nullptr;
  HBITMAP picture = ::CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  std::vector<std::uint32_t> out;
  if (picture && bits) {
    HGDIOBJ old = ::SelectObject(memory, picture);
    ::BitBlt(memory, 0, 0, r.right, r.bottom, screen, 0, 0, SRCCOPY);
    ::GdiFlush();
    const auto *p = static_cast<const std::uint32_t *>(bits);
    out.assign(p, p + std::size_t(r.right) * std::size_t(r.bottom));
    for (std::uint32_t &px : out)
      px &= 0xFFFFFF;
    ::SelectObject(memory, old);
    ::DeleteObject(picture);
  }
  ::DeleteDC(memory);
  ::ReleaseDC(w, screen);
  return out;
}
LONGINT invalidate_count(THANDLE) {
  unavailable("invalidate_count");
  return -1;
}
LONGINT paint_count(THANDLE) {
  unavailable("paint_count");
  return -1;
}

void fail_pixel_format(bool fail) { win32::fail_pixel_format(fail); }

THANDLE capture() { return reinterpret_cast<THANDLE>(::GetCapture()); }

std::string renderer() {
  const GLubyte *name = glGetString(GL_RENDERER);
  return name ? reinterpret_cast<const char *>(name) : std::string();
}

void reset() {
  ::ReleaseCapture();
  // Children go with their parents, so only this thread's top-level windows are destroyed.
  std::vector<HWND> windows;
  ::EnumThreadWindows(
      ::GetCurrentThreadId(),
      [](HWND w, LPARAM list) -> BOOL {
        reinterpret_cast<std::vector<HWND> *>(list)->push_back(w);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&windows));
  for (HWND w : windows)
    if (::IsWindow(w)) ::DestroyWindow(w);
  MSG m;
  while (::PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
  }
  HINSTANCE self = ::GetModuleHandleA(nullptr);
  // The test fixture registers its class without an instance, the framework with the program's.
  for (const char *name : {"GLWindow", "IMAGEBUTTON", "VantrelTest"}) {
    ::UnregisterClassA(name, self);
    ::UnregisterClassA(name, nullptr);
  }
  fail_pixel_format(false);
  scripted.clear();
  shown.clear();
  (void)box_hook;
}

} // namespace vantrel::headless

// The shared window table and GDI of the backends without Win32: nothing to read here.
namespace vantrel::common {
namespace {
void unavailable(const char *reader) {
  ADD_FAILURE() << "common::" << reader << " reads the shared bookkeeping, which Win32 has not: "
                << "exclude this test from the win32 build";
}
} // namespace
window *find_window(THANDLE) { return unavailable("find_window"), nullptr; }
const window_class *find_class(const std::string &) { return unavailable("find_class"), nullptr; }
gdi_object *find_object(THANDLE, gdi_kind) { return unavailable("find_object"), nullptr; }
} // namespace vantrel::common

namespace vantrel::test {
bool update_pending(THANDLE window) {
  return ::GetUpdateRect(reinterpret_cast<HWND>(window), nullptr, FALSE);
}
} // namespace vantrel::test
