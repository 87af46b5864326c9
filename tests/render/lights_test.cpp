// The named switches of lights, raster, fog, texture and shade-ramp state, call by call, and the
// light marker as drawn.
#include <functional>

#include "tests/support/gl_fixture.h"
#include "tests/support/gl_recorder.h"
#include "vantrel/image/shade_ramp.h"
#include "vantrel/image/texture.h"
#include "vantrel/render/fog.h"
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

// Every named switch of the raster, light, fog, texture and shade-ramp state, as its calls.
TEST_F(LightsTest, SwitchesMakeExactlyTheirCalls) {
  struct switch_case {
    const char *name;
    std::function<void()> run;
    calls want;
  };
  TEXTUREID2[3] = 77;
  const std::string on[] = {"glTexGeni(GL_R, GL_TEXTURE_GEN_MODE, GL_REFLECTION_MAP)",
                            "glTexGenf(GL_S, GL_TEXTURE_GEN_MODE, 9218)",
                            "glTexGenf(GL_T, GL_TEXTURE_GEN_MODE, 9218)",
                            "glEnable(GL_TEXTURE_GEN_S)",
                            "glEnable(GL_TEXTURE_GEN_T)",
                            "glEnable(GL_TEXTURE_GEN_R)"};
  const switch_case cases[] = {
      {"SETGLLIGHT",
       [] { SETGLLIGHT(GL_LIGHT1, 1, 2, 3, 0.1f); },
       {"glEnable(GL_LIGHTING)", "glLightfv(GL_LIGHT1, GL_AMBIENT, {0.5, 0.5, 0.5, 1})",
        "glLightfv(GL_LIGHT1, GL_DIFFUSE, {1, 1, 1, 1})",
        "glLightfv(GL_LIGHT1, GL_SPECULAR, {1, 1, 1, 1})", "glEnable(GL_LIGHT1)",
        "glLightfv(GL_LIGHT1, GL_POSITION, {1, 2, 3, 0.1})"}},
      {"PUTGLPOINTLIGHT",
       [] { PUTGLPOINTLIGHT(GL_LIGHT0, 2, 0, -15, 22, 0); },
       {"glLightfv(GL_LIGHT0, GL_POSITION, {0, -15, 22, 0})", "glPointSize(2)",
        "glBegin(GL_POINTS)", "glNormal3f(0, 0, 1)", "glVertex3f(0, -15, 22)", "glEnd()"}},
      {"SETGLREFRACTIVE",
       SETGLREFRACTIVE,
       {"glEnable(GL_CULL_FACE)", "glCullFace(GL_BACK)", "glFrontFace(GL_CCW)"}},
      {"SETGLFILL",
       SETGLFILL,
       {"glPolygonMode(GL_BACK, GL_FILL)", "glPolygonMode(GL_FRONT, GL_FILL)"}},
      {"SETGLLINE",
       [] { SETGLLINE(7); },
       {"glLineWidth(7)", "glPolygonMode(GL_BACK, GL_LINE)", "glPolygonMode(GL_FRONT, GL_LINE)"}},
      {"SETGLFLAT", SETGLFLAT, {"glShadeModel(GL_FLAT)"}},
      {"SETGLSMOOTH", SETGLSMOOTH, {"glShadeModel(GL_SMOOTH)"}},
      {"SETGLHISMOOTH", SETGLHISMOOTH, {}}, // OpenGL 1.1 has no finer model to ask for
      {"SETGLFOG",
       [] { SETGLFOG(0.01f, 0.65f, 0.6f, 0.55f, 0.5f); },
       {"glFogi(GL_FOG_MODE, GL_EXP2)", "glFogfv(GL_FOG_COLOR, {0.65, 0.6, 0.55, 0.5})",
        "glFogf(GL_FOG_DENSITY, 0.006)", "glHint(GL_FOG_HINT, GL_DONT_CARE)",
        "glFogf(GL_FOG_START, 4.5)", "glFogf(GL_FOG_END, 5)", "glClearColor(0, 0, 0, 0)",
        "glEnable(GL_FOG)"}},
      {"EFFECTREALWATER", EFFECTREALWATER, calls(std::begin(on), std::end(on))},
      {"EFFECTREALWATEROFF",
       EFFECTREALWATEROFF,
       {"glShadeModel(GL_SMOOTH)", "glDisable(GL_TEXTURE_GEN_S)", "glDisable(GL_TEXTURE_GEN_T)",
        "glDisable(GL_TEXTURE_GEN_R)"}},
      {"TEXTUREON", TEXTUREON, {"glEnable(GL_TEXTURE_2D)"}},
      {"TEXTUREOFF", TEXTUREOFF, {"glDisable(GL_TEXTURE_2D)"}},
      {"TEXTURESELECTID", [] { TEXTURESELECTID(3); }, {"glBindTexture(GL_TEXTURE_2D, 77)"}},
      {"TEXTURESHADERON", TEXTURESHADERON, {"glEnable(GL_TEXTURE_1D)", "glDisable(GL_LIGHTING)"}},
      {"TEXTURESHADEROFF", TEXTURESHADEROFF, {"glDisable(GL_TEXTURE_1D)", "glEnable(GL_LIGHTING)"}},
  };
  for (const switch_case &c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_TRUE(same_calls(record_gl(c.run), c.want));
  }
  EXPECT_FALSE(ACTIVETEXTURESHADER) << "the ramp's flag follows its switches";
  TEXTURESHADERON();
  TEXTURESHADERON();
  EXPECT_TRUE(ACTIVETEXTURESHADER);
  // The vectors that went to OpenGL stay in the globals.
  EXPECT_EQ(std::vector<SINGLE>(LIGHTPOSITION, LIGHTPOSITION + 4),
            std::vector<SINGLE>({0, -15, 22, 0}));
  EXPECT_EQ(std::vector<SINGLE>(FOGCOLOR, FOGCOLOR + 4),
            std::vector<SINGLE>({0.65f, 0.6f, 0.55f, 0.5f}));
}

} // namespace
} // namespace vantrel::test
