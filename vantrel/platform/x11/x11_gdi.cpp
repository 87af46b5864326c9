// The shared GDI objects on the X server: bitmaps held as pixmaps and copied onto windows,
// background erases filled onto windows, window regions as XShape bounding and input shapes.
#include <X11/extensions/shape.h>

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <map>
#include <vector>

#include "vantrel/platform/common/backend_hooks.h"
#include "vantrel/platform/common/gdi_objects.h"
#include "vantrel/platform/x11/x11_internal.h"

namespace vantrel::x11 {
namespace {

constexpr LONGINT max_pixmap_side = 32767; // X coordinates are 16-bit signed

// A bitmap's pixels on the server. The hash of the pixels it was made from tells whether a
// DIB section was written since, so a changed picture is uploaded again.
struct cached_pixmap {
  Pixmap pixmap = 0;
  int depth = 0;
  LONGINT width = 0, height = 0;
  std::uint64_t hash = 0;
};
std::map<THANDLE, cached_pixmap> pixmaps;
std::map<int, GC> gcs; // one per drawable depth: a GC only draws on drawables of its own

// One colour channel of a TrueColor visual.
struct channel {
  unsigned long mask = 0;
  int shift = 0, bits = 0;
};

struct visual_format {
  bool usable = false;
  int depth = 0;
  Visual *visual = nullptr;
  channel red, green, blue;
};
std::map<VisualID, visual_format> visual_formats;

channel channel_of(unsigned long mask) {
  channel c;
  c.mask = mask;
  c.shift = mask ? std::countr_zero(mask) : 0;
  c.bits = std::popcount(mask);
  return c;
}

const visual_format &format_of(Display *d, VisualID id) {
  auto it = visual_formats.find(id);
  if (it != visual_formats.end()) return it->second;
  visual_format f;
  XVisualInfo tmpl{};
  tmpl.visualid = id;
  int count = 0;
  XVisualInfo *vi = XGetVisualInfo(d, VisualIDMask, &tmpl, &count);
  if (vi && count > 0 && (vi->c_class == TrueColor || vi->c_class == DirectColor)) {
    f.usable = true;
    f.depth = vi->depth;
    f.visual = vi->visual;
    f.red = channel_of(vi->red_mask);
    f.green = channel_of(vi->green_mask);
    f.blue = channel_of(vi->blue_mask);
  }
  if (vi) XFree(vi);
  return visual_formats[id] = f;
}

unsigned long scale(std::uint32_t value8, const channel &c) {
  if (c.bits == 0) return 0;
  unsigned long top = (1ul << c.bits) - 1;
  return ((value8 * top + 127) / 255) << c.shift;
}

unsigned long pixel_value(std::uint32_t rgb, const visual_format &f) {
  return scale((rgb >> 16) & 0xFF, f.red) | scale((rgb >> 8) & 0xFF, f.green) |
         scale(rgb & 0xFF, f.blue);
}

std::uint64_t hash_pixels(const std::vector<std::uint32_t> &pixels) {
  std::uint64_t h = 1469598103934665603ull; // FNV-1a
  for (std::uint32_t p : pixels) {
    h ^= p;
    h *= 1099511628211ull;
  }
  return h;
}

GC gc_for(Display *d, Drawable drawable, int depth) {
  GC &gc = gcs[depth];
  if (!gc) {
    XGCValues values{};
    values.graphics_exposures = False; // nobody waits for the events of copies from pixmaps
    gc = XCreateGC(d, drawable, GCGraphicsExposures, &values);
  }
  return gc;
}

// Builds the XImage of W x H pixels in the visual's layout and puts it onto PIXMAP.
bool upload(Display *d, const visual_format &f, Pixmap pixmap, LONGINT w, LONGINT h,
            const std::vector<std::uint32_t> &pixels) {
  XImage *image = XCreateImage(d, f.visual, unsigned(f.depth), ZPixmap, 0, nullptr, unsigned(w),
                               unsigned(h), 32, 0);
  if (!image) return false;
  image->data = static_cast<char *>(std::malloc(std::size_t(image->bytes_per_line) * h));
  if (!image->data) {
    XDestroyImage(image);
    return false;
  }
  bool host_order = (image->byte_order == LSBFirst) == (std::endian::native == std::endian::little);
  for (LONGINT y = 0; y < h; y++) {
    const std::uint32_t *row = pixels.data() + std::size_t(y) * w;
    char *line = image->data + std::size_t(y) * image->bytes_per_line;
    if (image->bits_per_pixel == 32 && host_order) {
      for (LONGINT x = 0; x < w; x++) {
        std::uint32_t v = std::uint32_t(pixel_value(row[x], f));
        std::memcpy(line + 4 * x, &v, 4);
      }
    } else {
      for (LONGINT x = 0; x < w; x++)
        XPutPixel(image, x, y, pixel_value(row[x], f));
    }
  }
  XPutImage(d, pixmap, gc_for(d, pixmap, f.depth), image, 0, 0, 0, 0, unsigned(w), unsigned(h));
  XDestroyImage(image); // frees the pixel buffer too
  return true;
}

void free_pixmap(Display *d, cached_pixmap &c) {
  if (d && c.pixmap) XFreePixmap(d, c.pixmap);
  c.pixmap = 0;
}

// The pixmap holding BITMAP at DEPTH, made or refreshed from its current pixels.
const cached_pixmap *pixmap_for(Display *d, THANDLE bitmap, const visual_format &f, Window xid) {
  LONGINT w = 0, h = 0;
  if (!common::bitmap_size(bitmap, &w, &h) || w <= 0 || h <= 0 || w > max_pixmap_side ||
      h > max_pixmap_side)
    return nullptr;
  std::vector<std::uint32_t> pixels(std::size_t(w) * std::size_t(h));
  if (!common::bitmap_pixels(bitmap, 0, 0, w, h, pixels.data())) return nullptr;
  std::uint64_t hash = hash_pixels(pixels);
  cached_pixmap &c = pixmaps[bitmap];
  if (c.pixmap && c.depth == f.depth && c.width == w && c.height == h && c.hash == hash) return &c;
  if (!c.pixmap || c.depth != f.depth || c.width != w || c.height != h) {
    free_pixmap(d, c);
    c.pixmap = XCreatePixmap(d, xid, unsigned(w), unsigned(h), unsigned(f.depth));
    c.depth = f.depth, c.width = w, c.height = h;
  }
  if (!c.pixmap || !upload(d, f, c.pixmap, w, h, pixels)) {
    free_pixmap(d, c);
    pixmaps.erase(bitmap);
    return nullptr;
  }
  c.hash = hash;
  return &c;
}

void paint_bitmap(THANDLE window, LONGINT x, LONGINT y, LONGINT w, LONGINT h, THANDLE source,
                  LONGINT sx, LONGINT sy) {
  Display *d = display();
  x11_window *n = native(window);
  if (!d || !n || w <= 0 || h <= 0) return;
  const visual_format &f = format_of(d, n->visual);
  if (!f.usable) return; // only TrueColor windows are painted
  const cached_pixmap *c = pixmap_for(d, source, f, n->xid);
  if (!c) return;
  // Only the part of the source rectangle that lies inside the picture is copied.
  if (sx < 0) x -= sx, w += sx, sx = 0;
  if (sy < 0) y -= sy, h += sy, sy = 0;
  w = std::min(w, c->width - sx);
  h = std::min(h, c->height - sy);
  if (w <= 0 || h <= 0 || x > max_pixmap_side || y > max_pixmap_side || x < -max_pixmap_side ||
      y < -max_pixmap_side)
    return;
  XCopyArea(d, c->pixmap, n->xid, gc_for(d, n->xid, f.depth), sx, sy, unsigned(w), unsigned(h), x,
            y);
  XFlush(d);
}

void fill_rect(THANDLE window, const TRECT &r, std::uint32_t rgb) {
  Display *d = display();
  x11_window *n = native(window);
  if (!d || !n) return;
  const visual_format &f = format_of(d, n->visual);
  if (!f.usable) return;
  LONGINT l = std::max(r.LEFT, 0), t = std::max(r.TOP, 0);
  LONGINT right = std::min(r.RIGHT, max_pixmap_side), bottom = std::min(r.BOTTOM, max_pixmap_side);
  if (right <= l || bottom <= t) return;
  // Children are left alone (the GC clips by them), as WS_CLIPCHILDREN keeps them on Win32.
  GC gc = gc_for(d, n->xid, f.depth);
  XSetForeground(d, gc, pixel_value(rgb, f));
  XFillRectangle(d, n->xid, gc, int(l), int(t), unsigned(right - l), unsigned(bottom - t));
  XFlush(d);
}

void bitmap_deleted(THANDLE bitmap) {
  auto it = pixmaps.find(bitmap);
  if (it == pixmaps.end()) return;
  free_pixmap(display(), it->second);
  pixmaps.erase(it);
}

bool shape_available(Display *d) {
  static Display *checked = nullptr;
  static bool available = false;
  if (checked != d) {
    int event_base = 0, error_base = 0;
    available = XShapeQueryExtension(d, &event_base, &error_base);
    checked = d;
  }
  return available;
}

void region_changed(THANDLE window) {
  Display *d = display();
  common::window *w = common::find_window(window);
  x11_window *n = w ? native(*w) : nullptr;
  if (!d || !n || !shape_available(d)) return;
  const std::vector<TRECT> *rects = w->region ? common::region_rects(w->region) : nullptr;
  if (!rects) {
    XShapeCombineMask(d, n->xid, ShapeBounding, 0, 0, None, ShapeSet);
    XShapeCombineMask(d, n->xid, ShapeInput, 0, 0, None, ShapeSet);
    XFlush(d);
    return;
  }
  // Region coordinates count from the window's outer corner, X shapes from the client's.
  LONGINT ox = -w->client.LEFT, oy = -w->client.TOP;
  std::vector<XRectangle> xrects;
  xrects.reserve(rects->size());
  for (const TRECT &r : *rects) {
    LONGINT l = std::max(r.LEFT + ox, -max_pixmap_side), t = std::max(r.TOP + oy, -max_pixmap_side);
    LONGINT rr = std::min(r.RIGHT + ox, max_pixmap_side),
            b = std::min(r.BOTTOM + oy, max_pixmap_side);
    if (rr <= l || b <= t) continue;
    // Clamped to X's 16-bit coordinates, each side is at most 65534 long.
    xrects.push_back(
        XRectangle{short(l), short(t), (unsigned short)(rr - l), (unsigned short)(b - t)});
  }
  // An empty region leaves nothing of the window to see or to click, as on Win32.
  XShapeCombineRectangles(d, n->xid, ShapeBounding, 0, 0, xrects.data(), int(xrects.size()),
                          ShapeSet, Unsorted);
  XShapeCombineRectangles(d, n->xid, ShapeInput, 0, 0, xrects.data(), int(xrects.size()), ShapeSet,
                          Unsorted);
  XFlush(d);
}

} // namespace

unsigned long colour_pixel(VisualID visual, std::uint32_t rgb) {
  Display *d = display();
  if (!d) return 0;
  const visual_format &f = format_of(d, visual);
  return f.usable ? pixel_value(rgb, f) : BlackPixel(d, DefaultScreen(d));
}

void install_backend_hooks() {
  common::backend_hooks h;
  h.paint_bitmap = paint_bitmap;
  h.bitmap_deleted = bitmap_deleted;
  h.region_changed = region_changed;
  h.paint_status_bar = paint_status_bar;
  h.fill_rect = fill_rect;
  h.menu_bar_changed = menu_bar_changed;
  h.menu_bar_title = menu_bar_title_at_screen;
  install_menu_hook(h);
  common::set_backend_hooks(h);
}

void reset_gdi() {
  Display *d = display();
  for (auto &[handle, c] : pixmaps)
    free_pixmap(d, c);
  pixmaps.clear();
  if (d)
    for (auto &[depth, gc] : gcs)
      XFreeGC(d, gc);
  gcs.clear();
  visual_formats.clear();
}

} // namespace vantrel::x11
