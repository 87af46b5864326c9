// Tests of the window Parts run against the headless backend with posted messages.
#pragma once

#include <gtest/gtest.h>

#include "tests/support/gl_fixture.h"
#include "vantrel/window/lifecycle.h"
#include "vantrel/window/message_pump.h"

namespace vantrel::test {

class WindowTest : public ::testing::Test {
protected:
  void SetUp() override {
    headless::reset();
    reset_framework_globals();
  }
  void TearDown() override {
    if (RCWINDOW) platform::wglMakeCurrent(DCWINDOW, 0), platform::wglDeleteContext(RCWINDOW);
    headless::reset();
    reset_framework_globals();
  }
  // The main window as the demo opens it.
  void open(bool fullscreen = false) {
    OGLWINDOWSETTING(ARROW, "", GENERIC, "");
    ASSERT_TRUE(CREATEOGLWINDOW("Vantrel test", 800, 600, 32, fullscreen));
  }
  static TLPARAM xy(LONGINT x, LONGINT y) { return TLPARAM((y & 0xFFFF) << 16 | (x & 0xFFFF)); }
  static void send(LONGWORD m, TWPARAM w = 0, TLPARAM l = 0) {
    platform::SendMessageA(HWINDOW, m, w, l);
  }
};

} // namespace vantrel::test
