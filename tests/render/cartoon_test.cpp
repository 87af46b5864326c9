// The cartoon effect: how often it replays the list, what each pass draws, the state it leaves,
// and the outline and banding it puts on a real column shaft.
#include <algorithm>
#include <set>

#include "tests/support/gl_fixture.h"
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

// A list that leaves one pass-through marker each time it runs.
GLuint marker_list() {
  GLuint list = glGenLists(1);
  glNewList(list, GL_COMPILE);
  glPassThrough(1);
  glEndList();
  return list;
}

std::size_t markers(const std::vector<fb_primitive> &prims) {
  return std::count_if(prims.begin(), prims.end(),
                       [](const fb_primitive &p) { return p.token == GL_PASS_THROUGH_TOKEN; });
}

TEST_F(CartoonTest, ReplaysTheListTwiceOrThreeTimesForTexturedObjects) {
  GLuint list = marker_list();
  bind_picture();
  for (bool sh : {false, true}) {
    if (sh) ramp_on();
    EXPECT_EQ(markers(capture_feedback([&] { FX_CARTOON(0, 0, 0, 1, list, false); })), 2u)
        << "shade ramp " << sh;
    EXPECT_EQ(markers(capture_feedback([&] { FX_CARTOON(0, 0, 0, 1, list, true); })), 3u)
        << "shade ramp " << sh;
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

struct entry {
  bool sh, texture, tex2d;
};

TEST_F(CartoonTest, LeavesItsFixedEndStateWhateverTheEntryState) {
  GLuint list = marker_list();
  bind_picture();
  bind_ramp(4);
  for (bool sh : {false, true})
    for (bool texture : {false, true})
      for (bool tex2d : {false, true}) {
        SCOPED_TRACE(::testing::Message() << "shade ramp " << sh << ", textured " << texture
                                          << ", 2-D texturing on entry " << tex2d);
        ACTIVETEXTURESHADER = sh;
        glEnable(GL_TEXTURE_1D);
        glDisable(GL_LIGHTING);
        tex2d ? glEnable(GL_TEXTURE_2D) : glDisable(GL_TEXTURE_2D);
        glEnable(GL_TEXTURE_GEN_S); // the effect touches generation only under the ramp
        glEnable(GL_BLEND);
        glBlendFunc(GL_ZERO, GL_ZERO);
        glDisable(GL_CULL_FACE);
        glCullFace(GL_FRONT);
        SETGLLINE(5);
        SETGLFLAT();
        glColor3f(0.1f, 0.2f, 0.3f);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glTranslatef(1, 2, 3);
        GLdouble before[16], after[16];
        glGetDoublev(GL_MODELVIEW_MATRIX, before);
        GLint depth = get_int(GL_MODELVIEW_STACK_DEPTH);

        FX_CARTOON(0, 0, 10, 1, list, texture);

        GLint mode[2];
        glGetIntegerv(GL_POLYGON_MODE, mode);
        EXPECT_EQ(mode[0], GL_FILL);
        EXPECT_EQ(mode[1], GL_FILL);
        GLfloat width = 0, colour[4];
        glGetFloatv(GL_LINE_WIDTH, &width);
        EXPECT_EQ(width, 2);
        EXPECT_FALSE(glIsEnabled(GL_BLEND));
        EXPECT_EQ(get_int(GL_BLEND_SRC), GL_SRC_COLOR);
        EXPECT_EQ(get_int(GL_BLEND_DST), GL_ONE);
        EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
        EXPECT_EQ(get_int(GL_CULL_FACE_MODE), GL_BACK);
        EXPECT_EQ(get_int(GL_SHADE_MODEL), GL_SMOOTH);
        EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
        glGetFloatv(GL_CURRENT_COLOR, colour);
        EXPECT_FLOAT_EQ(colour[0], 9.5f);
        EXPECT_FLOAT_EQ(colour[2], 9.5f);
        glGetDoublev(GL_MODELVIEW_MATRIX, after);
        for (int i = 0; i < 16; i++)
          EXPECT_EQ(after[i], before[i]);
        EXPECT_EQ(get_int(GL_MODELVIEW_STACK_DEPTH), depth);
        const bool want_2d = !texture || sh || tex2d;
        EXPECT_EQ(bool(glIsEnabled(GL_TEXTURE_2D)), want_2d);
        EXPECT_EQ(bool(glIsEnabled(GL_TEXTURE_GEN_S)), !sh);
        if (sh) {
          EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_T));
          EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_R));
        }
        EXPECT_EQ(ACTIVETEXTURESHADER, sh) << "the flag is the ramp's";
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
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

TEST_F(ShaftPictureTest, SilhouetteCarriesABlackBandOfTheOutlineWidth) {
  // Lines SIZE + 6 pixels wide straddle the silhouette; the body, nearer the eye, hides their
  // inner half, so the band outside the body is half the line width.
  for (float size : {1.0f, 9.0f}) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glColor3f(0.95f, 0.95f, 0.95f);
    FX_CARTOON(0, 0, 0, size, shaft_, false);
    auto px = read_pixels(800, 600);
    const int half = int(size + 6) / 2;
    for (int y : {200, 300, 400}) {
      auto r = scan(px, y);
      SCOPED_TRACE(::testing::Message() << "SIZE " << size << ", row " << y);
      RecordProperty("band_" + std::to_string(int(size)) + "_row_" + std::to_string(y),
                     std::to_string(r.left_black) + "/" + std::to_string(r.right_black));
      EXPECT_GE(r.left_black, half);
      EXPECT_LE(r.left_black, half + 1);
      EXPECT_GE(r.right_black, half);
      EXPECT_LE(r.right_black, half + 1);
      EXPECT_GT(r.body_to - r.body_from, 40) << "the body between the bands";
    }
  }
  // Without the outline pass the same silhouette has no black at all: the band is the effect's.
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glColor3f(0.95f, 0.95f, 0.95f);
  glCallList(shaft_);
  auto plain = read_pixels(800, 600);
  EXPECT_EQ(scan(plain, 300).left_black, 0);
}

TEST_F(ShaftPictureTest, ShadeRampGivesNoMoreGreyLevelsThanItHasBands) {
  bind_ramp(4);
  ramp_on();
  glColor3f(1, 1, 1);
  FX_CARTOON(0, 0, 0, 1, shaft_, false);
  auto px = read_pixels(800, 600);
  std::set<unsigned> greys;
  for (int y = 150; y <= 450; y += 10) {
    auto r = scan(px, y);
    for (int x = r.body_from + 2; x < r.body_to - 2; x++) {
      const unsigned char *p = &px[(std::size_t(y) * 800 + x) * 4];
      greys.insert(unsigned(p[0]) << 16 | unsigned(p[1]) << 8 | p[2]);
    }
  }
  RecordProperty("grey_levels", int(greys.size()));
  EXPECT_GE(greys.size(), 2u) << "the shading falls into bands";
  EXPECT_LE(greys.size(), 4u) << "no level between the bands";
}

} // namespace
} // namespace vantrel::test
