// x11 backend: a window's picture, read back from the server (XGetImage) as it is shown, its
// child windows included.
#include <cstdint>

#include "vantrel/platform/x11/x11_internal.h"

namespace vantrel::x11 {
namespace {

// Where a colour channel lies in a pixel of the window's visual, as a shift and a width.
void channel(unsigned long mask, int *shift, int *bits) {
  *shift = 0, *bits = 0;
  if (!mask) return;
  while (!(mask & 1))
    mask >>= 1, ++*shift;
  while (mask & 1)
    mask >>= 1, ++*bits;
}

std::uint32_t to_8_bits(unsigned long value, int bits) {
  if (bits <= 0) return 0;
  if (bits >= 8) return std::uint32_t(value >> (bits - 8)) & 0xFF;
  return std::uint32_t(value * 255 / ((1ul << bits) - 1));
}

} // namespace

BOOLEAN GetWindowPixels(THANDLE WINDOW, LONGINT *W, LONGINT *H, std::uint32_t *PIXELS) {
  const common::window *w = common::find_window(WINDOW);
  x11::x11_window *n = x11::native(WINDOW);
  Display *d = x11::display();
  if (!w || !n || !n->xid || !d || !W || !H) return false;
  LONGINT width = w->client.RIGHT - w->client.LEFT, height = w->client.BOTTOM - w->client.TOP;
  if (!PIXELS) {
    *W = width, *H = height;
    return true;
  }
  if (*W != width || *H != height || width < 1 || height < 1) return false;
  // Only a window on the screen has pixels to read: XGetImage refuses any other.
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(d, n->xid, &attributes) || attributes.map_state != IsViewable)
    return false;
  x11::install_error_handler();
  x11::sync_error(d);
  XImage *image = XGetImage(d, n->xid, 0, 0, unsigned(width), unsigned(height), AllPlanes, ZPixmap);
  if (x11::sync_error(d) != 0 || !image) {
    if (image) XDestroyImage(image);
    return false;
  }
  int rs, rb, gs, gb, bs, bb;
  channel(image->red_mask, &rs, &rb);
  channel(image->green_mask, &gs, &gb);
  channel(image->blue_mask, &bs, &bb);
  for (LONGINT y = 0; y < height; y++)
    for (LONGINT x = 0; x < width; x++) {
      unsigned long v = XGetPixel(image, x, y);
      PIXELS[std::size_t(y) * std::size_t(width) + std::size_t(x)] =
          to_8_bits((v & image->red_mask) >> rs, rb) << 16 |
          to_8_bits((v & image->green_mask) >> gs, gb) << 8 |
          to_8_bits((v & image->blue_mask) >> bs, bb);
    }
  XDestroyImage(image);
  return true;
}

} // namespace vantrel::x11
