// Message pumping for the x11 tests: the server answers in its own time, so tests wait for the
// messages they expect rather than for a fixed delay.
#pragma once

#include <chrono>
#include <functional>
#include <thread>

#include "tests/support/x11_support.h"
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

} // namespace vantrel::test
