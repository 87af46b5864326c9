// The status window built from the seam's own windows: a child of its parent along the bottom
// of the parent's client area, answering the common-controls status-bar messages.
#include "vantrel/platform/common/status_bar.h"

#include <algorithm>
#include <cstring>
#include <map>

#include "vantrel/platform/common/backend_hooks.h"
#include "vantrel/platform/common/gdi_objects.h"
#include "vantrel/platform/common/window_table.h"

namespace vantrel::common {
namespace {

// The control allows at most 256 parts.
constexpr TWPARAM max_parts = 256;

std::map<THANDLE, status_bar> bars;

// Along the bottom of the parent's client area, its full width.
void place(THANDLE hwnd) {
  TRECT client;
  if (platform::GetClientRect(platform::GetParent(hwnd), &client))
    platform::MoveWindow(hwnd, 0, client.BOTTOM - STATUS_HEIGHT, client.RIGHT, STATUS_HEIGHT, true);
}

TLRESULT status_proc(THANDLE hwnd, LONGWORD message, TWPARAM wparam, TLPARAM lparam) {
  auto it = bars.find(hwnd);
  switch (message) {
  case WM_CREATE: {
    window *w = find_window(hwnd);
    bars[hwnd] = status_bar{{-1}, {w ? w->title : std::string()}};
    return 0;
  }
  case WM_DESTROY:
    bars.erase(hwnd);
    return 0;
  case WM_SIZE:
    place(hwnd);
    return 0; // a parent passes its own size changes on
  case WM_PAINT: {
    TPAINTSTRUCT ps;
    platform::BeginPaint(hwnd, &ps);
    if (hooks().paint_status_bar) hooks().paint_status_bar(hwnd);
    platform::EndPaint(hwnd, &ps);
    return 0;
  }
  default:
    break;
  }
  if (it == bars.end()) return platform::DefWindowProcA(hwnd, message, wparam, lparam);
  status_bar &bar = it->second;
  switch (message) {
  case SB_SETPARTS: {
    const auto *edges = reinterpret_cast<const std::int32_t *>(lparam);
    if (wparam == 0 || wparam > max_parts || !edges) return false;
    bar.edges.assign(edges, edges + wparam);
    bar.texts.resize(wparam);
    platform::InvalidateRect(hwnd, nullptr, true);
    return true;
  }
  case SB_GETPARTS: {
    if (auto *out = reinterpret_cast<std::int32_t *>(lparam))
      std::copy_n(bar.edges.begin(), std::min<std::size_t>(wparam, bar.edges.size()), out);
    return TLRESULT(bar.edges.size());
  }
  case SB_SETTEXTA: {
    std::size_t part = wparam & 0xFF; // the high byte of the low word is the drawing style
    if (part >= bar.texts.size()) return false;
    const char *text = reinterpret_cast<const char *>(lparam);
    bar.texts[part] = text ? text : "";
    platform::InvalidateRect(hwnd, nullptr, true);
    return true;
  }
  case SB_GETTEXTA:
  case SB_GETTEXTLENGTHA: {
    std::size_t part = wparam & 0xFF;
    if (part >= bar.texts.size()) return 0;
    const std::string &text = bar.texts[part];
    if (auto *out = reinterpret_cast<char *>(lparam); out && message == SB_GETTEXTA)
      std::memcpy(out, text.c_str(), text.size() + 1);
    return TLRESULT(std::min<std::size_t>(text.size(), 0xFFFF)); // the length in the low word
  }
  default:
    return platform::DefWindowProcA(hwnd, message, wparam, lparam);
  }
}

} // namespace

const status_bar *status_bar_of(THANDLE window) {
  auto it = bars.find(window);
  return it == bars.end() ? nullptr : &it->second;
}

void forget_status_bars() { bars.clear(); }

} // namespace vantrel::common

namespace vantrel::platform {
using namespace vantrel::common;

THANDLE CreateStatusWindowA(LONGINT style, PCHAR text, THANDLE parent, LONGWORD id) {
  TRECT client;
  if (!GetClientRect(parent, &client)) {
    set_last_error(ERROR_INVALID_PARAMETER, "a status window needs a parent window");
    return 0;
  }
  // The class is registered on first use, and again after the class table was forgotten.
  if (!find_class(STATUS_CLASS)) {
    TWNDCLASS cls;
    cls.WNDPROC = status_proc;
    cls.CLASSNAME = STATUS_CLASS;
    cls.STYLE = CS_HREDRAW | CS_VREDRAW;
    if (!RegisterClassA(&cls)) {
      set_last_error(ERROR_INVALID_PARAMETER, "the status window class cannot be registered");
      return 0;
    }
  }
  THANDLE h = CreateWindowExA(0, STATUS_CLASS, text, LONGWORD(style) | WS_CHILD, 0,
                              client.BOTTOM - STATUS_HEIGHT, client.RIGHT, STATUS_HEIGHT, parent,
                              THANDLE(id), GetModuleHandleA(nullptr), nullptr);
  if (!h) set_last_error(ERROR_INVALID_PARAMETER, "the status window cannot be created");
  return h;
}

} // namespace vantrel::platform
