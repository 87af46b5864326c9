// Light set-up and marker, culling, fill, line and shade switches.
#include "tests/support/gl_fixture.h"
#include "vantrel/render/lights.h"

namespace vantrel::test {
namespace {

class LightsTest : public GLTest {};

void expect_vec4(const GLfloat *got, float a, float b, float c, float d) {
  EXPECT_FLOAT_EQ(got[0], a);
  EXPECT_FLOAT_EQ(got[1], b);
  EXPECT_FLOAT_EQ(got[2], c);
  EXPECT_FLOAT_EQ(got[3], d);
}

TEST_F(LightsTest, LightGetsTheFixedColoursAndItsPositionInEyeSpace) {
  SETGLLIGHT(GL_LIGHT0, 0, 0, 0, 0.1f);
  GLfloat v[4];
  glGetLightfv(GL_LIGHT0, GL_AMBIENT, v);
  expect_vec4(v, 0.5f, 0.5f, 0.5f, 1);
  glGetLightfv(GL_LIGHT0, GL_DIFFUSE, v);
  expect_vec4(v, 1, 1, 1, 1);
  glGetLightfv(GL_LIGHT0, GL_SPECULAR, v);
  expect_vec4(v, 1, 1, 1, 1);
  glGetLightfv(GL_LIGHT0, GL_POSITION, v);
  expect_vec4(v, 0, 0, 0, 0.1f);
  EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
  EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
  expect_vec4(LIGHTPOSITION, 0, 0, 0, 0.1f);

  // A second light under a moved matrix: its own position, transformed; the vector is shared.
  glTranslatef(1, 2, 3);
  SETGLLIGHT(GL_LIGHT1, 0, 0, 0, 1);
  glGetLightfv(GL_LIGHT1, GL_POSITION, v);
  expect_vec4(v, 1, 2, 3, 1);
  glGetLightfv(GL_LIGHT0, GL_POSITION, v);
  expect_vec4(v, 0, 0, 0, 0.1f);
  glGetLightfv(GL_LIGHT1, GL_AMBIENT, v);
  expect_vec4(v, 0.5f, 0.5f, 0.5f, 1);
  EXPECT_TRUE(glIsEnabled(GL_LIGHT1));
  expect_vec4(LIGHTPOSITION, 0, 0, 0, 1);
}

TEST_F(LightsTest, PointLightMovesTheLightAndDrawsOneMarker) {
  SETGLLIGHT(GL_LIGHT0, 0, 0, 0, 0.1f);
  glDisable(GL_LIGHTING);
  glRotatef(90, 1, 0, 0); // directional light: the direction turns with the matrix
  PUTGLPOINTLIGHT(GL_LIGHT0, 2, 0, -15, 22, 0);
  expect_vec4(LIGHTPOSITION, 0, -15, 22, 0);
  GLfloat v[4];
  glGetLightfv(GL_LIGHT0, GL_POSITION, v);
  EXPECT_NEAR(v[0], 0, 1e-5);
  EXPECT_NEAR(v[1], -22, 1e-5);
  EXPECT_NEAR(v[2], -15, 1e-5);
  EXPECT_EQ(v[3], 0);
  glGetFloatv(GL_POINT_SIZE, v);
  EXPECT_EQ(v[0], 2);
  EXPECT_FALSE(glIsEnabled(GL_LIGHTING)) << "the marker does not switch lighting";
  glEnable(GL_LIGHTING);
  PUTGLPOINTLIGHT(GL_LIGHT0, 3, 1, 1, 1, 1);
  EXPECT_TRUE(glIsEnabled(GL_LIGHTING));

  auto prims = capture_geometry([] { PUTGLPOINTLIGHT(GL_LIGHT0, 2, 0, -15, 22, 0); }, 30);
  ASSERT_EQ(prims.size(), 1u);
  EXPECT_EQ(prims[0].token, GLenum(GL_POINT_TOKEN));
  EXPECT_NEAR(prims[0].v[0].x, 0, 1e-3);
  EXPECT_NEAR(prims[0].v[0].y, -15, 1e-3);
  EXPECT_NEAR(prims[0].v[0].z, 22, 1e-3);
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(LightsTest, RasterSwitchesSetBothFacesAndTheShadeModel) {
  glFrontFace(GL_CW);
  glCullFace(GL_FRONT);
  SETGLREFRACTIVE();
  EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
  EXPECT_EQ(get_int(GL_CULL_FACE_MODE), GL_BACK);
  EXPECT_EQ(get_int(GL_FRONT_FACE), GL_CCW);

  GLint mode[2];
  GLfloat width = 0;
  SETGLLINE(7);
  glGetIntegerv(GL_POLYGON_MODE, mode);
  EXPECT_EQ(mode[0], GL_LINE);
  EXPECT_EQ(mode[1], GL_LINE);
  SETGLFILL();
  glGetIntegerv(GL_POLYGON_MODE, mode);
  glGetFloatv(GL_LINE_WIDTH, &width);
  EXPECT_EQ(mode[0], GL_FILL);
  EXPECT_EQ(mode[1], GL_FILL);
  EXPECT_EQ(width, 7) << "filling keeps the line width";

  SETGLFLAT();
  EXPECT_EQ(get_int(GL_SHADE_MODEL), GL_FLAT);
  SETGLHISMOOTH();
  EXPECT_EQ(get_int(GL_SHADE_MODEL), GL_FLAT);
  SETGLSMOOTH();
  EXPECT_EQ(get_int(GL_SHADE_MODEL), GL_SMOOTH);
  SETGLHISMOOTH();
  EXPECT_EQ(get_int(GL_SHADE_MODEL), GL_SMOOTH);
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

} // namespace
} // namespace vantrel::test
