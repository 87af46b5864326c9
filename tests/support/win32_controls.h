// The headless backend's test controls, under the same names, for the suites built against the
// win32 backend. Real Win32 offers only some of them; the others fail the test that calls them,
// which then belongs in cmake/win32_test_exclusions.cmake rather than passing by accident.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "vantrel/platform/platform.h"

namespace vantrel::headless {

struct message_box_record {
  std::string text, caption;
  LONGWORD style = 0;
  LONGINT answer = 0;
};

// Fail the calling test: a real screen or driver cannot be steered like this.
void set_screen_size(LONGINT w, LONGINT h);
void fail_context(bool fail);
void set_foreground(THANDLE window);
// Scripted device input, queued by the shared queue's rules (Wine's own rules are compared with
// them end to end by tests/e2e/input_probe_test.sh).
void input_mouse(THANDLE window, LONGWORD message, LONGINT x, LONGINT y, TWPARAM flags);
void input_key(THANDLE window, TWPARAM vk, bool down);
LONGINT swap_count();
LONGINT invalidate_count(THANDLE window);
LONGINT paint_count(THANDLE window);
const TPIXELFORMATDESCRIPTOR &last_pixel_format();

// Given by the real calls. The pixels are what the window's client area shows now. Message
// boxes are answered as they open (next scripted answer, or the default button); their
// record's style holds only the button set the box shows.
std::vector<std::uint32_t> window_pixels(THANDLE window);
void script_message_box(LONGINT answer);
const std::vector<message_box_record> &message_boxes();
void fail_pixel_format(bool fail); // through the backend's test hook (win32_test_hooks.h)
THANDLE capture();                 // GetCapture
std::string renderer();            // GL_RENDERER of the current context
// Destroys this thread's windows, unregisters the framework's and the tests' classes, empties
// the message queue and clears the failure switch, so each test starts as a fresh process.
void reset();

} // namespace vantrel::headless
