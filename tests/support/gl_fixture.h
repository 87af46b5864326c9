// A fresh window with a current OpenGL context for each test, and read-back helpers. The window
// is a headless one, or with VANTREL_TEST_WIN32 a real Win32 window (under Wine on Linux).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "vantrel/gl.h"
#include "vantrel/globals.h"
#ifdef VANTREL_TEST_WIN32
#include "tests/support/win32_controls.h"
#else
#include "vantrel/platform/headless/headless_test_hooks.h"
#endif
#include "vantrel/platform/platform.h"

namespace vantrel::test {

class GLTest : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;
  LONGINT width_ = 800, height_ = 600;
  THANDLE window_ = 0, dc_ = 0, rc_ = 0;
};

// Puts the framework's globals back to their program-start values.
void reset_framework_globals();

// One vertex as feedback mode reports it (GL_4D_COLOR_TEXTURE).
struct fb_vertex {
  float x, y, z, w, r, g, b, a, s, t, p, q;
};
struct fb_primitive {
  GLenum token; // GL_POLYGON_TOKEN, GL_LINE_TOKEN, GL_LINE_RESET_TOKEN, GL_POINT_TOKEN, ...
  std::vector<fb_vertex> v;
};

// Runs DRAW in feedback mode and returns what reached the rasteriser, in window coordinates.
std::vector<fb_primitive> capture_feedback(const std::function<void()> &draw);

// Runs DRAW with object coordinates reported as they are: an orthographic view of the cube
// -RANGE..RANGE, no culling, texture coordinates as sent (or, with NORMALS, the eye-space
// normal in s, t, p). Positions come back in object units, to about 1e-5 of RANGE.
std::vector<fb_primitive> capture_geometry(const std::function<void()> &draw, float range = 100,
                                           bool normals = false);

// Runs DRAW under transform feedback and returns its triangles as the vertex stage leaves them:
// positions after the modelview (which starts as the identity), and with NORMALS the eye-space
// normal in s, t, p. Unlike feedback mode this replays display lists through the ordinary draw
// path, which Mesa 22's feedback mode gets wrong for lists that mix strips, fans and triangles
// (it reports the first kind only and may hang). A draw that is not made of triangles fails.
std::vector<fb_primitive> capture_triangles(const std::function<void()> &draw,
                                            bool normals = false);

// The first value of a GL state query.
inline GLfloat get_float(GLenum what) {
  GLfloat v[16] = {};
  glGetFloatv(what, v);
  return v[0];
}
inline GLint get_int(GLenum what) {
  GLint v[16] = {};
  glGetIntegerv(what, v);
  return v[0];
}

// Whether WINDOW has a part waiting to be painted (an InvalidateRect not yet painted).
bool update_pending(THANDLE window);

// Reads the colour buffer (bottom row first), RGBA bytes.
std::vector<unsigned char> read_pixels(LONGINT w, LONGINT h);

// The directory of the committed test files.
std::string data_path(const std::string &name);

// Writes BYTES to a new file in the test's temporary directory and returns its path.
std::string write_temp_file(const std::string &name, const std::string &bytes);

// The path NAME would have in the test's temporary directory; nothing is written.
std::string temp_path(const std::string &name);

} // namespace vantrel::test
