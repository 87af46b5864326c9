// Message pumping for the x11 tests: the server answers in its own time, so tests wait for the
// messages they expect rather than for a fixed delay.
#pragma once

// gtest first: Xlib's None and Bool macros would break its headers.
#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <chrono>
#include <functional>
#include <thread>

#include "vantrel/platform/platform.h"

namespace vantrel::test {

// Hands out queued messages (translated and dispatched) until DONE holds or MS pass.
inline bool pump_until(const std::function<bool()> &done, int ms = 3000) {
  using namespace vantrel::platform;
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  for (;;) {
    TMSG m;
    while (PeekMessageA(&m, 0, 0, 0, PM_REMOVE)) {
      TranslateMessage(&m);
      DispatchMessageA(&m);
    }
    if (done()) return true;
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

// Pumps for MS, for messages that must not come.
inline void pump_idle(int ms = 150) {
  pump_until([] { return false; }, ms);
}

// Every test ends with its keys and buttons released: one left down would reach the next.
inline void expect_nothing_held(Display *d) {
  char keys[32];
  XQueryKeymap(d, keys);
  for (int i = 0; i < 32; i++)
    EXPECT_EQ(keys[i], 0) << "a key is held, keycodes " << 8 * i << ".." << 8 * i + 7;
  Window root, child;
  int rx, ry, wx, wy;
  unsigned mask = 0;
  XQueryPointer(d, DefaultRootWindow(d), &root, &child, &rx, &ry, &wx, &wy, &mask);
  EXPECT_EQ(mask & (Button1Mask | Button2Mask | Button3Mask | Button4Mask | Button5Mask), 0u)
      << "a mouse button is held";
}

} // namespace vantrel::test
