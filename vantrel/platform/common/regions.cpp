// Regions as bands of rectangles, the way a window system clips: each band is a run of rows
// with the same spans. Boolean operations walk two band lists together, so combining a region
// of thousands of rows stays linear in its size.
#include <algorithm>
#include <cstdint>

#include "vantrel/platform/common/backend_hooks.h"
#include "vantrel/platform/common/gdi_objects.h"
#include "vantrel/platform/common/window_table.h"

namespace vantrel::common {
namespace {

struct span {
  LONGINT left, right;
  bool operator==(const span &o) const { return left == o.left && right == o.right; }
};
struct band {
  LONGINT top, bottom;
  std::vector<span> spans; // ordered, disjoint, not touching
};
using bands = std::vector<band>;

bands to_bands(const std::vector<TRECT> &rects) {
  bands out;
  for (const TRECT &r : rects) {
    if (out.empty() || out.back().top != r.TOP) out.push_back({r.TOP, r.BOTTOM, {}});
    out.back().spans.push_back({r.LEFT, r.RIGHT});
  }
  return out;
}

std::vector<TRECT> to_rects(const bands &b) {
  std::vector<TRECT> out;
  for (const band &x : b)
    for (const span &s : x.spans)
      out.push_back({s.left, x.top, s.right, x.bottom});
  return out;
}

bool inside(LONGINT mode, bool a, bool b) {
  switch (mode) {
  case RGN_AND:
    return a && b;
  case RGN_XOR:
    return a != b;
  case RGN_DIFF:
    return a && !b;
  default:
    return a || b;
  }
}

// One row's spans of A MODE B, by walking the edges of both from the left.
std::vector<span> combine_spans(const std::vector<span> &a, const std::vector<span> &b,
                                LONGINT mode) {
  std::vector<span> out;
  std::size_t i = 0, j = 0; // edge indices: 2k is span k's left edge, 2k + 1 its right
  bool in_a = false, in_b = false, in = false;
  LONGINT start = 0;
  auto edge = [](const std::vector<span> &v, std::size_t k) {
    return k % 2 ? v[k / 2].right : v[k / 2].left;
  };
  while (i < 2 * a.size() || j < 2 * b.size()) {
    LONGINT x = i < 2 * a.size() ? edge(a, i) : edge(b, j);
    if (j < 2 * b.size()) x = std::min(x, edge(b, j));
    while (i < 2 * a.size() && edge(a, i) == x)
      in_a = !in_a, i++;
    while (j < 2 * b.size() && edge(b, j) == x)
      in_b = !in_b, j++;
    bool now = inside(mode, in_a, in_b);
    if (now && !in) start = x;
    if (!now && in) out.push_back({start, x});
    in = now;
  }
  return out;
}

void append(bands &out, LONGINT top, LONGINT bottom, std::vector<span> spans) {
  if (spans.empty() || top >= bottom) return;
  // A band that continues the one above with the same spans makes it taller instead.
  if (!out.empty() && out.back().bottom == top && out.back().spans == spans) {
    out.back().bottom = bottom;
    return;
  }
  out.push_back({top, bottom, std::move(spans)});
}

bands combine(const bands &a, const bands &b, LONGINT mode) {
  bands out;
  const std::vector<span> none;
  std::size_t i = 0, j = 0;
  LONGINT y = INT32_MIN;
  while (i < a.size() || j < b.size()) {
    // The next stretch of rows over which neither side changes; rows above both sides' next
    // bands belong to neither and are skipped.
    LONGINT lowest = i < a.size() ? a[i].top : b[j].top;
    if (j < b.size()) lowest = std::min(lowest, b[j].top);
    y = std::max(y, lowest);
    bool on_a = i < a.size() && a[i].top <= y, on_b = j < b.size() && b[j].top <= y;
    LONGINT next = INT32_MAX;
    if (i < a.size()) next = std::min(next, on_a ? a[i].bottom : a[i].top);
    if (j < b.size()) next = std::min(next, on_b ? b[j].bottom : b[j].top);
    append(out, y, next, combine_spans(on_a ? a[i].spans : none, on_b ? b[j].spans : none, mode));
    y = next;
    if (i < a.size() && a[i].bottom <= y) i++;
    if (j < b.size() && b[j].bottom <= y) j++;
  }
  return out;
}

// The union of arbitrary rectangles, halving the list until single rectangles remain.
bands union_of(const TRECT *rects, std::size_t count) {
  if (count == 0) return {};
  if (count == 1) {
    const TRECT &r = rects[0];
    if (r.LEFT >= r.RIGHT || r.TOP >= r.BOTTOM) return {};
    return {band{r.TOP, r.BOTTOM, {span{r.LEFT, r.RIGHT}}}};
  }
  std::size_t half = count / 2;
  return combine(union_of(rects, half), union_of(rects + half, count - half), RGN_OR);
}

LONGINT kind_of(const std::vector<TRECT> &rects) {
  return rects.empty() ? NULLREGION : rects.size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

} // namespace

const std::vector<TRECT> *region_rects(THANDLE region) {
  gdi_object *r = find_object(region, gdi_kind::region);
  return r ? &r->rects : nullptr;
}

void release_window_region(window &w) {
  if (gdi_object *r = find_object(w.region, gdi_kind::region)) {
    r->selected_in = 0;
    platform::DeleteObject(w.region);
  }
  w.region = 0;
}

} // namespace vantrel::common

namespace vantrel::platform {
using namespace vantrel::common;

THANDLE ExtCreateRegion(const TRECT *rects, LONGWORD count) {
  if (count && !rects) {
    set_last_error(ERROR_INVALID_PARAMETER, "no rectangles");
    return 0;
  }
  gdi_object r;
  r.kind = gdi_kind::region;
  r.rects = to_rects(union_of(rects, count));
  return add_object(std::move(r));
}

LONGINT CombineRgn(THANDLE dest, THANDLE src1, THANDLE src2, LONGINT mode) {
  gdi_object *d = find_object(dest, gdi_kind::region);
  gdi_object *a = find_object(src1, gdi_kind::region);
  gdi_object *b = mode == RGN_COPY ? a : find_object(src2, gdi_kind::region);
  if (!d || !a || !b || mode < RGN_AND || mode > RGN_COPY) {
    set_last_error(ERROR_INVALID_PARAMETER, "CombineRgn needs regions and a mode of 1 to 5");
    return RGN_ERROR;
  }
  std::vector<TRECT> result =
      mode == RGN_COPY ? a->rects : to_rects(combine(to_bands(a->rects), to_bands(b->rects), mode));
  d->rects = std::move(result);
  return kind_of(d->rects);
}

BOOLEAN PtInRegion(THANDLE region, LONGINT x, LONGINT y) {
  const std::vector<TRECT> *rects = region_rects(region);
  if (!rects) return false;
  // Bands grow downward, so the first rectangle ending below Y starts the only band that can hold
  // it.
  auto it = std::upper_bound(rects->begin(), rects->end(), y,
                             [](LONGINT v, const TRECT &r) { return v < r.BOTTOM; });
  for (; it != rects->end() && it->TOP <= y && y < it->BOTTOM; ++it)
    if (x >= it->LEFT && x < it->RIGHT) return true;
  return false;
}

LONGINT GetRgnBox(THANDLE region, TRECT *box) {
  const std::vector<TRECT> *rects = region_rects(region);
  if (!rects || !box) return RGN_ERROR;
  if (rects->empty()) {
    *box = {0, 0, 0, 0};
    return NULLREGION;
  }
  TRECT b{rects->front().LEFT, rects->front().TOP, rects->front().RIGHT, rects->back().BOTTOM};
  for (const TRECT &r : *rects)
    b.LEFT = std::min(b.LEFT, r.LEFT), b.RIGHT = std::max(b.RIGHT, r.RIGHT);
  *box = b;
  return kind_of(*rects);
}

LONGINT SetWindowRgn(THANDLE hwnd, THANDLE region, BOOLEAN redraw) {
  window *w = find_window(hwnd);
  gdi_object *r = find_object(region, gdi_kind::region);
  if (!w || (region && !r) || (r && r->selected_in && r->selected_in != hwnd)) {
    set_last_error(ERROR_INVALID_PARAMETER, w ? "not a free region" : "no such window");
    return 0;
  }
  if (w->region != region) release_window_region(*w);
  w->region = region;
  if (r) r->selected_in = hwnd;
  if (hooks().region_changed) hooks().region_changed(hwnd);
  if (redraw) InvalidateRect(hwnd, nullptr, true);
  return 1;
}

} // namespace vantrel::platform
