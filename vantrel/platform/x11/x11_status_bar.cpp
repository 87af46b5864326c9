// The status window's face on X: a bar in the system's button face, each part's text in a small
// sans font drawn with Xft, and a sunken separator at the right edge of every part that ends
// inside.
#include <X11/Xft/Xft.h>

#include <algorithm>

#include "vantrel/platform/common/status_bar.h"
#include "vantrel/platform/common/window_paint.h"
#include "vantrel/platform/x11/x11_internal.h"

namespace vantrel::x11 {
namespace {

// The font is opened once per connection and kept until reset.
Display *font_display = nullptr;
XftFont *font = nullptr;

XftFont *status_font(Display *d) {
  if (font_display != d) {
    if (font && font_display) XftFontClose(font_display, font);
    font = XftFontOpenName(d, DefaultScreen(d), "sans-serif:size=9");
    font_display = d;
  }
  return font;
}

XRenderColor rgb(std::uint32_t c) {
  return XRenderColor{std::uint16_t(((c >> 16) & 0xFF) * 257),
                      std::uint16_t(((c >> 8) & 0xFF) * 257), std::uint16_t((c & 0xFF) * 257),
                      0xFFFF};
}

// The colours one paint needs, allocated for the window's visual and freed after it.
struct palette {
  Display *d;
  Visual *visual;
  Colormap colormap;
  XftColor face{}, shadow{}, light{}, ink{};
  int allocated = 0;
  palette(Display *dpy, Visual *v, Colormap c) : d(dpy), visual(v), colormap(c) {
    // The system's button colours: face, shadow, highlight and text.
    XRenderColor values[4] = {
        rgb(common::system_colour(COLOR_BTNFACE)), rgb(common::system_colour(COLOR_BTNSHADOW)),
        rgb(common::system_colour(COLOR_BTNHIGHLIGHT)), rgb(common::system_colour(COLOR_BTNTEXT))};
    XftColor *targets[4] = {&face, &shadow, &light, &ink};
    for (; allocated < 4; allocated++)
      if (!XftColorAllocValue(d, visual, colormap, &values[allocated], targets[allocated])) break;
  }
  ~palette() {
    XftColor *targets[4] = {&face, &shadow, &light, &ink};
    for (int i = 0; i < allocated; i++)
      XftColorFree(d, visual, colormap, targets[i]);
  }
  palette(const palette &) = delete;
  palette &operator=(const palette &) = delete;
  bool complete() const { return allocated == 4; }
};

} // namespace

void paint_status_bar(THANDLE window) {
  Display *d = display();
  x11_window *n = native(window);
  const common::status_bar *bar = common::status_bar_of(window);
  if (!d || !n || !bar) return;
  XWindowAttributes wa;
  if (!XGetWindowAttributes(d, n->xid, &wa) || wa.c_class != InputOutput) return;
  palette colours(d, wa.visual, wa.colormap);
  if (!colours.complete()) return;
  XftDraw *draw = XftDrawCreate(d, n->xid, wa.visual, wa.colormap);
  if (!draw) return;
  int width = wa.width, height = wa.height;
  XftDrawRect(draw, &colours.face, 0, 0, unsigned(width), unsigned(height));

  // A bar without parts shows its first text across the whole width.
  std::size_t parts = std::max<std::size_t>(bar->edges.size(), 1);
  XftFont *f = status_font(d);
  int left = 0;
  for (std::size_t i = 0; i < parts && left < width; i++) {
    LONGINT edge = i < bar->edges.size() ? bar->edges[i] : -1;
    int right = edge < 0 || edge > width ? width : int(edge);
    if (right <= left) continue; // edges that go backwards leave no room for the part
    if (right < width) {
      // Sunken: a shadow line with a highlight beside it, short of the bar's top and bottom.
      int top = 2, length = std::max(0, height - 4);
      XftDrawRect(draw, &colours.shadow, right - 2, top, 1, unsigned(length));
      XftDrawRect(draw, &colours.light, right - 1, top, 1, unsigned(length));
    }
    const std::string text = i < bar->texts.size() ? bar->texts[i] : std::string();
    if (f && !text.empty() && right - left > 6) {
      std::string utf8 = window_text_utf8(text.c_str());
      // The text never runs into the next part.
      XRectangle clip{short(left + 1), 0, (unsigned short)(right - left - 3),
                      (unsigned short)height};
      XftDrawSetClipRectangles(draw, 0, 0, &clip, 1);
      int baseline = (height - (f->ascent + f->descent)) / 2 + f->ascent;
      XftDrawStringUtf8(draw, &colours.ink, f, left + 4, baseline,
                        reinterpret_cast<const FcChar8 *>(utf8.data()), int(utf8.size()));
      XftDrawSetClip(draw, nullptr);
    }
    left = right;
  }
  XftDrawDestroy(draw);
  XFlush(d);
}

void reset_status_bar() {
  if (font && font_display) XftFontClose(font_display, font);
  font = nullptr;
  font_display = nullptr;
}

} // namespace vantrel::x11
