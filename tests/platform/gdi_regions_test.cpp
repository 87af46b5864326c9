// Regions, window regions and the status window of the shared GDI.
#include <functional>

#include "tests/support/gl_fixture.h"
#include "vantrel/platform/common/backend_hooks.h"
#include "vantrel/platform/common/gdi_objects.h"
#include "vantrel/platform/common/status_bar.h"

namespace vantrel::test {
namespace {

class GdiRegions : public GLTest {};

THANDLE region(std::vector<TRECT> rects) {
  return platform::ExtCreateRegion(rects.data(), LONGWORD(rects.size()));
}

// Every point of -2..24 squared is in the region exactly when WANT says so, and the region's
// rectangles are disjoint in bands.
void expect_region(THANDLE r, const std::function<bool(int, int)> &want) {
  for (int y = -2; y < 24; y++)
    for (int x = -2; x < 24; x++)
      ASSERT_EQ(bool(platform::PtInRegion(r, x, y)), want(x, y)) << x << ", " << y;
  const auto *rects = common::region_rects(r);
  ASSERT_NE(rects, nullptr);
  for (std::size_t i = 1; i < rects->size(); i++) {
    const TRECT &a = (*rects)[i - 1], &b = (*rects)[i];
    bool same_band = a.TOP == b.TOP && a.BOTTOM == b.BOTTOM && a.RIGHT < b.LEFT;
    ASSERT_TRUE(same_band || a.BOTTOM <= b.TOP) << i;
  }
}

bool in(int x, int y, TRECT r) { return x >= r.LEFT && x < r.RIGHT && y >= r.TOP && y < r.BOTTOM; }

TEST_F(GdiRegions, ExtCreateRegionIsTheUnionOfItsRectangles) {
  TRECT a{0, 0, 10, 10}, b{5, 5, 15, 15}, c{20, 0, 22, 3};
  THANDLE r = region({a, b, {3, 3, 3, 9}, {7, 7, 2, 2}, c}); // the middle two are empty
  ASSERT_NE(r, 0u);
  expect_region(r, [&](int x, int y) { return in(x, y, a) || in(x, y, b) || in(x, y, c); });
  TRECT box;
  EXPECT_EQ(platform::GetRgnBox(r, &box), COMPLEXREGION);
  EXPECT_EQ(box.LEFT, 0);
  EXPECT_EQ(box.TOP, 0);
  EXPECT_EQ(box.RIGHT, 22);
  EXPECT_EQ(box.BOTTOM, 15);

  // Touching rectangles merge into one.
  THANDLE joined = region({{0, 0, 5, 2}, {5, 0, 9, 2}, {0, 2, 9, 4}});
  EXPECT_EQ(platform::GetRgnBox(joined, &box), SIMPLEREGION);
  EXPECT_EQ(common::region_rects(joined)->size(), 1u);

  // No rectangles at all is a valid, empty region.
  THANDLE empty = platform::ExtCreateRegion(nullptr, 0);
  ASSERT_NE(empty, 0u);
  EXPECT_EQ(platform::GetRgnBox(empty, &box), NULLREGION);
  EXPECT_EQ(box.RIGHT - box.LEFT, 0);
  EXPECT_FALSE(platform::PtInRegion(empty, 0, 0));
  EXPECT_EQ(platform::ExtCreateRegion(nullptr, 3), 0u);
  EXPECT_EQ(platform::GetRgnBox(12345, &box), RGN_ERROR);
  EXPECT_FALSE(platform::PtInRegion(12345, 0, 0));
  for (THANDLE h : {r, joined, empty})
    EXPECT_TRUE(platform::DeleteObject(h));
}

TEST_F(GdiRegions, CombineRgnGivesEachModeAndTheKind) {
  TRECT a{0, 0, 10, 10}, b{5, 5, 15, 15};
  THANDLE ra = region({a}), rb = region({b}), dest = region({});
  struct mode_case {
    LONGINT mode, kind;
    std::function<bool(bool, bool)> keep;
  };
  std::vector<mode_case> cases = {{RGN_OR, COMPLEXREGION, [](bool p, bool q) { return p || q; }},
                                  {RGN_AND, SIMPLEREGION, [](bool p, bool q) { return p && q; }},
                                  {RGN_XOR, COMPLEXREGION, [](bool p, bool q) { return p != q; }},
                                  {RGN_DIFF, COMPLEXREGION, [](bool p, bool q) { return p && !q; }},
                                  {RGN_COPY, SIMPLEREGION, [](bool p, bool) { return p; }}};
  for (const auto &c : cases) {
    SCOPED_TRACE(c.mode);
    EXPECT_EQ(platform::CombineRgn(dest, ra, rb, c.mode), c.kind);
    expect_region(dest, [&](int x, int y) { return c.keep(in(x, y, a), in(x, y, b)); });
  }
  // The destination may be one of the sources.
  EXPECT_EQ(platform::CombineRgn(ra, ra, rb, RGN_AND), SIMPLEREGION);
  EXPECT_EQ(platform::CombineRgn(ra, ra, rb, RGN_DIFF), NULLREGION);
  EXPECT_EQ(platform::CombineRgn(dest, ra, rb, RGN_OR), SIMPLEREGION);
  EXPECT_EQ(platform::CombineRgn(dest, rb, 0, RGN_COPY), SIMPLEREGION) << "copy reads one";
  EXPECT_EQ(platform::CombineRgn(dest, ra, rb, 9), RGN_ERROR);
  EXPECT_EQ(platform::CombineRgn(dest, ra, 4711, RGN_OR), RGN_ERROR);
  EXPECT_EQ(platform::CombineRgn(4711, ra, rb, RGN_OR), RGN_ERROR);
  for (THANDLE h : {ra, rb, dest})
    EXPECT_TRUE(platform::DeleteObject(h));
}

TEST_F(GdiRegions, ThousandsOfRowsMergeInBatches) {
  // 4001 one-pixel rows handed over in batches of 2000, the way a picture is scanned.
  auto build = [](auto width_of) {
    THANDLE result = 0;
    std::vector<TRECT> batch;
    auto flush = [&] {
      THANDLE part = region(batch);
      if (!result)
        result = part;
      else {
        platform::CombineRgn(result, result, part, RGN_OR);
        platform::DeleteObject(part);
      }
      batch.clear();
    };
    for (LONGINT y = 0; y < 4001; y++) {
      batch.push_back({0, y, width_of(y), y + 1});
      if (batch.size() == 2000) flush();
    }
    flush();
    return result;
  };
  THANDLE even = build([](LONGINT) { return 7; });
  TRECT box;
  EXPECT_EQ(platform::GetRgnBox(even, &box), SIMPLEREGION) << "equal rows stack into one";
  EXPECT_EQ(box.BOTTOM, 4001);
  THANDLE ragged = build([](LONGINT y) { return 1 + y % 2; });
  EXPECT_EQ(platform::GetRgnBox(ragged, &box), COMPLEXREGION);
  EXPECT_EQ(common::region_rects(ragged)->size(), 4001u);
  EXPECT_TRUE(platform::PtInRegion(ragged, 1, 3999));
  EXPECT_FALSE(platform::PtInRegion(ragged, 1, 4000));
  EXPECT_TRUE(platform::PtInRegion(ragged, 0, 4000));
  EXPECT_FALSE(platform::PtInRegion(ragged, 0, 4001));
  platform::DeleteObject(even);
  platform::DeleteObject(ragged);
}

int region_changes = 0;
THANDLE last_changed = 0;
void count_region_change(THANDLE window) { region_changes++, last_changed = window; }

TEST_F(GdiRegions, AWindowOwnsItsRegion) {
  common::backend_hooks saved = common::hooks(), counting = saved;
  counting.region_changed = count_region_change;
  common::set_backend_hooks(counting);
  region_changes = 0;

  THANDLE child = platform::CreateWindowExA(0, "VantrelTest", nullptr, WS_CHILD, 0, 0, 50, 50,
                                            window_, 7, 0, nullptr);
  ASSERT_NE(child, 0u);
  THANDLE first = region({{0, 0, 10, 10}}), second = region({{5, 5, 8, 8}});
  LONGINT invalidated = headless::invalidate_count(child);
  EXPECT_EQ(platform::SetWindowRgn(child, first, false), 1);
  EXPECT_EQ(region_changes, 1);
  EXPECT_EQ(last_changed, child);
  EXPECT_EQ(headless::invalidate_count(child), invalidated) << "no redraw asked";
  EXPECT_FALSE(platform::DeleteObject(first)) << "the window's region is not the caller's";
  EXPECT_EQ(platform::SetWindowRgn(window_, first, false), 0) << "nor another window's";
  // A new region lets the old one go.
  EXPECT_EQ(platform::SetWindowRgn(child, second, true), 1);
  EXPECT_EQ(headless::invalidate_count(child), invalidated + 1);
  EXPECT_EQ(common::region_rects(first), nullptr);
  EXPECT_EQ(region_changes, 2);
  EXPECT_EQ(platform::SetWindowRgn(child, second, false), 1) << "the same region again";
  EXPECT_NE(common::region_rects(second), nullptr);
  EXPECT_EQ(platform::SetWindowRgn(child, 999, false), 0);
  EXPECT_EQ(platform::SetWindowRgn(999, second, false), 0);
  // Destroying the window frees its region.
  EXPECT_TRUE(platform::DestroyWindow(child));
  EXPECT_EQ(common::region_rects(second), nullptr);
  // Region 0 takes the shape away.
  THANDLE third = region({{0, 0, 1, 1}});
  EXPECT_EQ(platform::SetWindowRgn(window_, third, false), 1);
  EXPECT_EQ(platform::SetWindowRgn(window_, 0, false), 1);
  EXPECT_EQ(common::region_rects(third), nullptr);
  common::set_backend_hooks(saved);
}

int status_paints = 0;
void count_status_paint(THANDLE) { status_paints++; }

std::string part_text(THANDLE bar, int part, LONGINT *length = nullptr) {
  char buf[300] = {};
  TLRESULT r = platform::SendMessageA(bar, SB_GETTEXTA, TWPARAM(part), TLPARAM(buf));
  if (length) *length = LONGINT(r & 0xFFFF);
  return buf;
}

TEST_F(GdiRegions, StatusWindowKeepsPartsAndTexts) {
  common::backend_hooks saved = common::hooks(), counting = saved;
  counting.paint_status_bar = count_status_paint;
  common::set_backend_hooks(counting);
  status_paints = 0;

  THANDLE bar = platform::CreateStatusWindowA(LONGINT(WS_CHILD | WS_VISIBLE),
                                              const_cast<PCHAR>("Percorso file"), window_, 0x7712);
  ASSERT_NE(bar, 0u) << platform::LastErrorText();
  EXPECT_EQ(platform::GetParent(bar), window_);
  EXPECT_EQ(platform::GetDlgCtrlID(bar), 0x7712);
  TRECT client, outer, parent;
  platform::GetClientRect(bar, &client);
  platform::GetWindowRect(bar, &outer);
  platform::GetWindowRect(window_, &parent);
  EXPECT_EQ(client.RIGHT, 800);
  EXPECT_EQ(client.BOTTOM, common::STATUS_HEIGHT);
  EXPECT_EQ(outer.BOTTOM, parent.TOP + 600) << "along the bottom of the client area";

  std::int32_t edges[4] = {};
  EXPECT_EQ(platform::SendMessageA(bar, SB_GETPARTS, 4, TLPARAM(edges)), 1);
  EXPECT_EQ(edges[0], -1);
  LONGINT length = 0;
  EXPECT_EQ(part_text(bar, 0, &length), "Percorso file");
  EXPECT_EQ(length, 13);
  EXPECT_EQ(platform::SendMessageA(bar, SB_GETTEXTLENGTHA, 0, 0) & 0xFFFF, 13);

  const std::int32_t three[3] = {100, 200, -1};
  LONGINT invalidated = headless::invalidate_count(bar);
  EXPECT_EQ(platform::SendMessageA(bar, SB_SETPARTS, 3, TLPARAM(three)), 1);
  EXPECT_GT(headless::invalidate_count(bar), invalidated);
  EXPECT_EQ(platform::SendMessageA(bar, SB_GETPARTS, 2, TLPARAM(edges)), 3);
  EXPECT_EQ(edges[1], 200);
  EXPECT_EQ(edges[2], 0) << "only the two asked for are written";
  EXPECT_EQ(platform::SendMessageA(bar, SB_SETTEXTA, 2, TLPARAM("right")), 1);
  EXPECT_EQ(platform::SendMessageA(bar, SB_SETTEXTA, 3, TLPARAM("none")), 0);
  EXPECT_EQ(part_text(bar, 2), "right");
  EXPECT_EQ(part_text(bar, 0), "Percorso file") << "kept across the split";
  EXPECT_EQ(platform::SendMessageA(bar, SB_GETTEXTA, 7, 0), 0);

  // Counts of 0 or more than 256 change nothing.
  std::vector<std::int32_t> many(300, -1);
  EXPECT_EQ(platform::SendMessageA(bar, SB_SETPARTS, 0, TLPARAM(three)), 0);
  EXPECT_EQ(platform::SendMessageA(bar, SB_SETPARTS, 257, TLPARAM(many.data())), 0);
  EXPECT_EQ(platform::SendMessageA(bar, SB_SETPARTS, 2, 0), 0);
  const common::status_bar *parts = common::status_bar_of(bar);
  ASSERT_NE(parts, nullptr);
  EXPECT_EQ(parts->edges, std::vector<LONGINT>({100, 200, -1}));
  EXPECT_EQ(parts->texts, std::vector<std::string>({"Percorso file", "", "right"}));
  EXPECT_EQ(platform::SendMessageA(bar, SB_SETPARTS, 256, TLPARAM(many.data())), 1);

  platform::SendMessageA(bar, WM_PAINT, 0, 0);
  EXPECT_EQ(status_paints, 1);
  EXPECT_EQ(platform::SendMessageA(bar, WM_USER + 99, 0, 0), 0);

  // It goes with its parent; a bad parent gives none.
  EXPECT_EQ(platform::CreateStatusWindowA(LONGINT(WS_CHILD), nullptr, 4711, 1), 0u);
  THANDLE top = platform::CreateWindowExA(0, "VantrelTest", "top", WS_POPUP, 0, 0, 300, 200, 0, 0,
                                          0, nullptr);
  THANDLE second = platform::CreateStatusWindowA(LONGINT(WS_CHILD), nullptr, top, 2);
  ASSERT_NE(second, 0u);
  EXPECT_NE(common::status_bar_of(second), nullptr);
  EXPECT_TRUE(platform::DestroyWindow(top));
  EXPECT_EQ(common::status_bar_of(second), nullptr);
  EXPECT_NE(common::status_bar_of(bar), nullptr);
  common::set_backend_hooks(saved);
}

TEST_F(GdiRegions, StatusWindowClassComesBackAfterAReset) {
  // The fixture forgets every class between tests; the status window registers its own again.
  THANDLE bar = platform::CreateStatusWindowA(LONGINT(WS_CHILD), nullptr, window_, 1);
  ASSERT_NE(bar, 0u);
  EXPECT_EQ(part_text(bar, 0), "");
  EXPECT_TRUE(platform::GetClassInfoExA(0, const_cast<PCHAR>(common::STATUS_CLASS), nullptr));
}

} // namespace
} // namespace vantrel::test
