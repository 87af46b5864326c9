// Window bookkeeping shared by the backends that have no Win32 underneath (x11, headless):
// classes, window records and their properties. The queue is message_queue.h, default
// processing default_processing.cpp. Each backend adds its native windows, input and GL
// surfaces on top.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "vantrel/platform/platform.h"

namespace vantrel::common {

struct window_class {
  std::string name;
  TWNDPROC proc = nullptr;
  LONGWORD style = 0;
  THANDLE instance = 0, icon = 0, cursor = 0, background = 0;
  LONGINT wnd_extra = 0;
};

struct window {
  THANDLE handle = 0;
  std::string class_name;
  TWNDPROC proc = nullptr;
  std::string title;
  LONGWORD style = 0;
  TRECT rect;   // outer rectangle, in the parent's client pixels (screen pixels when top-level)
  TRECT client; // client area inside rect, relative to rect's top-left corner
  THANDLE parent = 0;
  LONGINT id = 0; // control identifier (the MENU argument of a child)
  bool visible = false;
  bool needs_paint = false;
  TRECT update; // bounds of what waits for painting, client pixels (window_paint.h)
  std::vector<TRECT> update_parts; // what waits for painting: the union of these rectangles
  bool erase = false;              // the next BeginPaint sends WM_ERASEBKGND first
  bool erase_declined = false; // WM_ERASEBKGND returned 0: BeginPaint tells the painter to erase
  std::map<std::string, THANDLE> props;
  THANDLE region = 0; // window shape, owned by the window
  THANDLE menu = 0;   // menu bar (SetMenu), destroyed with the window
  // InvalidateRect calls (and moves that ask for a repaint) and BeginPaint calls so far, which
  // tell tests whether a window redraws.
  LONGINT invalidations = 0, paints = 0;
  int destroy_depth = 0;  // DestroyWindow calls under way on it
  bool unlinked = false;  // WM_NCDESTROY reached: no longer among its parent's children
  void *native = nullptr; // backend's own state
};

THANDLE new_handle();
// Every window, by handle.
std::map<THANDLE, window> &window_records();
window *find_window(THANDLE handle);
// The children of PARENT (0: the top-level windows), less those already in WM_NCDESTROY.
std::vector<THANDLE> child_windows(THANDLE parent);
const window_class *find_class(const std::string &name);

// Creates the record of a new window and sends WM_CREATE; returns it, or null for an unknown
// class. The backend makes its native window before WM_CREATE through make_native. When
// WM_CREATE answers -1 (the window then gets WM_NCDESTROY alone), or the procedure destroys
// the window or its parent meanwhile, the window is gone, free_native has run on it, and the
// result is null.
// CREATION is the record WM_NCCREATE and WM_CREATE point to; its class, title, style, place,
// size, parent and menu are filled in here from the other arguments.
window *create_window(LONGWORD style, PCHAR class_name, PCHAR title, const TRECT &rect,
                      const TRECT &client, THANDLE parent, THANDLE menu,
                      void (*make_native)(window &), void (*free_native)(window &),
                      TCREATESTRUCT creation = {});
// Sends WM_DESTROY to the window, then to its children, then WM_NCDESTROY to the children and
// last to the window, and drops each record after the backend's free_native has run on it. As
// on Win32, a procedure may destroy the window again from these messages: the inner call does
// the whole job and the outer one stops there. Past a few such levels the call is refused
// (false), so that a procedure destroying its window on every WM_DESTROY cannot recurse
// without end.
bool destroy_window(THANDLE handle, void (*free_native)(window &));

// Forgets every class, window, status bar and queued message (between tests).
void reset();

} // namespace vantrel::common
