// The messages of a window's life, as Win32 orders them, for the x11 and headless backends.
#include "vantrel/platform/common/window_life.h"

namespace vantrel::common {

namespace {

THANDLE active = 0;

TLRESULT send(THANDLE hwnd, LONGWORD message, TWPARAM wparam, TLPARAM lparam) {
  window *w = find_window(hwnd);
  return w && w->proc ? w->proc(hwnd, message, wparam, lparam) : 0;
}

TLPARAM pack(LONGINT low, LONGINT high) {
  return TLPARAM((LONGWORD(high & 0xFFFF) << 16) | LONGWORD(low & 0xFFFF));
}

// The WM_WINDOWPOSCHANGING / CHANGED pair for W's present rectangle.
void position_pair(THANDLE hwnd, LONGWORD flags) {
  window *w = find_window(hwnd);
  if (!w) return;
  TWINDOWPOS pos;
  pos.HWND = hwnd;
  pos.X = w->rect.LEFT, pos.Y = w->rect.TOP;
  pos.CX = w->rect.RIGHT - w->rect.LEFT, pos.CY = w->rect.BOTTOM - w->rect.TOP;
  pos.FLAGS = flags;
  send(hwnd, WM_WINDOWPOSCHANGING, 0, TLPARAM(&pos));
  // A new size or frame asks for the client area within it; the record already holds the answer.
  if ((!(flags & SWP_NOSIZE) || (flags & SWP_FRAMECHANGED)) && find_window(hwnd)) {
    struct { // Win32's NCCALCSIZE_PARAMS: new window, old window and old client rectangles
      TRECT rects[3];
      TWINDOWPOS *pos;
    } params{{w->rect, w->rect, w->rect}, &pos};
    send(hwnd, WM_NCCALCSIZE, 1, TLPARAM(&params));
  }
  TWINDOWPOS changed = pos; // the procedure may have written into the first
  changed.FLAGS = flags;
  send(hwnd, WM_WINDOWPOSCHANGED, 0, TLPARAM(&changed));
}

} // namespace

void announce_size_and_place(THANDLE hwnd, bool size, bool place) {
  window *w = find_window(hwnd);
  if (!w) return;
  const TRECT c = w->client;
  const LONGINT x = w->rect.LEFT + c.LEFT, y = w->rect.TOP + c.TOP;
  if (place) send(hwnd, WM_MOVE, 0, pack(x, y));
  if (size && find_window(hwnd)) send(hwnd, WM_SIZE, 0, pack(c.RIGHT - c.LEFT, c.BOTTOM - c.TOP));
}

void announce_created(THANDLE hwnd) {
  window *w = find_window(hwnd);
  if (!w) return;
  const TRECT c = w->client;
  send(hwnd, WM_SIZE, 0, pack(c.RIGHT - c.LEFT, c.BOTTOM - c.TOP));
  if ((w = find_window(hwnd)))
    send(hwnd, WM_MOVE, 0, pack(w->rect.LEFT + w->client.LEFT, w->rect.TOP + w->client.TOP));
}

void announce_shown(THANDLE hwnd, bool shown, bool destroying) {
  window *w = find_window(hwnd);
  if (!w) return;
  const bool top_level = w->parent == 0;
  const LONGWORD keep = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER;
  if (!destroying || !top_level) send(hwnd, WM_SHOWWINDOW, shown, 0);
  if (shown) {
    if (!top_level || active == hwnd) return position_pair(hwnd, keep | SWP_SHOWWINDOW);
    TWINDOWPOS pos;
    pos.HWND = hwnd;
    pos.FLAGS = keep | SWP_SHOWWINDOW;
    send(hwnd, WM_WINDOWPOSCHANGING, 0, TLPARAM(&pos));
    const THANDLE before = active;
    active = hwnd;
    send(hwnd, WM_ACTIVATE, 1, TLPARAM(before)); // WA_ACTIVE
    send(hwnd, WM_SETFOCUS, TWPARAM(before), 0);
    TWINDOWPOS changed = pos;
    if ((w = find_window(hwnd))) {
      changed.X = w->rect.LEFT, changed.Y = w->rect.TOP;
      changed.CX = w->rect.RIGHT - w->rect.LEFT, changed.CY = w->rect.BOTTOM - w->rect.TOP;
    }
    send(hwnd, WM_WINDOWPOSCHANGED, 0, TLPARAM(&changed));
    return;
  }
  position_pair(hwnd, keep | SWP_NOACTIVATE | SWP_HIDEWINDOW);
  if (top_level && active == hwnd) {
    active = 0;
    send(hwnd, WM_ACTIVATE, 0, 0); // WA_INACTIVE
    send(hwnd, WM_KILLFOCUS, 0, 0);
  }
}

void announce_moved(THANDLE hwnd, const TRECT &old_rect, const TRECT &old_client) {
  window *w = find_window(hwnd);
  if (!w) return;
  const bool moved = w->rect.LEFT + w->client.LEFT != old_rect.LEFT + old_client.LEFT ||
                     w->rect.TOP + w->client.TOP != old_rect.TOP + old_client.TOP;
  const bool sized = w->rect.RIGHT - w->rect.LEFT != old_rect.RIGHT - old_rect.LEFT ||
                     w->rect.BOTTOM - w->rect.TOP != old_rect.BOTTOM - old_rect.TOP;
  if (!moved && !sized) return;
  position_pair(hwnd, SWP_NOZORDER | SWP_NOACTIVATE | (moved ? 0 : SWP_NOMOVE) |
                          (sized ? 0 : SWP_NOSIZE));
}

void announce_frame_changed(THANDLE hwnd, const TRECT &old_client) {
  window *w = find_window(hwnd);
  if (!w) return;
  const TRECT &c = w->client;
  const bool moved = c.LEFT != old_client.LEFT || c.TOP != old_client.TOP;
  const bool sized = c.RIGHT - c.LEFT != old_client.RIGHT - old_client.LEFT ||
                     c.BOTTOM - c.TOP != old_client.BOTTOM - old_client.TOP;
  position_pair(hwnd, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED |
                          (moved ? 0 : SWP_NOCLIENTMOVE) | (sized ? 0 : SWP_NOCLIENTSIZE));
}

THANDLE active_window() { return active; }

void forget_active(THANDLE hwnd) {
  if (active == hwnd || hwnd == 0) active = 0;
}

} // namespace vantrel::common
