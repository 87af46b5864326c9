// Win32's window model shared by the x11 and headless backends: the non-client frame, system
// metrics and colours, window and client rectangles, the update area and the background erase.
#include "vantrel/platform/common/window_paint.h"

#include <algorithm>
#include <vector>

#include "vantrel/platform/common/backend_hooks.h"
#include "vantrel/platform/common/gdi_objects.h"

namespace vantrel::common {

namespace {

constexpr LONGWORD WS_DLGFRAME = 0x00400000;
constexpr LONGINT SM_CXSIZE = 30, SM_CYSIZE = 31, SM_CXEDGE = 45, SM_CYEDGE = 46,
                  SM_CYSMCAPTION = 51;

// Wine's default colour scheme, COLOR_SCROLLBAR (0) to COLOR_MENUBAR (30), as GetSysColor
// reports it in a fresh prefix.
constexpr std::uint32_t scheme[31] = {
    0xFFFFFF, 0x256F95, 0x3296FA, 0x808080, 0xFFFFFF, 0xFFFFFF, 0x9E9E9E, 0x000000,
    0x000000, 0x000000, 0xFFFFFF, 0xFFFFFF, 0x808080, 0x3096FA, 0xFFFFFF, 0xF5F5F5,
    0xA6A6A6, 0xA6A6A6, 0x000000, 0xC8C8C8, 0xFFFFFF, 0x6A6A6A, 0xE3E3E3, 0x000000,
    0xFFFFFF, 0xFFFFFF, 0xE0E0E0, 0x3296FA, 0x808080, 0x3096FA, 0xFFFFFF};

// The stock brushes WHITE_BRUSH (0) to BLACK_BRUSH (4); NULL_BRUSH (5) paints nothing.
constexpr std::uint32_t stock_brushes[5] = {0xFFFFFF, 0xC0C0C0, 0x808080, 0x404040, 0x000000};

bool empty(const TRECT &r) { return r.RIGHT <= r.LEFT || r.BOTTOM <= r.TOP; }

TRECT whole_client(const window &w) {
  return {0, 0, w.client.RIGHT - w.client.LEFT, w.client.BOTTOM - w.client.TOP};
}

TRECT intersect(const TRECT &a, const TRECT &b) {
  return {std::max(a.LEFT, b.LEFT), std::max(a.TOP, b.TOP), std::min(a.RIGHT, b.RIGHT),
          std::min(a.BOTTOM, b.BOTTOM)};
}

} // namespace

frame_insets nonclient_frame(LONGWORD style) {
  // As Win32 adjusts a rectangle: an outer edge for dialog and sizing frames, the sizing
  // border beyond it, one more line for any border, then the caption on top.
  LONGINT edge = (style & (WS_THICKFRAME | WS_DLGFRAME)) ? 2 : 0;
  if (style & WS_THICKFRAME) edge += system_metric(SM_CXFRAME) - system_metric(SM_CXDLGFRAME);
  if (style & (WS_BORDER | WS_DLGFRAME)) edge++;
  frame_insets f{edge, edge, edge, edge};
  if ((style & WS_CAPTION) == WS_CAPTION) f.top += system_metric(SM_CYCAPTION);
  return f;
}

TRECT client_inside(LONGWORD style, LONGINT w, LONGINT h, bool menu_bar) {
  frame_insets f = nonclient_frame(style);
  if (menu_bar) f.top += system_metric(SM_CYMENU);
  LONGINT cw = std::max(0, w - f.left - f.right), ch = std::max(0, h - f.top - f.bottom);
  return {f.left, f.top, f.left + cw, f.top + ch};
}

LONGINT system_metric(LONGINT index) {
  switch (index) {
  case SM_CYCAPTION:
  case SM_CYMENU:
    return 19;
  case SM_CXBORDER:
  case SM_CYBORDER:
    return 1;
  case SM_CXDLGFRAME:
  case SM_CYDLGFRAME:
    return 3;
  case SM_CXFRAME:
  case SM_CYFRAME:
  case 36: // SM_CXDOUBLECLK: the rectangle a double click's second press must fall in
  case 37: // SM_CYDOUBLECLK
    return 4;
  case SM_CXEDGE:
  case SM_CYEDGE:
    return 2;
  case SM_CXSIZE:
  case SM_CYSIZE:
    return 18;
  case SM_CYSMCAPTION:
    return 16;
  default:
    return 0;
  }
}

std::uint32_t system_colour(LONGINT index) {
  return index >= 0 && index < LONGINT(std::size(scheme)) ? scheme[index] : 0;
}

bool brush_colour(THANDLE brush, std::uint32_t *rgb) {
  std::uint32_t c = 0;
  if (brush >= 1 && brush <= std::size(scheme)) {
    c = scheme[brush - 1]; // COLOR_ index + 1, as a class background may name a colour
  } else if (const gdi_object *b = find_object(brush, gdi_kind::brush)) {
    if (b->solid)
      c = b->colour;
    else if (b->id >= 0 && b->id < LONGINT(std::size(scheme)))
      c = scheme[b->id];
    else if (b->id < 0 && -1 - b->id < LONGINT(std::size(stock_brushes)))
      c = stock_brushes[-1 - b->id];
    else
      return false; // NULL_BRUSH, and indexes no colour stands for
  } else {
    return false;
  }
  if (rgb) *rgb = c;
  return true;
}

void invalidate(window &w, const TRECT *r, bool erase) {
  TRECT client = whole_client(w);
  TRECT area = r ? intersect(*r, client) : client;
  if (r && empty(area)) return; // nothing of the window to repaint
  if (!empty(area)) {
    const bool first = empty(w.update);
    w.update =
        first ? area
              : TRECT{std::min(w.update.LEFT, area.LEFT), std::min(w.update.TOP, area.TOP),
                      std::max(w.update.RIGHT, area.RIGHT), std::max(w.update.BOTTOM, area.BOTTOM)};
    // The region is kept as its parts, up to a few; past them, as their bounds.
    constexpr std::size_t most_parts = 32;
    if (first)
      w.update_parts = {area};
    else if (w.update_parts.size() < most_parts)
      w.update_parts.push_back(area);
    else
      w.update_parts = {w.update};
  }
  w.needs_paint = true;
  if (erase) w.erase = true;
}

void erase_on_show(THANDLE hwnd) {
  window *w = find_window(hwnd);
  if (!w || !w->visible) return;
  invalidate(*w, nullptr, true);
  w->erase = false;
  THANDLE dc = platform::GetDC(hwnd);
  TLRESULT erased = platform::SendMessageA(hwnd, WM_ERASEBKGND, TWPARAM(dc), 0);
  platform::ReleaseDC(hwnd, dc);
  if (window *still = find_window(hwnd)) still->erase_declined = erased == 0;
}

TLRESULT default_erase_background(THANDLE hwnd, THANDLE dc) {
  window *w = find_window(hwnd);
  const window_class *cls = w ? find_class(w->class_name) : nullptr;
  if (!cls || !cls->background) return 0;
  std::uint32_t rgb = 0;
  if (!brush_colour(cls->background, &rgb) || !hooks().fill_rect) return 1;
  // The context says where: its window, and the update area while painting.
  const gdi_object *d = find_object(dc, gdi_kind::dc);
  window *target = d && d->window ? find_window(d->window) : w;
  if (!target || (d && d->memory)) return 1;
  TRECT area = whole_client(*target);
  if (d && d->clipped) area = intersect(area, d->clip);
  if (d && d->clipped && !d->clip_parts.empty()) {
    // The update region itself, part by part, not its bounds.
    for (const TRECT &part : d->clip_parts)
      if (TRECT in = intersect(area, part); !empty(in)) hooks().fill_rect(target->handle, in, rgb);
    return 1;
  }
  if (!empty(area)) hooks().fill_rect(target->handle, area, rgb);
  return 1;
}

} // namespace vantrel::common

