// Handle table of GDI-like objects, and the seam services that work on it alone.
#include "vantrel/platform/common/gdi_objects.h"

#include <map>

#include "vantrel/platform/common/window_table.h"

namespace vantrel::common {

namespace {
std::map<THANDLE, gdi_object> objects;
LONGWORD last_error = 0;
std::string last_error_text;
} // namespace

THANDLE add_object(gdi_object object) {
  THANDLE h = new_handle();
  objects.emplace(h, std::move(object));
  return h;
}

gdi_object *find_object(THANDLE handle, gdi_kind kind) {
  auto it = objects.find(handle);
  return it == objects.end() || it->second.kind != kind ? nullptr : &it->second;
}

void drop_object(THANDLE handle) { objects.erase(handle); }

void set_last_error(LONGWORD code, std::string text) {
  last_error = code;
  last_error_text = std::move(text);
}

} // namespace vantrel::common

namespace vantrel::platform {
using namespace vantrel::common;

LONGWORD GetLastError() { return last_error; }
ANSISTRING LastErrorText() { return last_error_text; }

THANDLE LoadImageA(THANDLE, PCHAR name, LONGWORD type, LONGINT, LONGINT, LONGWORD flags) {
  if (type != IMAGE_BITMAP || !(flags & LR_LOADFROMFILE) || !name) {
    set_last_error(ERROR_INVALID_PARAMETER, "only bitmap files can be loaded");
    return 0;
  }
  gdi_object bmp;
  bmp.kind = gdi_kind::bitmap;
  std::string why;
  if (!read_bmp_file(name, bmp.dib, why)) {
    set_last_error(ERROR_BAD_FORMAT, why);
    return 0;
  }
  return add_object(std::move(bmp));
}

LONGINT GetObjectA(THANDLE object, LONGINT size, void *buffer) {
  gdi_object *b = find_object(object, gdi_kind::bitmap);
  if (!b || !buffer || size < LONGINT(sizeof(TBITMAP))) return 0;
  auto *bm = static_cast<TBITMAP *>(buffer);
  *bm = TBITMAP{0,
                b->dib.width,
                b->dib.height,
                LONGINT(dib_stride(b->dib.width)),
                1,
                24,
                b->dib.bits.empty() ? nullptr : b->dib.bits.data()};
  return LONGINT(sizeof(TBITMAP));
}

BOOLEAN DeleteObject(THANDLE object) {
  auto erased = find_object(object, gdi_kind::bitmap) || find_object(object, gdi_kind::palette) ||
                find_object(object, gdi_kind::region) || find_object(object, gdi_kind::brush) ||
                find_object(object, gdi_kind::font);
  if (erased) drop_object(object);
  return erased;
}

THANDLE SelectObject(THANDLE dc, THANDLE object) {
  gdi_object *d = find_object(dc, gdi_kind::dc);
  if (!d) {
    set_last_error(ERROR_INVALID_PARAMETER, "no device context");
    return 0;
  }
  // Each kind has its own slot in the device context; the previous occupant comes back.
  THANDLE *slot = find_object(object, gdi_kind::font)     ? &d->font
                  : find_object(object, gdi_kind::bitmap) ? &d->bitmap
                                                          : nullptr;
  if (!slot) {
    set_last_error(ERROR_INVALID_PARAMETER, "not a font or bitmap");
    return 0;
  }
  THANDLE previous = *slot;
  *slot = object;
  return previous;
}

THANDLE GetSysColorBrush(LONGINT index) {
  gdi_object b;
  b.kind = gdi_kind::brush;
  b.id = index;
  return add_object(std::move(b));
}

THANDLE GetStockObject(LONGINT index) { return GetSysColorBrush(-1 - index); }

THANDLE LoadIconA(THANDLE, LONGWORD id) {
  gdi_object c;
  c.kind = gdi_kind::cursor;
  c.id = LONGINT(id);
  return add_object(std::move(c));
}

THANDLE LoadCursorA(THANDLE instance, LONGWORD id) { return LoadIconA(instance, id); }

} // namespace vantrel::platform
