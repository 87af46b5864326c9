// Headless backend: a window's picture, put together from what blits left on its canvas and on
// the canvases of its child windows, each clipped to its window's region as a screen would.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "vantrel/platform/common/gdi_objects.h"
#include "vantrel/platform/common/window_table.h"
#include "vantrel/platform/headless/headless_platform.h"

namespace vantrel::headless {
namespace {

struct picture {
  LONGINT width = 0, height = 0;
  std::vector<std::uint32_t> pixels;
};

// Which client pixels of W lie inside its region; all of them when it has none.
std::vector<bool> inside_region(const common::window &w, LONGINT width, LONGINT height) {
  const std::vector<TRECT> *rects = w.region ? common::region_rects(w.region) : nullptr;
  std::vector<bool> inside(std::size_t(width) * std::size_t(height), rects == nullptr);
  if (!rects) return inside;
  // Region coordinates count from the window's outer corner, the canvas from the client's.
  for (const TRECT &r : *rects)
    for (LONGINT y = std::max(r.TOP - w.client.TOP, 0);
         y < std::min(r.BOTTOM - w.client.TOP, height); y++)
      for (LONGINT x = std::max(r.LEFT - w.client.LEFT, 0);
           x < std::min(r.RIGHT - w.client.LEFT, width); x++)
        inside[std::size_t(y) * std::size_t(width) + std::size_t(x)] = true;
  return inside;
}

picture compose(const common::window &w) {
  picture p;
  p.width = w.client.RIGHT - w.client.LEFT;
  p.height = w.client.BOTTOM - w.client.TOP;
  p.pixels = window_pixels(w.handle);
  p.pixels.resize(std::size_t(p.width) * std::size_t(p.height), 0);
  for (THANDLE handle : common::child_windows(w.handle)) {
    const common::window *c = common::find_window(handle);
    if (!c || !c->visible) continue;
    picture child = compose(*c);
    std::vector<bool> inside = inside_region(*c, child.width, child.height);
    // A child's rectangle is in its parent's client pixels.
    LONGINT ox = c->rect.LEFT + c->client.LEFT, oy = c->rect.TOP + c->client.TOP;
    for (LONGINT y = 0; y < child.height; y++)
      for (LONGINT x = 0; x < child.width; x++) {
        LONGINT px = ox + x, py = oy + y;
        std::size_t from = std::size_t(y) * std::size_t(child.width) + std::size_t(x);
        if (px < 0 || py < 0 || px >= p.width || py >= p.height || !inside[from]) continue;
        p.pixels[std::size_t(py) * std::size_t(p.width) + std::size_t(px)] = child.pixels[from];
      }
  }
  return p;
}

} // namespace
} // namespace vantrel::headless

namespace vantrel::headless {

BOOLEAN GetWindowPixels(THANDLE WINDOW, LONGINT *W, LONGINT *H, std::uint32_t *PIXELS) {
  const common::window *w = common::find_window(WINDOW);
  if (!w || !W || !H) return false;
  LONGINT width = w->client.RIGHT - w->client.LEFT, height = w->client.BOTTOM - w->client.TOP;
  if (!PIXELS) {
    *W = width, *H = height;
    return true;
  }
  if (*W != width || *H != height) return false;
  headless::picture p = headless::compose(*w);
  // Outside the window's own shape there is nothing of it to see.
  std::vector<bool> inside = headless::inside_region(*w, width, height);
  for (std::size_t i = 0; i < p.pixels.size(); i++)
    PIXELS[i] = inside[i] ? p.pixels[i] : 0;
  return true;
}

} // namespace vantrel::headless
