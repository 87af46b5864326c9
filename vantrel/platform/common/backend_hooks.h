// What the shared GDI code asks of the backend that shows windows. The shared code keeps the
// objects (bitmaps, device contexts, regions, status-bar parts); a backend with a screen
// installs these to put them on it. Any hook left null is skipped.
#pragma once

#include <cstdint>

#include "vantrel/platform/platform.h"

namespace vantrel::common {

struct menu_tracking;

struct backend_hooks {
  // BitBlt onto a window's device context: W x H pixels of bitmap SOURCE from (SX, SY), rows
  // counted from the top of the picture, to (X, Y) of WINDOW's client area. The pixels are
  // read through bitmap_pixels (gdi_objects.h).
  void (*paint_bitmap)(THANDLE window, LONGINT x, LONGINT y, LONGINT w, LONGINT h, THANDLE source,
                       LONGINT sx, LONGINT sy) = nullptr;
  // A bitmap is deleted (a backend that caches it, as a pixmap say, lets it go).
  void (*bitmap_deleted)(THANDLE bitmap) = nullptr;
  // SetWindowRgn changed the window's shape; window::region holds the new one (0: none).
  void (*region_changed)(THANDLE window) = nullptr;
  // The status window paints itself: parts and texts are in status_bar_of (status_bar.h).
  void (*paint_status_bar)(THANDLE window) = nullptr;
  // Fills R of WINDOW's client area with the colour RGB (0x00RRGGBB): the background erase.
  void (*fill_rect)(THANDLE window, const TRECT &r, std::uint32_t rgb) = nullptr;
  // A menu loop runs (menus.h): show its menus and hand it the user's steps until it is done.
  // Left null, a loop ends at once without a choice.
  void (*run_menu)(menu_tracking &t) = nullptr;
  // A menu bar's loop begins (menus.h, begin_menu_loop done): show its menus and return at once,
  // false when they cannot be shown. The backend then steps the loop from its message pump and
  // calls end_menu_loop once it is done. Left null, the bar's loop runs through run_menu.
  bool (*open_menu)(menu_tracking &t) = nullptr;
  // WINDOW's menu bar came, went or changed: place the client area anew and redraw the bar.
  void (*menu_bar_changed)(THANDLE window) = nullptr;
  // The title of WINDOW's menu bar at screen point (X, Y); -1 for none (or no bar drawn).
  int (*menu_bar_title)(THANDLE window, LONGINT x, LONGINT y) = nullptr;
};

void set_backend_hooks(const backend_hooks &hooks);
const backend_hooks &hooks();

} // namespace vantrel::common
