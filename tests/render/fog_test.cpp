// Exponential-squared fog as OpenGL applies it (its calls are in lights_test.cpp).
#include <cmath>

#include "tests/support/gl_fixture.h"
#include "vantrel/render/fog.h"
#include "vantrel/render/lights.h"
#include "vantrel/render/projection.h"

namespace vantrel::test {
namespace {

class FogTest : public GLTest {};

TEST_F(FogTest, DensityBelowTheOffsetIsRejectedByOpenGLAndTheOldOneStays) {
  SETGLFOG(0.004f, 0, 0, 0, 0);
  EXPECT_EQ(get_float(GL_FOG_DENSITY), 0) << "no visible fog";
  SETGLFOG(0.01f, 0, 0, 0, 0);
  while (glGetError() != GL_NO_ERROR) {
  }
  SETGLFOG(0.003f, 0.5f, 0, 0, 0);
  EXPECT_EQ(glGetError(), GLenum(GL_INVALID_VALUE));
  EXPECT_NEAR(get_float(GL_FOG_DENSITY), 0.006f, 1e-7);
  GLfloat c[4];
  glGetFloatv(GL_FOG_COLOR, c);
  EXPECT_FLOAT_EQ(c[0], 0.5f) << "the rest of the call still applies";
}

TEST_F(FogTest, SurfaceFortyUnitsAwayTakesOnAboutSixPercentFog) {
  WIDTH = 800;
  HEIGHT = 600;
  OPENGL_INIT(1000.0, 0, 0, 0, 0);
  SETGLFOG(0.01f, 0, 0, 0, 0); // black fog over a white quad
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glColor3f(1, 1, 1);
  glBegin(GL_QUADS);
  glVertex3f(-5, -5, -40);
  glVertex3f(5, -5, -40);
  glVertex3f(5, 5, -40);
  glVertex3f(-5, 5, -40);
  glEnd();
  auto px = read_pixels(800, 600);
  const double kept = std::exp(-std::pow(0.006 * 40, 2)); // 0.944
  EXPECT_NEAR(px[(300 * 800 + 400) * 4], 255 * kept, 2.5);
}

} // namespace
} // namespace vantrel::test
