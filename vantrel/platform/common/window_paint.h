// Win32's window model for the backends without Win32 underneath: the non-client frame that
// separates a window's outer rectangle from its client area, the system metrics and colours,
// and the update region with its background erase (WM_ERASEBKGND).
#pragma once

#include <cstdint>

#include "vantrel/platform/common/window_table.h"

namespace vantrel::common {

// What AdjustWindowRect adds around the client area for STYLE, side by side. The sizes are
// Win32's own metrics, whether or not a window manager draws a frame of another size, so that
// window and client rectangles agree with Windows for every program that computes with them.
struct frame_insets {
  LONGINT left = 0, top = 0, right = 0, bottom = 0;
};
frame_insets nonclient_frame(LONGWORD style);
// The client area inside an outer rectangle of W x H for STYLE, below a menu bar of
// SM_CYMENU when MENU_BAR, relative to its top-left corner; empty (never negative) when the
// frame leaves no room.
TRECT client_inside(LONGWORD style, LONGINT w, LONGINT h, bool menu_bar = false);

// GetSystemMetrics beyond the screen size: borders, frames, caption (the values Wine reports).
LONGINT system_metric(LONGINT index);
// GetSysColor: a COLOR_ index as 0x00RRGGBB, the colours of Wine's default scheme.
std::uint32_t system_colour(LONGINT index);
// The colour a brush paints as 0x00RRGGBB; false for a brush that paints nothing (NULL_BRUSH)
// and for anything that is no brush. COLOR_ index + 1 stands for that system colour.
bool brush_colour(THANDLE brush, std::uint32_t *rgb);

// Marks R (null: the whole client area) as waiting for a paint, for an erase too when ERASE.
void invalidate(window &w, const TRECT *r, bool erase);
// A window that becomes visible is erased at once, as ShowWindow does on Win32; its paint
// message follows through the queue.
void erase_on_show(THANDLE hwnd);
// DefWindowProcA's WM_ERASEBKGND: fills the window's update area (all of its client area when
// nothing waits) with the class background through the backend's fill hook. Non-zero when the
// class has a background brush, even one that paints nothing, as on Win32.
TLRESULT default_erase_background(THANDLE hwnd, THANDLE dc);

} // namespace vantrel::common
