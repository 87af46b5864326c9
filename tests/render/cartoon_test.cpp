// The cartoon effect: how often it replays the list, what each pass draws, the state it leaves,
// and the outline and banding it puts on a real column shaft.
#include <algorithm>
#include <set>

#include "tests/support/gl_fixture.h"
#include "tests/support/gl_recorder.h"
#include "vantrel/geometry/revolved.h"
#include "vantrel/render/cartoon.h"
#include "vantrel/render/lights.h"
#include "vantrel/render/projection.h"

namespace vantrel::test {
namespace {

class CartoonTest : public GLTest {
protected:
  // A 32-entry ramp of BANDS equal runs bound to GL_TEXTURE_1D, as the shade ramp is.
  void bind_ramp(int bands) {
    GLfloat data[32 * 3];
    for (int i = 0; i < 32; i++) {
      float v = float(i * bands / 32 + 1) / float(bands);
      data[3 * i] = data[3 * i + 1] = data[3 * i + 2] = v;
    }
    glGenTextures(1, &ramp_);
    glBindTexture(GL_TEXTURE_1D, ramp_);
    glTexImage1D(GL_TEXTURE_1D, 0, GL_RGB, 32, 0, GL_RGB, GL_FLOAT, data);
    glTexParameteri(GL_TEXTURE_1D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_1D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_1D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  }
  // The shade ramp switched on: 1-D texturing, lighting off, the flag set.
  void ramp_on() {
    if (!ramp_) bind_ramp(4);
    glEnable(GL_TEXTURE_1D);
    glDisable(GL_LIGHTING);
    ACTIVETEXTURESHADER = true;
  }
  // A complete 2x2 2-D texture, bound, as a textured piece has.
  void bind_picture() {
    const unsigned char px[16] = {255, 0, 0,   255, 0,   255, 0,   255,
                                  0,   0, 255, 255, 255, 255, 255, 255};
    glGenTextures(1, &picture_);
    glBindTexture(GL_TEXTURE_2D, picture_);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 2, 2, 0, GL_RGBA, GL_UNSIGNED_BYTE, px);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  }
  GLuint ramp_ = 0, picture_ = 0;
};

// The calls of FX_CARTOON for the four cases: each row is one OpenGL call, with the number of the
// effect's step it belongs to and the case it is made in.
enum when { ALWAYS, SH, NOT_TEX, TEX, SH_TEX };
struct step {
  int n;
  when w;
  const char *call;
};
// Sphere-map generation on (EFFECTREALWATER) and off (EFFECTREALWATEROFF), as their calls.
#define GEN_ON(n, w)                                                                               \
  {n, w, "glTexGeni(GL_R, GL_TEXTURE_GEN_MODE, GL_REFLECTION_MAP)"},                               \
      {n, w, "glTexGenf(GL_S, GL_TEXTURE_GEN_MODE, 9218)"},                                        \
      {n, w, "glTexGenf(GL_T, GL_TEXTURE_GEN_MODE, 9218)"}, {n, w, "glEnable(GL_TEXTURE_GEN_S)"},  \
      {n, w, "glEnable(GL_TEXTURE_GEN_T)"}, {                                                      \
    n, w, "glEnable(GL_TEXTURE_GEN_R)"                                                             \
  }
#define GEN_OFF(n, w)                                                                              \
  {n, w, "glShadeModel(GL_SMOOTH)"}, {n, w, "glDisable(GL_TEXTURE_GEN_S)"},                        \
      {n, w, "glDisable(GL_TEXTURE_GEN_T)"}, {                                                     \
    n, w, "glDisable(GL_TEXTURE_GEN_R)"                                                            \
  }
// clang-format off
const step cartoon_steps[] = {
    GEN_ON(1, SH),
    {2, NOT_TEX, "glDisable(GL_TEXTURE_2D)"},
    {3, ALWAYS, "glPushMatrix()"}, {3, ALWAYS, "glTranslatef(0.5, -2, 10)"},
    {4, ALWAYS, "glShadeModel(GL_FLAT)"},
    GEN_OFF(5, SH_TEX),
    // the body
    {6, ALWAYS, "glPushMatrix()"}, {6, ALWAYS, "glCullFace(GL_BACK)"},
    {6, ALWAYS, "glCallList(4242)"}, {6, ALWAYS, "glPopMatrix()"},
    // the outline
    {7, ALWAYS, "glPushMatrix()"},
    {8, ALWAYS, "glColor3f(0, 0, 0)"},
    {9, ALWAYS, "glLineWidth(7)"}, {9, ALWAYS, "glPolygonMode(GL_BACK, GL_LINE)"},
    {9, ALWAYS, "glPolygonMode(GL_FRONT, GL_LINE)"},
    {10, ALWAYS, "glCullFace(GL_FRONT)"},
    {11, ALWAYS, "glDisable(GL_LIGHTING)"}, {11, ALWAYS, "glCallList(4242)"},
    {11, ALWAYS, "glEnable(GL_LIGHTING)"},
    {12, ALWAYS, "glPopMatrix()"},
    // between the passes
    {13, ALWAYS, "glPolygonMode(GL_BACK, GL_FILL)"}, {13, ALWAYS, "glPolygonMode(GL_FRONT, GL_FILL)"},
    {14, ALWAYS, "glColor3f(1, 1, 1)"},
    GEN_ON(15, SH_TEX),
    {16, ALWAYS, "glDisable(GL_CULL_FACE)"},
    {17, ALWAYS, "glFlush()"},
    {18, ALWAYS, "glEnable(GL_BLEND)"}, {18, ALWAYS, "glBlendFunc(GL_SRC_COLOR, GL_ONE)"},
    // the highlight
    {19, ALWAYS, "glPushMatrix()"},
    {20, SH_TEX, "glDisable(GL_TEXTURE_2D)"}, {20, TEX, "glCallList(4242)"},
    {20, SH_TEX, "glEnable(GL_TEXTURE_2D)"},
    {21, ALWAYS, "glPopMatrix()"},
    // restoring
    {22, ALWAYS, "glPolygonMode(GL_BACK, GL_FILL)"}, {22, ALWAYS, "glPolygonMode(GL_FRONT, GL_FILL)"},
    {23, ALWAYS, "glLineWidth(2)"},
    {24, ALWAYS, "glDisable(GL_BLEND)"},
    {25, ALWAYS, "glColor3f(9.5, 9.5, 9.5)"},
    {26, ALWAYS, "glEnable(GL_CULL_FACE)"},
    {27, ALWAYS, "glShadeModel(GL_SMOOTH)"},
    {28, ALWAYS, "glPopMatrix()"},
    {29, ALWAYS, "glCullFace(GL_BACK)"},
    {30, NOT_TEX, "glEnable(GL_TEXTURE_2D)"},
    GEN_OFF(31, SH),
};
// clang-format on

TEST_F(CartoonTest, EachCaseMakesExactlyItsStepsCalls) {
  for (bool sh : {false, true})
    for (bool texture : {false, true}) {
      SCOPED_TRACE(::testing::Message() << "shade ramp " << sh << ", textured " << texture);
      calls want;
      for (const step &s : cartoon_steps)
        if (s.w == ALWAYS || (s.w == SH && sh) || (s.w == NOT_TEX && !texture) ||
            (s.w == TEX && texture) || (s.w == SH_TEX && sh && texture))
          want.push_back(s.call);
      ACTIVETEXTURESHADER = sh;
      // 4242 names no list, so the calls draw nothing; the flag is read, never written.
      EXPECT_TRUE(same_calls(record_gl([&] { FX_CARTOON(0.5f, -2, 10, 1, 4242, texture); }), want));
      EXPECT_EQ(ACTIVETEXTURESHADER, sh);
    }
}

// One front-facing and one back-facing triangle, each marked, with texture coordinate
// (0.9, 0.1) on every corner.
GLuint two_triangles() {
  GLuint list = glGenLists(1);
  glNewList(list, GL_COMPILE);
  glPassThrough(1);
  glBegin(GL_TRIANGLES);
  glNormal3f(0, 0, 1);
  glTexCoord2f(0.9f, 0.1f);
  glVertex3f(-1, -1, 0); // counter-clockwise
  glVertex3f(0, -1, 0);
  glVertex3f(-1, 0, 0);
  glVertex3f(1, 1, 0); // clockwise
  glVertex3f(2, 1, 0);
  glVertex3f(1, 0, 0);
  glEnd();
  glEndList();
  return list;
}

// The feedback of each replay of the list, split at its markers.
std::vector<std::vector<fb_primitive>> passes(const std::vector<fb_primitive> &prims) {
  std::vector<std::vector<fb_primitive>> out;
  for (const auto &p : prims)
    if (p.token == GL_PASS_THROUGH_TOKEN)
      out.emplace_back();
    else if (!out.empty())
      out.back().push_back(p);
  return out;
}

TEST_F(CartoonTest, BodyFrontFacesOutlineBackFacesInBlackThenHighlightBothAllMoved) {
  GLuint list = two_triangles();
  bind_picture();
  auto prims = capture_geometry(
      [&] {
        glEnable(GL_TEXTURE_2D);
        glEnable(GL_CULL_FACE); // as SETGLREFRACTIVE and every earlier call leave it
        glColor3f(0.25f, 0.5f, 0.75f);
        FX_CARTOON(0, 0, 10, 1, list, true);
      },
      20);
  auto p = passes(prims);
  ASSERT_EQ(p.size(), 3u);
  ASSERT_EQ(p[0].size(), 1u) << "body: front face only";
  EXPECT_EQ(p[0][0].token, GLenum(GL_POLYGON_TOKEN));
  EXPECT_NEAR(p[0][0].v[0].r, 0.25f, 1e-3) << "lighting off on entry stays off for the body";
  EXPECT_NEAR(p[0][0].v[0].x, -1, 1e-3);
  ASSERT_EQ(p[1].size(), 3u) << "outline: the back face's three edges";
  for (const auto &line : p[1]) {
    EXPECT_TRUE(line.token == GL_LINE_TOKEN || line.token == GL_LINE_RESET_TOKEN);
    for (const auto &v : line.v) {
      EXPECT_EQ(v.r + v.g + v.b, 0) << "black";
      EXPECT_GE(v.x, 1 - 1e-3);
    }
  }
  ASSERT_EQ(p[2].size(), 2u) << "highlight: both faces, culling off";
  for (const auto &pass : p)
    for (const auto &prim : pass)
      for (const auto &v : prim.v)
        EXPECT_NEAR(v.z, 10, 1e-3) << "moved in every pass";
}

TEST_F(CartoonTest, UnderTheRampTexturedBodiesKeepTheirCoordinatesAndHighlightsUseTheSphereMap) {
  GLuint list = two_triangles();
  bind_picture();
  ramp_on();
  auto coords = [&](bool textured) {
    auto prims = capture_geometry(
        [&] {
          glEnable(GL_TEXTURE_2D);
          FX_CARTOON(0, 0, -10, 1, list, textured);
        },
        20);
    std::vector<float> s;
    for (const auto &pass : passes(prims))
      s.push_back(pass.empty() ? -1 : pass[0].v[0].s);
    return s;
  };
  auto textured = coords(true);
  ASSERT_EQ(textured.size(), 3u);
  EXPECT_FLOAT_EQ(textured[0], 0.9f) << "body with its own coordinates";
  EXPECT_NEAR(textured[2], 0.5, 0.05) << "highlight looked up by the sphere map";
  auto plain = coords(false);
  ASSERT_EQ(plain.size(), 2u);
  EXPECT_NEAR(plain[0], 0.5, 0.05) << "plain body banded by the sphere map";
}

TEST_F(CartoonTest, OutlineLinesAreSizePlusSixPixelsWide) {
  // A clockwise quad: its body is culled, so its outline shows whole. The left edge lies a
  // quarter pixel right of a pixel boundary, so no pixel centre falls on a line's border.
  GLuint quad = glGenLists(1);
  glNewList(quad, GL_COMPILE);
  glBegin(GL_QUADS);
  const float corners[4][2] = {{200.25f, 100}, {200.25f, 500}, {600.25f, 500}, {600.25f, 100}};
  for (const auto &c : corners)
    glVertex2f(c[0], c[1]);
  glEnd();
  glEndList();
  glMatrixMode(GL_PROJECTION);
  glOrtho(0, 800, 0, 600, -1, 1); // one unit a pixel
  glMatrixMode(GL_MODELVIEW);
  glEnable(GL_CULL_FACE);
  for (float size : {0.0f, 1.0f, 2.0f}) {
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    FX_CARTOON(0, 0, 0, size, quad, false);
    auto px = read_pixels(800, 600);
    int black = 0;
    for (int x = 180; x < 220; x++)
      black += px[(300 * 800 + x) * 4] == 0;
    EXPECT_EQ(black, int(size) + 6) << "SIZE " << size;
    EXPECT_EQ(px[(300 * 800 + 400) * 4], 255) << "no body inside";
  }
}

// The demo's shaft seen from the side at 800x600: the cylinder stands upright on the screen.
class ShaftPictureTest : public CartoonTest {
protected:
  void SetUp() override {
    CartoonTest::SetUp();
    shaft_ = glGenLists(1);
    glNewList(shaft_, GL_COMPILE);
    glDisable(GL_LIGHTING);
    SUPPORTOASSE(0, 0, 0, 32, 0, 1.5f, 20);
    glEnable(GL_LIGHTING);
    glEndList();
    OPENGL_INIT(1000.0, 1, 1, 1, 1); // white background
    SETGLREFRACTIVE();
    SETGLLIGHT(GL_LIGHT0, 0, 0, 0, 0.1f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glTranslatef(0, 0, -30);
    glRotatef(90, -1, 0, 0);
  }

  // Runs along row Y: the black run at the left silhouette, the body, the black run at the right.
  struct row_runs {
    int left_black = 0, right_black = 0, body_from = 0, body_to = 0;
  };
  row_runs scan(const std::vector<unsigned char> &px, int y) {
    auto black = [&](int x) {
      const unsigned char *p = &px[(std::size_t(y) * 800 + x) * 4];
      return p[0] < 40 && p[1] < 40 && p[2] < 40;
    };
    auto white = [&](int x) {
      const unsigned char *p = &px[(std::size_t(y) * 800 + x) * 4];
      return p[0] == 255 && p[1] == 255 && p[2] == 255;
    };
    row_runs r;
    int x = 0;
    while (x < 800 && white(x))
      x++;
    int start = x;
    while (x < 800 && black(x))
      x++;
    r.left_black = x - start;
    r.body_from = x;
    int xr = 799;
    while (xr >= 0 && white(xr))
      xr--;
    int end = xr;
    while (xr >= 0 && black(xr))
      xr--;
    r.right_black = end - xr;
    r.body_to = xr;
    return r;
  }
  GLuint shaft_ = 0;
};

TEST_F(ShaftPictureTest, ShadeRampShowsExactlyItsFourBandsAcrossTheShaft) {
  bind_ramp(4); // entries 0-7 a quarter, 8-15 a half, 16-23 three quarters, 24-31 full
  ramp_on();
  glColor3f(1, 1, 1);
  FX_CARTOON(0, 0, 0, 1, shaft_, false);
  auto px = read_pixels(800, 600);
  std::set<int> levels;
  for (int y = 150; y <= 450; y += 10) {
    auto r = scan(px, y);
    ASSERT_GT(r.body_to - r.body_from, 40) << "row " << y;
    for (int x = r.body_from + 2; x < r.body_to - 2; x++) {
      const unsigned char *p = &px[(std::size_t(y) * 800 + x) * 4];
      // Nearest filtering: white times one ramp entry, nothing between the entries.
      int band = (p[0] + 32) / 64;
      ASSERT_TRUE(p[0] == p[1] && p[1] == p[2] && band >= 1 && std::abs(p[0] - band * 255 / 4) <= 1)
          << "(" << x << ", " << y << ") is " << int(p[0]);
      levels.insert(band);
    }
  }
  // The sphere map spreads the shaft's sideways tilt over the whole ramp.
  EXPECT_EQ(levels, std::set<int>({1, 2, 3, 4}));
}

} // namespace
} // namespace vantrel::test
