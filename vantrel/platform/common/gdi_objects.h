// GDI objects for the backends without GDI: bitmaps held as DIBs in memory, device contexts,
// palettes, regions as lists of rectangles, brushes, cursors and fonts, all behind handles.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "vantrel/platform/common/bmp_reader.h"
#include "vantrel/platform/common/window_table.h"

namespace vantrel::common {

enum class gdi_kind { bitmap, dc, palette, region, brush, cursor, font };

// What CreateFontA asked the font mapper for; the face is found when outlines are built.
struct font_request {
  LONGINT height = 0, width = 0, escapement = 0, orientation = 0, weight = 0;
  bool italic = false, underline = false, strikeout = false;
};

struct gdi_object {
  gdi_kind kind = gdi_kind::brush;
  dib_image dib;       // bitmap: pixels at their own depth, and colour table
  THANDLE window = 0;  // dc: the window it draws on (0: memory DC or the screen)
  bool memory = false; // dc: a memory device context (CreateCompatibleDC)
  THANDLE bitmap = 0, palette = 0, font = 0, brush = 0; // dc: selected objects (0: the stock one)
  THANDLE selected_in = 0;            // bitmap: the memory DC holding it; region: owning window
  bool stock = false;                 // stock objects outlive every DeleteObject
  std::vector<TRECT> rects;           // region: canonical bands (see region_rects)
  std::vector<TPALETTEENTRY> entries; // palette
  LONGINT id = 0;                     // brush: colour index; cursor: IDC_/IDI_ number
  bool solid = false;                 // brush: made by CreateSolidBrush, of colour below
  std::uint32_t colour = 0;           // brush: 0x00RRGGBB of a solid brush
  bool clipped = false;               // dc: drawing is limited to clip (BeginPaint's area)
  TRECT clip;                         // dc: the update area, client pixels
  std::vector<TRECT> clip_parts;      // dc: the update region whose bounds clip is, as parts
  std::string name;                   // cursor from a file; font face
  font_request font_spec;             // font: the logical font's values
};

THANDLE add_object(gdi_object object);
gdi_object *find_object(THANDLE handle, gdi_kind kind);
void drop_object(THANDLE handle);
// How many objects the table holds besides the stock ones (made once, on first use): what a
// call leaves behind shows here.
std::size_t object_count();
// Forgets every object, stock ones included, without telling the backend (between tests).
void forget_objects();

// The reason the last failing call gives through GetLastError / LastErrorText.
void set_last_error(LONGWORD code, std::string text);

// The seam's codes under their old names here too, and those only this code sets.
using vantrel::ERROR_ACCESS_DENIED, vantrel::ERROR_FILE_NOT_FOUND, vantrel::ERROR_PATH_NOT_FOUND,
    vantrel::ERROR_TOO_MANY_OPEN_FILES;
inline constexpr LONGWORD ERROR_NOT_ENOUGH_MEMORY = 8, ERROR_BAD_FORMAT = 11,
                          ERROR_INVALID_DATA = 13, ERROR_READ_FAULT = 30,
                          ERROR_INVALID_PARAMETER = 87;

// ---- What a backend with a screen reads ----

// W x H pixels of BITMAP from (X, Y), Y counted from the top of the picture as displayed
// whatever the storage order, written to OUT row by row, top row first, each pixel 0x00RRGGBB
// (colour-table pictures looked up through their table, entries past it black). False, with
// OUT untouched, when BITMAP is not a bitmap or the rectangle does not lie inside it.
bool bitmap_pixels(THANDLE bitmap, LONGINT x, LONGINT y, LONGINT w, LONGINT h, std::uint32_t *out);
// Width and height of BITMAP; false when it is not a bitmap.
bool bitmap_size(THANDLE bitmap, LONGINT *w, LONGINT *h);
// The rectangles whose union is REGION, null when it is not a region. They are disjoint and
// come in bands from the top: rectangles of one band share their top and bottom and are
// ordered left to right without touching; bands do not overlap and grow downward.
const std::vector<TRECT> *region_rects(THANDLE region);

// The window's region is let go with the window (destroy_window): the window owns it.
void release_window_region(window &w);

} // namespace vantrel::common
