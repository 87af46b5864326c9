// GDI objects for the backends without GDI: bitmaps held as DIBs in memory, device contexts,
// palettes, regions as lists of rectangles, brushes, cursors and fonts, all behind handles.
#pragma once

#include <string>
#include <vector>

#include "vantrel/platform/common/bmp_reader.h"

namespace vantrel::common {

enum class gdi_kind { bitmap, dc, palette, region, brush, cursor, font };

// What CreateFontA asked the font mapper for; the face is found when outlines are built.
struct font_request {
  LONGINT height = 0, width = 0, escapement = 0, orientation = 0, weight = 0;
  bool italic = false, underline = false, strikeout = false;
};

struct gdi_object {
  gdi_kind kind = gdi_kind::brush;
  dib_image dib;                    // bitmap: pixels (24-bit DIB layout) and colour table
  THANDLE window = 0;               // dc: the window it draws on (0 for a memory DC)
  THANDLE bitmap = 0, palette = 0, font = 0; // dc: selected objects
  std::vector<TRECT> rects;         // region: its rectangles, whose union is the region
  std::vector<TPALETTEENTRY> entries; // palette
  LONGINT id = 0;                   // brush: colour index; cursor: IDC_/IDI_ number
  std::string name;                 // cursor from a file; font face
  font_request font_spec;           // font: the logical font's values
};

THANDLE add_object(gdi_object object);
gdi_object *find_object(THANDLE handle, gdi_kind kind);
void drop_object(THANDLE handle);

// The reason the last failing call gives through GetLastError / LastErrorText.
void set_last_error(LONGWORD code, std::string text);

inline constexpr LONGWORD ERROR_FILE_NOT_FOUND = 2, ERROR_NOT_ENOUGH_MEMORY = 8,
                          ERROR_BAD_FORMAT = 11, ERROR_INVALID_DATA = 13,
                          ERROR_INVALID_PARAMETER = 87;

} // namespace vantrel::common
