// The end-of-test check of every test that drives a real X server: nothing left held.
#pragma once

// gtest before Xlib, whose None and Bool macros would break its headers.
#include <gtest/gtest.h>

#include <X11/Xlib.h>

namespace vantrel::test {

// Fails the test when it leaves a key or a mouse button held on the server: the next test, or
// the program under test, would see it held.
inline void expect_nothing_held(Display *d) {
  char keys[32];
  XQueryKeymap(d, keys);
  for (int i = 0; i < 256; i++)
    EXPECT_FALSE(keys[i / 8] & (1 << (i % 8))) << "key code " << i << " is left held";
  Window root, child;
  int rx, ry, wx, wy;
  unsigned mask = 0;
  XQueryPointer(d, DefaultRootWindow(d), &root, &child, &rx, &ry, &wx, &wy, &mask);
  EXPECT_EQ(mask & (Button1Mask | Button2Mask | Button3Mask | Button4Mask | Button5Mask), 0u)
      << "a mouse button is held";
}

} // namespace vantrel::test