namespace vantrel::platform {
using namespace vantrel::common;

THANDLE CreateSolidBrush(LONGWORD color) {
  gdi_object b;
  b.kind = gdi_kind::brush;
  b.solid = true;
  // COLORREF is 0x00BBGGRR; the backends draw 0x00RRGGBB.
  b.colour = ((color & 0xFF) << 16) | (color & 0xFF00) | ((color >> 16) & 0xFF);
  return add_object(std::move(b));
}

BOOLEAN InvalidateRect(THANDLE hwnd, const TRECT *r, BOOLEAN erase) {
  window *w = find_window(hwnd);
  if (!w) return false;
  invalidate(*w, r, erase);
  w->invalidations++;
  return true;
}

BOOLEAN UpdateWindow(THANDLE hwnd) {
  window *w = find_window(hwnd);
  if (!w) return false;
  if (w->needs_paint && w->visible) SendMessageA(hwnd, WM_PAINT, 0, 0);
  return true;
}

THANDLE BeginPaint(THANDLE hwnd, TPAINTSTRUCT *ps) {
  window *w = find_window(hwnd);
  if (!w) return 0;
  // The update area is taken from the window first, as Win32 validates before it erases.
  TRECT area = w->update;
  std::vector<TRECT> parts = std::move(w->update_parts);
  bool erase = w->erase, declined = w->erase_declined;
  w->update = {};
  w->update_parts.clear();
  w->needs_paint = w->erase = w->erase_declined = false;
  w->paints++;
  THANDLE dc = GetDC(hwnd);
  if (gdi_object *d = find_object(dc, gdi_kind::dc)) {
    d->clipped = true, d->clip = area;
    d->clip_parts = std::move(parts);
  }
  if (erase) declined = SendMessageA(hwnd, WM_ERASEBKGND, TWPARAM(dc), 0) == 0;
  if (ps) {
    ps->HDC = dc;
    ps->ERASE = declined;
    ps->PAINT = area;
  }
  return dc;
}

BOOLEAN EndPaint(THANDLE hwnd, const TPAINTSTRUCT *ps) {
  if (ps && ps->HDC) ReleaseDC(hwnd, ps->HDC);
  return find_window(hwnd) != nullptr;
}

BOOLEAN GetWindowRect(THANDLE hwnd, TRECT *r) {
  window *w = find_window(hwnd);
  if (!w || !r) return false;
  *r = w->rect;
  // A child's rectangle counts from its parent's client area; screen pixels add them all up.
  for (window *p = find_window(w->parent); p; p = find_window(p->parent)) {
    LONGINT dx = p->rect.LEFT + p->client.LEFT, dy = p->rect.TOP + p->client.TOP;
    r->LEFT += dx, r->RIGHT += dx, r->TOP += dy, r->BOTTOM += dy;
  }
  return true;
}

BOOLEAN GetClientRect(THANDLE hwnd, TRECT *r) {
  window *w = find_window(hwnd);
  if (!w || !r) return false;
  *r = whole_client(*w);
  return true;
}

} // namespace vantrel::platform
