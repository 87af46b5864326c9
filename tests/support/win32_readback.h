// What user32, gdi32 and opengl32 themselves hold about a window, its class and its pixel
// format, for the tests that run against the real Win32 calls.
#pragma once

#include <string>

#include "vantrel/platform/platform.h"

namespace vantrel::test::win32 {

struct window_facts {
  bool exists = false;
  LONGWORD style = 0, ex_style = 0;
  std::string title, class_name;
  TRECT rect{};
};
window_facts window(THANDLE handle);

// GetPixelFormat and DescribePixelFormat of a device context (index 0: none set).
struct pixel_format_facts {
  LONGINT index = 0;
  TPIXELFORMATDESCRIPTOR pfd{};
};
pixel_format_facts pixel_format(THANDLE dc);

// What ChoosePixelFormat answers for a descriptor, asked directly of gdi32.
LONGINT choose_pixel_format(THANDLE dc, const TPIXELFORMATDESCRIPTOR &pfd);

// The logical font selected into a device context, as GetObjectA reports it.
struct font_facts {
  bool found = false;
  LONGINT height = 0, width = 0, escapement = 0, orientation = 0, weight = 0;
  int italic = 0, underline = 0, strike_out = 0, charset = 0, out_precision = 0, clip_precision = 0,
      quality = 0, pitch_and_family = 0;
  std::string face;
};
font_facts current_font(THANDLE dc);

THANDLE current_context(); // wglGetCurrentContext
THANDLE current_dc();      // wglGetCurrentDC

} // namespace vantrel::test::win32
