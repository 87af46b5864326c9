// Exponential-squared fog and the sphere-map coordinate generation switches.
#include <cmath>

#include "tests/support/gl_fixture.h"
#include "vantrel/render/fog.h"
#include "vantrel/render/lights.h"
#include "vantrel/render/projection.h"

namespace vantrel::test {
namespace {

class FogTest : public GLTest {};

GLint gen_mode(GLenum coord) {
  GLint m = 0;
  glGetTexGeniv(coord, GL_TEXTURE_GEN_MODE, &m);
  return m;
}

TEST_F(FogTest, DemoFogValuesAndBlackClear) {
  glClearColor(0.3f, 0.3f, 0.3f, 1);
  SETGLFOG(0.01f, 0.65f, 0.65f, 0.65f, 0);
  EXPECT_TRUE(glIsEnabled(GL_FOG));
  EXPECT_EQ(get_int(GL_FOG_MODE), GL_EXP2);
  EXPECT_NEAR(get_float(GL_FOG_DENSITY), 0.006f, 1e-7);
  EXPECT_FLOAT_EQ(get_float(GL_FOG_START), 4.5f);
  EXPECT_FLOAT_EQ(get_float(GL_FOG_END), 5.0f);
  EXPECT_EQ(get_int(GL_FOG_HINT), GL_DONT_CARE);
  GLfloat c[4];
  glGetFloatv(GL_FOG_COLOR, c);
  EXPECT_FLOAT_EQ(c[0], 0.65f);
  EXPECT_FLOAT_EQ(c[2], 0.65f);
  EXPECT_FLOAT_EQ(c[3], 0);
  EXPECT_FLOAT_EQ(FOGCOLOR[1], 0.65f);
  glGetFloatv(GL_COLOR_CLEAR_VALUE, c);
  EXPECT_EQ(c[0] + c[1] + c[2] + c[3], 0);
}

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

TEST_F(FogTest, SphereMapGenerationSwitchesOnAndOffAsAPair) {
  SETGLFLAT();
  EFFECTREALWATER();
  EFFECTREALWATER();
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_GEN_S));
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_GEN_T));
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_GEN_R));
  EXPECT_EQ(gen_mode(GL_S), GL_SPHERE_MAP);
  EXPECT_EQ(gen_mode(GL_T), GL_SPHERE_MAP);
  EXPECT_EQ(gen_mode(GL_R), GLint(GL_MAP_REFLECTION));
  EXPECT_EQ(get_int(GL_SHADE_MODEL), GL_FLAT) << "switching on keeps the shade model";
  EFFECTREALWATEROFF();
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_S));
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_T));
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_R));
  EXPECT_EQ(get_int(GL_SHADE_MODEL), GL_SMOOTH);
  EXPECT_EQ(gen_mode(GL_S), GL_SPHERE_MAP) << "modes stay chosen";
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

} // namespace
} // namespace vantrel::test
