// The class backgrounds the erase tests register on each backend, and what default processing
// does with each: the colour it paints (as 0xRRGGBB, the colours Wine paints) and its answer to
// WM_ERASEBKGND.
#pragma once

#include <cstdint>
#include <vector>

#include "vantrel/platform/platform.h"

namespace vantrel::test {

struct brush_case {
  const char *what;
  THANDLE brush;
  std::int64_t colour; // -1: paints nothing
  TLRESULT answer;     // of DefWindowProcA's WM_ERASEBKGND
};

inline std::vector<brush_case> brush_cases() {
  using namespace platform;
  return {{"COLOR_BTNFACE + 1", THANDLE(COLOR_BTNFACE + 1), 0xF5F5F5, 1},
          {"GetSysColorBrush(COLOR_BTNFACE)", GetSysColorBrush(COLOR_BTNFACE), 0xF5F5F5, 1},
          {"GetSysColorBrush(COLOR_WINDOW)", GetSysColorBrush(COLOR_WINDOW), 0xFFFFFF, 1},
          {"CreateSolidBrush(RGB(10, 200, 30))", CreateSolidBrush(0x1EC80A), 0x0AC81E, 1},
          {"BLACK_BRUSH", GetStockObject(BLACK_BRUSH), 0x000000, 1},
          {"NULL_BRUSH", GetStockObject(NULL_BRUSH), -1, 1},
          {"no brush", 0, -1, 0}};
}

} // namespace vantrel::test
