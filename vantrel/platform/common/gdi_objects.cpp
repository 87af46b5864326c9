// Handle table of GDI-like objects, and the seam services that work on it alone: bitmaps and DIB
// sections, memory device contexts, blits, palettes, brushes, cursors.
#include "vantrel/platform/common/gdi_objects.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <new>

#include "vantrel/platform/common/backend_hooks.h"
#include "vantrel/platform/common/window_table.h"

namespace vantrel::common {

namespace {
std::map<THANDLE, gdi_object> objects;
LONGWORD last_error = 0;
std::string last_error_text;

// The largest DIB section, as for files: a side of 32768 pixels, 2^28 pixels in all.
constexpr std::int64_t max_side = 32768;
constexpr std::int64_t max_pixels = std::int64_t(1) << 28;
} // namespace

backend_hooks &hook_storage() {
  static backend_hooks installed;
  return installed;
}

void set_backend_hooks(const backend_hooks &h) { hook_storage() = h; }
const backend_hooks &hooks() { return hook_storage(); }

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

std::size_t object_count() {
  return std::size_t(
      std::count_if(objects.begin(), objects.end(), [](const auto &o) { return !o.second.stock; }));
}

void forget_objects() { objects.clear(); }

void set_last_error(LONGWORD code, std::string text) {
  last_error = code;
  last_error_text = std::move(text);
}

// The twenty colours every palette screen reserves: ten at the start, ten at the end.
const TPALETTEENTRY system_colours[20] = {
    {0, 0, 0, 0},       {128, 0, 0, 0},     {0, 128, 0, 0},     {128, 128, 0, 0},
    {0, 0, 128, 0},     {128, 0, 128, 0},   {0, 128, 128, 0},   {192, 192, 192, 0},
    {192, 220, 192, 0}, {166, 202, 240, 0}, {255, 251, 240, 0}, {160, 160, 164, 0},
    {128, 128, 128, 0}, {255, 0, 0, 0},     {0, 255, 0, 0},     {255, 255, 0, 0},
    {0, 0, 255, 0},     {255, 0, 255, 0},   {0, 255, 255, 0},   {255, 255, 255, 0}};

// One object of each kind that a fresh device context starts with; made again after
// forget_objects.
THANDLE stock_object(gdi_kind kind) {
  static std::map<gdi_kind, THANDLE> made;
  THANDLE &h = made[kind];
  if (find_object(h, kind)) return h;
  gdi_object o;
  o.kind = kind;
  o.stock = true;
  if (kind == gdi_kind::bitmap) { // the 1 x 1 monochrome bitmap, one black pixel
    o.dib.width = o.dib.height = 1;
    o.dib.bpp = 1;
    o.dib.bits.assign(4, 0);
    o.dib.colors = {TRGBQUAD{0, 0, 0, 0}, TRGBQUAD{255, 255, 255, 0}};
  } else if (kind == gdi_kind::palette) {
    o.entries.assign(std::begin(system_colours), std::end(system_colours));
  } else if (kind == gdi_kind::brush) {
    o.id = -1 - WHITE_BRUSH;
  }
  h = add_object(std::move(o));
  return h;
}

namespace {

// What a device context has selected of a kind: the stock object where nothing (or something
// since deleted) is.
THANDLE current(const gdi_object &dc, gdi_kind kind) {
  THANDLE h = kind == gdi_kind::bitmap    ? dc.bitmap
              : kind == gdi_kind::palette ? dc.palette
              : kind == gdi_kind::font    ? dc.font
                                          : dc.brush;
  return find_object(h, kind) ? h : stock_object(kind);
}

const std::uint8_t *row_of(const dib_image &d, LONGINT y) {
  LONGINT row = d.top_down ? y : d.height - 1 - y;
  return d.bits.data() + dib_stride(d.width, d.bpp) * std::size_t(row);
}

// Pixel (X, Y) as 0x00RRGGBB, Y from the top; the caller keeps X and Y inside the picture.
std::uint32_t read_pixel(const dib_image &d, LONGINT x, LONGINT y) {
  const std::uint8_t *p = row_of(d, y);
  if (d.bpp == 24 || d.bpp == 32) {
    p += std::size_t(x) * (d.bpp / 8);
    return std::uint32_t(p[2]) << 16 | std::uint32_t(p[1]) << 8 | p[0];
  }
  std::size_t bit = std::size_t(x) * d.bpp;
  unsigned index = (p[bit / 8] >> (8 - d.bpp - bit % 8)) & ((1u << d.bpp) - 1);
  if (index >= d.colors.size()) return 0;
  const TRGBQUAD &c = d.colors[index];
  return std::uint32_t(c.rgbRed) << 16 | std::uint32_t(c.rgbGreen) << 8 | c.rgbBlue;
}

// Writes 0x00RRGGBB into a 24- or 32-bit picture (the fourth byte of 32-bit pixels becomes 0).
void write_pixel(dib_image &d, LONGINT x, LONGINT y, std::uint32_t rgb) {
  auto *p = const_cast<std::uint8_t *>(row_of(d, y)) + std::size_t(x) * (d.bpp / 8);
  p[0] = std::uint8_t(rgb), p[1] = std::uint8_t(rgb >> 8), p[2] = std::uint8_t(rgb >> 16);
  if (d.bpp == 32) p[3] = 0;
}

// Narrows one axis of a copy of N pixels from B (source, SIZE_B long) to A (target, SIZE_A
// long) to what lies inside both.
void clip_axis(std::int64_t &a, std::int64_t &b, std::int64_t &n, std::int64_t size_a,
               std::int64_t size_b) {
  if (a < 0) b -= a, n += a, a = 0;
  if (b < 0) a -= b, n += b, b = 0;
  n = std::min({n, size_a - a, size_b - b});
}

} // namespace

bool bitmap_pixels(THANDLE bitmap, LONGINT x, LONGINT y, LONGINT w, LONGINT h, std::uint32_t *out) {
  gdi_object *b = find_object(bitmap, gdi_kind::bitmap);
  if (!b || !out || x < 0 || y < 0 || w < 0 || h < 0 || std::int64_t(x) + w > b->dib.width ||
      std::int64_t(y) + h > b->dib.height)
    return false;
  for (LONGINT row = 0; row < h; row++)
    for (LONGINT col = 0; col < w; col++)
      *out++ = read_pixel(b->dib, x + col, y + row);
  return true;
}

bool bitmap_size(THANDLE bitmap, LONGINT *w, LONGINT *h) {
  gdi_object *b = find_object(bitmap, gdi_kind::bitmap);
  if (!b) return false;
  if (w) *w = b->dib.width;
  if (h) *h = b->dib.height;
  return true;
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

THANDLE CreateDIBSection(THANDLE, const TBITMAPINFOHEADER *info, LONGWORD usage, void **bits,
                         THANDLE section, LONGWORD) {
  if (bits) *bits = nullptr;
  auto refuse = [](LONGWORD code, const std::string &why) {
    set_last_error(code, why);
    return THANDLE(0);
  };
  if (!info) return refuse(ERROR_INVALID_PARAMETER, "no bitmap header");
  if (section)
    return refuse(ERROR_INVALID_PARAMETER, "DIB sections in file mappings are not supported");
  if (usage != DIB_RGB_COLORS)
    return refuse(ERROR_INVALID_PARAMETER, "only RGB colours are supported");
  if (info->biCompression != BI_RGB || (info->biBitCount != 24 && info->biBitCount != 32))
    return refuse(ERROR_INVALID_PARAMETER,
                  "only uncompressed 24- and 32-bit DIB sections are supported");
  std::int64_t w = info->biWidth, h = info->biHeight < 0 ? -std::int64_t(info->biHeight)
                                                         : std::int64_t(info->biHeight);
  if (info->biPlanes != 1 || w <= 0 || h <= 0 || w > max_side || h > max_side || w * h > max_pixels)
    return refuse(ERROR_INVALID_PARAMETER, "DIB section of " + std::to_string(info->biWidth) +
                                               " x " + std::to_string(info->biHeight) +
                                               " pixels in " + std::to_string(info->biPlanes) +
                                               " planes");
  gdi_object b;
  b.kind = gdi_kind::bitmap;
  b.dib.width = LONGINT(w);
  b.dib.height = LONGINT(h);
  b.dib.bpp = info->biBitCount;
  b.dib.top_down = info->biHeight < 0;
  try {
    b.dib.bits.assign(dib_stride(b.dib.width, b.dib.bpp) * std::size_t(h), 0);
  } catch (const std::bad_alloc &) {
    return refuse(ERROR_NOT_ENOUGH_MEMORY, "no memory for the DIB section's pixels");
  }
  THANDLE handle = add_object(std::move(b));
  // The vector's memory stays where it is for the object's life: nothing resizes it.
  if (bits) *bits = find_object(handle, gdi_kind::bitmap)->dib.bits.data();
  return handle;
}

LONGINT GetObjectA(THANDLE object, LONGINT size, void *buffer) {
  if (gdi_object *b = find_object(object, gdi_kind::bitmap)) {
    if (!buffer) return LONGINT(sizeof(TBITMAP));
    if (size < LONGINT(sizeof(TBITMAP))) return 0;
    *static_cast<TBITMAP *>(buffer) =
        TBITMAP{0,
                b->dib.width,
                b->dib.height,
                LONGINT(dib_stride(b->dib.width, b->dib.bpp)),
                1,
                b->dib.bpp,
                b->dib.bits.empty() || b->stock ? nullptr : b->dib.bits.data()};
    return LONGINT(sizeof(TBITMAP));
  }
  if (gdi_object *p = find_object(object, gdi_kind::palette)) {
    // A palette tells its entry count as one 16-bit word.
    if (!buffer) return 2;
    if (size < 2) return 0;
    std::uint16_t count = std::uint16_t(p->entries.size());
    std::memcpy(buffer, &count, 2);
    return 2;
  }
  return 0;
}

BOOLEAN DeleteObject(THANDLE object) {
  auto it = objects.find(object);
  if (it == objects.end()) return false;
  gdi_object &o = it->second;
  if (o.stock || o.kind == gdi_kind::dc || o.kind == gdi_kind::cursor) return false;
  // A bitmap in a device context and a window's own region are still in use.
  if ((o.kind == gdi_kind::bitmap || o.kind == gdi_kind::region) && o.selected_in) {
    set_last_error(ERROR_INVALID_PARAMETER, o.kind == gdi_kind::bitmap
                                                ? "the bitmap is selected into a device context"
                                                : "the region belongs to a window");
    return false;
  }
  if (o.kind == gdi_kind::bitmap && hooks().bitmap_deleted) hooks().bitmap_deleted(object);
  objects.erase(object);
  return true;
}

THANDLE CreateCompatibleDC(THANDLE dc) {
  if (dc && !find_object(dc, gdi_kind::dc)) {
    set_last_error(ERROR_INVALID_PARAMETER, "no device context");
    return 0;
  }
  gdi_object m;
  m.kind = gdi_kind::dc;
  m.memory = true;
  return add_object(std::move(m));
}

BOOLEAN DeleteDC(THANDLE dc) {
  gdi_object *d = find_object(dc, gdi_kind::dc);
  if (!d || !d->memory) return false;
  // What is selected stays: it belongs to whoever made it.
  if (gdi_object *b = find_object(d->bitmap, gdi_kind::bitmap))
    if (b->selected_in == dc) b->selected_in = 0;
  drop_object(dc);
  return true;
}

THANDLE SelectObject(THANDLE dc, THANDLE object) {
  gdi_object *d = find_object(dc, gdi_kind::dc);
  if (!d) {
    set_last_error(ERROR_INVALID_PARAMETER, "no device context");
    return 0;
  }
  if (gdi_object *r = find_object(object, gdi_kind::region)) {
    // A region selected is a clipping region, and the answer its kind; blits do not clip to it.
    return r->rects.empty()       ? THANDLE(NULLREGION)
           : r->rects.size() == 1 ? THANDLE(SIMPLEREGION)
                                  : THANDLE(COMPLEXREGION);
  }
  if (gdi_object *b = find_object(object, gdi_kind::bitmap)) {
    if (!d->memory) {
      set_last_error(ERROR_INVALID_PARAMETER, "bitmaps go only into memory device contexts");
      return 0;
    }
    if (b->selected_in && b->selected_in != dc) {
      set_last_error(ERROR_INVALID_PARAMETER, "the bitmap is selected into another context");
      return 0;
    }
    THANDLE previous = current(*d, gdi_kind::bitmap);
    if (gdi_object *old = find_object(d->bitmap, gdi_kind::bitmap)) old->selected_in = 0;
    b = find_object(object, gdi_kind::bitmap);
    if (!b->stock) b->selected_in = dc;
    d->bitmap = b->stock ? 0 : object;
    return previous;
  }
  gdi_kind kind;
  THANDLE *slot;
  if (find_object(object, gdi_kind::font))
    kind = gdi_kind::font, slot = &d->font;
  else if (find_object(object, gdi_kind::brush))
    kind = gdi_kind::brush, slot = &d->brush;
  else {
    set_last_error(ERROR_INVALID_PARAMETER, "not a bitmap, font, brush or region");
    return 0;
  }
  THANDLE previous = current(*d, kind);
  *slot = object;
  return previous;
}

THANDLE GetCurrentObject(THANDLE dc, LONGWORD kind) {
  gdi_object *d = find_object(dc, gdi_kind::dc);
  if (!d) return 0;
  switch (kind) {
  case OBJ_BITMAP:
    return current(*d, gdi_kind::bitmap);
  case OBJ_PAL:
    return current(*d, gdi_kind::palette);
  case OBJ_FONT:
    return current(*d, gdi_kind::font);
  case OBJ_BRUSH:
    return current(*d, gdi_kind::brush);
  default:
    return 0;
  }
}

LONGWORD GetDIBColorTable(THANDLE dc, LONGWORD start, LONGWORD count, TRGBQUAD *colors) {
  gdi_object *d = find_object(dc, gdi_kind::dc);
  gdi_object *b = d ? find_object(current(*d, gdi_kind::bitmap), gdi_kind::bitmap) : nullptr;
  // The stock bitmap is a device bitmap, which has no colour table to give.
  if (!b || b->stock || !colors) return 0;
  const auto &table = b->dib.colors;
  if (start >= table.size()) return 0;
  LONGWORD n = std::min<LONGWORD>(count, LONGWORD(table.size()) - start);
  std::copy_n(table.begin() + start, n, colors);
  return n;
}

BOOLEAN BitBlt(THANDLE dest, LONGINT x, LONGINT y, LONGINT w, LONGINT h, THANDLE src, LONGINT sx,
               LONGINT sy, LONGWORD rop) {
  if (rop != SRCCOPY) {
    set_last_error(ERROR_INVALID_PARAMETER, "only SRCCOPY blits are supported");
    return false;
  }
  gdi_object *d = find_object(dest, gdi_kind::dc), *s = find_object(src, gdi_kind::dc);
  if (!d || !s) {
    set_last_error(ERROR_INVALID_PARAMETER, "no device context");
    return false;
  }
  if (!s->memory) {
    set_last_error(ERROR_INVALID_PARAMETER, "blits read only from memory device contexts");
    return false;
  }
  THANDLE source = current(*s, gdi_kind::bitmap);
  const dib_image &from = find_object(source, gdi_kind::bitmap)->dib;
  std::int64_t dx = x, dy = y, fx = sx, fy = sy, n = w, m = h;
  if (d->memory) {
    gdi_object *target = find_object(current(*d, gdi_kind::bitmap), gdi_kind::bitmap);
    dib_image &to = target->dib;
    if (to.bpp != 24 && to.bpp != 32) {
      set_last_error(ERROR_INVALID_PARAMETER, "blits write only into 24- and 32-bit bitmaps");
      return false;
    }
    clip_axis(dx, fx, n, to.width, from.width);
    clip_axis(dy, fy, m, to.height, from.height);
    if (n <= 0 || m <= 0) return true;
    // A picture copied onto itself is read whole first, so overlapping parts read right.
    bool same = &to == &from;
    std::vector<std::uint32_t> held(same ? std::size_t(n * m) : std::size_t(n));
    for (std::int64_t row = 0; row < m; row++) {
      std::uint32_t *line = held.data() + (same ? std::size_t(row * n) : 0);
      for (std::int64_t col = 0; col < n; col++)
        line[col] = read_pixel(from, LONGINT(fx + col), LONGINT(fy + row));
      if (!same)
        for (std::int64_t col = 0; col < n; col++)
          write_pixel(to, LONGINT(dx + col), LONGINT(dy + row), line[col]);
    }
    if (same)
      for (std::int64_t row = 0; row < m; row++)
        for (std::int64_t col = 0; col < n; col++)
          write_pixel(to, LONGINT(dx + col), LONGINT(dy + row), held[std::size_t(row * n + col)]);
    return true;
  }
  window *win = find_window(d->window);
  if (!win) {
    set_last_error(ERROR_INVALID_PARAMETER, "blits onto the screen itself are not supported");
    return false;
  }
  clip_axis(dx, fx, n, win->client.RIGHT - win->client.LEFT, from.width);
  clip_axis(dy, fy, m, win->client.BOTTOM - win->client.TOP, from.height);
  if (n > 0 && m > 0 && hooks().paint_bitmap)
    hooks().paint_bitmap(d->window, LONGINT(dx), LONGINT(dy), LONGINT(n), LONGINT(m), source,
                         LONGINT(fx), LONGINT(fy));
  return true;
}

// ---- Palettes ----

THANDLE CreatePalette(const TPALETTEENTRY *entries, LONGWORD count) {
  // A logical palette counts its entries in a 16-bit word.
  if (!entries || count == 0 || count > 0xFFFF) {
    set_last_error(ERROR_INVALID_PARAMETER,
                   "a palette has 1 to 65535 entries, not " + std::to_string(count));
    return 0;
  }
  gdi_object p;
  p.kind = gdi_kind::palette;
  p.entries.assign(entries, entries + count);
  return add_object(std::move(p));
}

// The halftone palette is fixed, made from no picture: entries 0-9 and 246-255 are the twenty
// system colours, 10-225 the 6 x 6 x 6 cube of levels 0, 51, .., 255 (entry 10 + 36 r + 6 g +
// b), 226-245 twenty greys between the cube's, (i * 255 + 10) / 21 for i = 1 .. 20.
THANDLE CreateHalftonePalette(THANDLE) {
  std::vector<TPALETTEENTRY> e(256);
  for (int i = 0; i < 10; i++)
    e[std::size_t(i)] = system_colours[i], e[std::size_t(246 + i)] = system_colours[10 + i];
  for (int r = 0; r < 6; r++)
    for (int g = 0; g < 6; g++)
      for (int b = 0; b < 6; b++)
        e[std::size_t(10 + 36 * r + 6 * g + b)] = {std::uint8_t(51 * r), std::uint8_t(51 * g),
                                                   std::uint8_t(51 * b), 0};
  for (int i = 1; i <= 20; i++) {
    auto v = std::uint8_t((i * 255 + 10) / 21);
    e[std::size_t(225 + i)] = {v, v, v, 0};
  }
  return CreatePalette(e.data(), 256);
}

LONGWORD GetPaletteEntries(THANDLE palette, LONGWORD start, LONGWORD count,
                           TPALETTEENTRY *entries) {
  gdi_object *p = find_object(palette, gdi_kind::palette);
  if (!p) return 0;
  if (!entries) return LONGWORD(p->entries.size());
  if (start >= p->entries.size()) return 0;
  LONGWORD n = std::min<LONGWORD>(count, LONGWORD(p->entries.size()) - start);
  std::copy_n(p->entries.begin() + start, n, entries);
  return n;
}

THANDLE SelectPalette(THANDLE dc, THANDLE palette, BOOLEAN) {
  gdi_object *d = find_object(dc, gdi_kind::dc);
  gdi_object *p = find_object(palette, gdi_kind::palette);
  if (!d || !p) {
    set_last_error(ERROR_INVALID_PARAMETER, d ? "not a palette" : "no device context");
    return 0;
  }
  THANDLE previous = current(*d, gdi_kind::palette);
  d->palette = p->stock ? 0 : palette;
  return previous;
}

// Windows here are true-colour: realising maps no entry into a system palette.
LONGWORD RealizePalette(THANDLE dc) { return find_object(dc, gdi_kind::dc) ? 0 : 0xFFFFFFFFu; }

// ---- Brushes, icons, cursors ----

THANDLE GetDC(THANDLE window) {
  // Window 0 is the screen, which has a context but nothing to draw on.
  if (window && !find_window(window)) return 0;
  gdi_object dc;
  dc.kind = gdi_kind::dc;
  dc.window = window;
  return add_object(std::move(dc));
}

LONGINT ReleaseDC(THANDLE, THANDLE dc) {
  if (!find_object(dc, gdi_kind::dc)) return 0;
  drop_object(dc);
  return 1;
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
