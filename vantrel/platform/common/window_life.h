// The messages of a window's life that Win32 sends around creation, showing, hiding, moving
// and destruction, for the backends without Win32 underneath, in Win32's order.
#pragma once

#include "vantrel/platform/common/window_table.h"

namespace vantrel::common {

// After WM_CREATE: WM_SIZE with the client size, then WM_MOVE with the client area's place.
void announce_created(THANDLE hwnd);
// ShowWindow's messages once the record's visibility has changed to SHOWN: WM_SHOWWINDOW, the
// WM_WINDOWPOSCHANGING / CHANGED pair, and for a top-level window the activation and the
// keyboard focus (WM_ACTIVATE, WM_SETFOCUS on showing; WM_ACTIVATE, WM_KILLFOCUS on hiding the
// active window). DESTROYING: DestroyWindow hides a top-level window without WM_SHOWWINDOW.
void announce_shown(THANDLE hwnd, bool shown, bool destroying = false);
// MoveWindow's pair once the record holds the new rectangle; default processing of
// WM_WINDOWPOSCHANGED then sends WM_MOVE and WM_SIZE for what changed.
void announce_moved(THANDLE hwnd, const TRECT &old_rect, const TRECT &old_client);
// SetMenu's and DrawMenuBar's pair once the record holds the client area below the new frame
// (OLD_CLIENT before): WM_WINDOWPOSCHANGING, WM_NCCALCSIZE, WM_WINDOWPOSCHANGED, whose default
// processing sends WM_MOVE and WM_SIZE where the client area moved or changed size.
void announce_frame_changed(THANDLE hwnd, const TRECT &old_client);
// Default processing of WM_WINDOWPOSCHANGED: WM_MOVE with the client area's place when PLACE,
// then WM_SIZE with its size when SIZE.
void announce_size_and_place(THANDLE hwnd, bool size, bool place);
// The window that is active and holds the keyboard focus (0: none); forgets HWND as such.
THANDLE active_window();
void forget_active(THANDLE hwnd);

} // namespace vantrel::common
