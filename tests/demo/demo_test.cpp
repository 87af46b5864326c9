// The demo program on the headless backend: start-up answers and calls, the six lists, the main
// loop's turn, the frame's calls and the colours it puts on the screen, the tear-down.
#include <cmath>
#include <filesystem>
#include <fstream>
#include <set>
#include <unistd.h>

#include "demo/frame.h"
#include "demo/program.h"
#include "demo/scene.h"
#include "tests/support/gl_fixture.h"
#include "tests/support/gl_recorder.h"
#include "vantrel/geometry/box.h"
#include "vantrel/geometry/revolved.h"
#include "vantrel/image/texture.h"
#include "vantrel/platform/common/window_table.h"
#include "vantrel/render/cartoon.h"
#include "vantrel/render/projection.h"

namespace vantrel::test {
namespace {

namespace fs = std::filesystem;

// Runs each test in a fresh copy of the demo's assets, so a test may spoil one of them.
class DemoTest : public ::testing::Test {
protected:
  void SetUp() override {
    headless::reset();
    reset_framework_globals();
    home_ = fs::current_path();
    dir_ = fs::temp_directory_path() /
           ("vantrel-demo-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
    for (const char *f : {"stoneblocks.bmp", "pietre.bmp", "gray11.bmp", "grigio3.sdr"})
      fs::copy_file(fs::path(VANTREL_DEMO_ASSETS) / f, dir_ / f,
                    fs::copy_options::overwrite_existing);
    fs::current_path(dir_);
  }
  void TearDown() override {
    if (RCWINDOW) platform::wglMakeCurrent(DCWINDOW, 0), platform::wglDeleteContext(RCWINDOW);
    headless::reset();
    reset_framework_globals();
    fs::current_path(home_);
    fs::remove_all(dir_);
  }
  void start(LONGINT answer = IDNO) {
    headless::script_message_box(answer);
    demo::PROGRAM_START();
  }
  // Started, past the first frame (which still has the ramp's 1-D texturing on from its load).
  void start_steady() {
    start();
    demo::PROGRAM_FRAME();
  }
  static TLPARAM xy(LONGINT x, LONGINT y) { return TLPARAM(y << 16 | x); }
  // One frame drawn and read back (rows bottom-up, RGBA).
  std::vector<unsigned char> frame() {
    demo::PROGRAM_FRAME();
    return read_pixels(WIDTH, HEIGHT);
  }
  fs::path home_, dir_;
};

TEST_F(DemoTest, AsksTheQuestionAndOpensAWindowForTheAnswer) {
  start(IDNO);
  ASSERT_GE(headless::message_boxes().size(), 1u);
  const auto &box = headless::message_boxes()[0];
  EXPECT_EQ(box.text, "Settare lo schermo intero?  ");
  EXPECT_EQ(box.caption, "Video!");
  EXPECT_EQ(box.style, 0x24u);
  EXPECT_FALSE(FULLSCREEN);
  EXPECT_EQ(WIDTH, 800);
  EXPECT_EQ(HEIGHT, 600);
  EXPECT_EQ(headless::last_pixel_format().cColorBits, 32);
  EXPECT_EQ(SETTYPECURSOR, ARROW);
  EXPECT_EQ(SETTYPEICON, GENERIC);
  EXPECT_STREQ(CURSORFILE, "");
  EXPECT_STREQ(ICONFILE, "");
  EXPECT_EQ(common::find_window(HWINDOW)->title,
            "Dimostrazione di FX_Cartoon abbinato con Texture CellShader");
}

TEST_F(DemoTest, YesAndAFailedBoxBothMeanFullScreen) {
  headless::set_screen_size(1280, 1024);
  start(IDYES);
  EXPECT_TRUE(FULLSCREEN);
  EXPECT_EQ(WIDTH, 1280);
  EXPECT_EQ(HEIGHT, 1024);
  demo::PROGRAM_END();
  RCWINDOW = 0;
  headless::reset();
  reset_framework_globals();
  headless::set_screen_size(1024, 768);
  start(0);
  EXPECT_TRUE(FULLSCREEN);
  EXPECT_EQ(WIDTH, 1024);
}

TEST_F(DemoTest, EscapeFinishesTheTurnsFrameAndEndsTheLoop) {
  start();
  platform::PostMessageA(HWINDOW, WM_KEYDOWN, VK_ESCAPE, 0);
  LONGINT before = headless::swap_count();
  demo::PROGRAM_RUN();
  EXPECT_EQ(headless::swap_count() - before, 1);
  // The font lists are deleted while the context still holds them; then the window goes.
  LONGWORD font = vantrel::BASE;
  ASSERT_TRUE(glIsList(font));
  EXPECT_TRUE(same_calls(record_gl(demo::PROGRAM_END),
                         {"glDeleteLists(" + std::to_string(font) + ", 256)"}));
  EXPECT_EQ(common::find_window(HWINDOW), nullptr);
  RCWINDOW = 0;
}

TEST_F(DemoTest, InactiveOnEntryStillDrawsOneFrame) {
  start();
  ACTIVE = false;
  LONGINT before = headless::swap_count();
  demo::PROGRAM_RUN();
  EXPECT_EQ(headless::swap_count() - before, 1);
}

TEST_F(DemoTest, TenMessagesTakeTenFrames) {
  start();
  for (int i = 0; i < 10; i++)
    platform::PostMessageA(HWINDOW, WM_MOUSEMOVE, 0, xy(i, i));
  platform::PostMessageA(HWINDOW, WM_KEYDOWN, VK_ESCAPE, 0);
  LONGINT before = headless::swap_count();
  demo::PROGRAM_RUN();
  EXPECT_EQ(headless::swap_count() - before, 11);
}

TEST_F(DemoTest, FramesRepeatUntilTheMouseTurnsOrMovesTheView) {
  start_steady();
  auto still = frame();
  EXPECT_EQ(frame(), still) << "nothing animates on its own";
  platform::PostMessageA(HWINDOW, WM_LBUTTONDOWN, MK_LBUTTON, xy(400, 300));
  frame();
  platform::PostMessageA(HWINDOW, WM_MOUSEMOVE, MK_LBUTTON, xy(440, 300));
  auto turned = frame();
  EXPECT_NE(turned, still);
  EXPECT_FLOAT_EQ(YROT, 40.0f);
  platform::PostMessageA(HWINDOW, WM_LBUTTONUP, 0, xy(440, 300));
  frame();
  platform::PostMessageA(HWINDOW, WM_RBUTTONDOWN, MK_RBUTTON, xy(400, 300));
  frame();
  platform::PostMessageA(HWINDOW, WM_MOUSEMOVE, MK_RBUTTON, xy(400, 350));
  auto moved = frame();
  EXPECT_FLOAT_EQ(DEPTH, -10.0f);
  EXPECT_NE(moved, turned);
}

TEST_F(DemoTest, MissingTextureStillRuns) {
  fs::remove(dir_ / "pietre.bmp");
  ::testing::internal::CaptureStderr();
  start();
  std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("pietre.bmp"), std::string::npos) << err;
  EXPECT_EQ(TEXTUREID2[1], 0u);
  EXPECT_NE(TEXTUREID2[0], 0u);
  EXPECT_NE(TEXTUREID2[2], 0u);
  demo::PROGRAM_FRAME();
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(DemoTest, MalformedRampStopsWithInvalidNumericFormat) {
  std::ofstream(dir_ / "grigio3.sdr") << "0.5\n0,7\n";
  EXPECT_EXIT(start(), ::testing::ExitedWithCode(106), "grigio3.sdr");
}

// ---- The calls of start-up and of one frame, written from the program's steps ----

std::string n(LONGWORD v) { return std::to_string(v); }

// The calls that load slot SLOT from a 256 x 256 picture into texture NAME: whether OpenGL can
// hold the picture is asked of its proxy first.
calls texture_load(GLuint name) {
  return {"glTexImage2D(GL_PROXY_TEXTURE_2D, 0, 3, 256, 256, 0, GL_RGB, GL_UNSIGNED_BYTE, null)",
          "glEnable(GL_TEXTURE_2D)",
          "glGenTextures(1) = " + n(name),
          "glBindTexture(GL_TEXTURE_2D, " + n(name) + ")",
          "glPixelStorei(GL_UNPACK_ALIGNMENT, 4)",
          "glPixelStorei(GL_UNPACK_ROW_LENGTH, 0)",
          "glPixelStorei(GL_UNPACK_SKIP_ROWS, 0)",
          "glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0)",
          "glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR)",
          "glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR)",
          "glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT)",
          "glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT)",
          "glTexImage2D(GL_TEXTURE_2D, 0, 3, 256, 256, 0, GL_RGB, GL_UNSIGNED_BYTE, data)"};
}

// The content of the six lists: the primitives as they record themselves, around them the
// brackets of the scene's steps.
calls base_content(bool unlit) {
  calls c;
  if (unlit) c = {"glDisable(GL_LIGHTING)"};
  c += {"glPushMatrix()", "glRotatef(90, 1, 0, 0)", "glMatrixMode(GL_TEXTURE)", "glPushMatrix()",
        "glScalef(0.5, 0.5, 0.5)"};
  c += record_gl([] { CUBO(0.0f, 0.0f, 0.0f, 2.2f, 1.0f, 2.2f); });
  c += {"glPopMatrix()", "glMatrixMode(GL_MODELVIEW)"};
  if (unlit) c += {"glEnable(GL_LIGHTING)"};
  c += {"glPopMatrix()"};
  return c;
}
calls capital_content(bool unlit) {
  calls c;
  if (unlit) c = {"glDisable(GL_LIGHTING)"};
  c += {"glMatrixMode(GL_TEXTURE)", "glPushMatrix()", "glScalef(0.5, 0.5, 0.5)"};
  c += record_gl([] { CONOTRONCO(0.0f, 0.0f, 0.0f, 20, 1.5f, 2.0f, 2.0f); });
  c += {"glPopMatrix()", "glMatrixMode(GL_MODELVIEW)"};
  c += record_gl([] { TOROIDE(0.0f, 0.0f, 0.0f, 0.4f, 1.75f, 20, 20); });
  c += {"glPushMatrix()", "glTranslatef(0, 0, 2)"};
  c += record_gl([] { TOROIDE(0.0f, 0.0f, 0.0f, 0.4f, 1.25f, 20, 20); });
  c += {"glPopMatrix()"};
  if (unlit) c += {"glEnable(GL_LIGHTING)"};
  return c;
}
calls shaft_content(bool unlit) {
  calls c;
  if (unlit) c = {"glDisable(GL_LIGHTING)"};
  c += {"glMatrixMode(GL_TEXTURE)", "glPushMatrix()", "glScalef(0.5, 0.5, 0.5)"};
  c += record_gl([] { SUPPORTOASSE(0.0f, 0.0f, 0.0f, 32, 0.0f, 1.5f, 20.0f); });
  c += {"glPopMatrix()", "glMatrixMode(GL_MODELVIEW)"};
  if (unlit) c += {"glEnable(GL_LIGHTING)"};
  return c;
}

TEST_F(DemoTest, StartUpMakesItsCallsAndRecordsTheSixLists) {
  calls got = record_gl([&] { start(); });
  // The outline font's 256 names: the 255 lists built into them are the font's own business.
  int font_lists = 0;
  got = without_lists(got, vantrel::BASE, 256, &font_lists);
  EXPECT_EQ(font_lists, 255) << "codes 0 to 254";

  calls want = record_gl([] { OPENGL_INIT(1000.0, 0.0, 0.0, 0.0, 0.0); });
  want += {"glEnable(GL_CULL_FACE)",
           "glCullFace(GL_BACK)",
           "glFrontFace(GL_CCW)",
           "glEnable(GL_LIGHTING)",
           "glLightfv(GL_LIGHT0, GL_AMBIENT, {0.5, 0.5, 0.5, 1})",
           "glLightfv(GL_LIGHT0, GL_DIFFUSE, {1, 1, 1, 1})",
           "glLightfv(GL_LIGHT0, GL_SPECULAR, {1, 1, 1, 1})",
           "glEnable(GL_LIGHT0)",
           "glLightfv(GL_LIGHT0, GL_POSITION, {0, 0, 0, 0.1})"};
  for (int slot = 0; slot < 3; slot++)
    want += texture_load(TEXTUREID2[slot]);
  want += {"glGenLists(256) = " + n(vantrel::BASE)};
  want += {"glEnable(GL_TEXTURE_1D)",
           "glGenTextures(1) = " + n(TEXTUREID),
           "glBindTexture(GL_TEXTURE_1D, " + n(TEXTUREID) + ")",
           "glTexImage1D(GL_TEXTURE_1D, 0, GL_RGB, 32, 0, GL_RGB, GL_FLOAT, data)",
           "glTexParameteri(GL_TEXTURE_1D, GL_TEXTURE_MAG_FILTER, GL_NEAREST)",
           "glTexParameteri(GL_TEXTURE_1D, GL_TEXTURE_MIN_FILTER, GL_NEAREST)",
           "glTexParameteri(GL_TEXTURE_1D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE)",
           "glTexParameteri(GL_TEXTURE_1D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE)",
           "glEnable(GL_TEXTURE_1D)",
           "glBindTexture(GL_TEXTURE_1D, " + n(TEXTUREID) + ")"};
  const std::pair<LONGWORD, calls> lists[] = {
      {demo::BASE, base_content(false)},         {demo::CAPITELLO, capital_content(false)},
      {demo::COLONNA, shaft_content(false)},     {demo::BASE2, base_content(true)},
      {demo::CAPITELLO2, capital_content(true)}, {demo::COLONNA2, shaft_content(true)}};
  for (const auto &[name, content] : lists) {
    want += {"glGenLists(1) = " + n(name), "glNewList(" + n(name) + ", GL_COMPILE)"};
    want += content;
    want += {"glEndList()"};
  }
  EXPECT_TRUE(same_calls(got, want));
  EXPECT_EQ(FILEIN.HANDLE, nullptr) << "the ramp's file is closed after the load";

  // Each slot holds its own file: the texel at (0, 0) is the file's bottom-left pixel.
  const char *files[3] = {"stoneblocks.bmp", "pietre.bmp", "gray11.bmp"};
  for (int slot = 0; slot < 3; slot++) {
    std::ifstream bmp(files[slot], std::ios::binary);
    char header[57];
    bmp.read(header, sizeof header); // 54 bytes of header, then blue, green, red
    std::vector<unsigned char> texels(256 * 256 * 3);
    TEXTURESELECTID(slot);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
    EXPECT_EQ(texels[0], (unsigned char)header[56]) << files[slot];
    EXPECT_EQ(texels[2], (unsigned char)header[54]) << files[slot];
  }
}

TEST_F(DemoTest, FrameMakesItsCallsStepByStep) {
  start_steady();
  DEPTH = -3, XROT = 10, YROT = 20; // as a drag would leave them
  calls got = record_gl(demo::PROGRAM_FRAME);
  EXPECT_EQ(MSPEED, 2);

  // The cartoon effect's calls are its own (cartoon_test.cpp); here, where and with what.
  auto fx = [](float z, LONGWORD list, bool textured) {
    return record_gl([=] { FX_CARTOON(0.0f, 0.0f, z, 1.0f, list, textured); });
  };
  auto plain = [&](const char *d) {
    calls c = {"glPushMatrix()", std::string("glTranslatef(") + d + ", 0, 0)"};
    c += {"glColor3f(0.3, 0.3, 0.3)"}, c += fx(0.0f, demo::BASE2, false);
    c += {"glColor3f(0.6, 0.1, 0.1)"}, c += fx(1.2f, demo::CAPITELLO2, false);
    c += {"glColor3f(0.95, 0.95, 0.95)"}, c += fx(10.0f, demo::COLONNA2, false);
    c += {"glRotatef(180, 1, 0, 0)", "glPushMatrix()"};
    c += {"glColor3f(0.6, 0.1, 0.1)"}, c += fx(-21.0f, demo::CAPITELLO2, false);
    c += {"glColor3f(0.3, 0.3, 0.3)"}, c += fx(-22.2f, demo::BASE2, false);
    c += {"glColor3f(0.95, 0.95, 0.95)", "glPopMatrix()", "glPopMatrix()"};
    return c;
  };
  auto bind = [](int slot) { return "glBindTexture(GL_TEXTURE_2D, " + n(TEXTUREID2[slot]) + ")"; };
  auto textured = [&](const char *d) {
    calls c = {"glPushMatrix()", std::string("glTranslatef(") + d + ", 0, 0)"};
    c += {bind(0)}, c += fx(0.0f, demo::BASE, true);
    c += {bind(1)}, c += fx(1.2f, demo::CAPITELLO, true);
    c += {bind(2)}, c += fx(10.0f, demo::COLONNA, true);
    c += {"glRotatef(180, 1, 0, 0)", "glPushMatrix()"};
    c += {bind(1)}, c += fx(-21.0f, demo::CAPITELLO, true);
    c += {bind(0)}, c += fx(-22.2f, demo::BASE, true);
    c += {"glPopMatrix()", "glPopMatrix()"};
    return c;
  };

  calls want = {"glClear(GL_COLOR_BUFFER_BIT)",
                "glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT)", "glLoadIdentity()"};
  // The overlay pass: its light marker from the window size, then back to the 3-D view.
  want += record_gl([] { OPENGL_I2D(0.0, 0.0, 0.0, 0.0); });
  want += {"glLightfv(GL_LIGHT0, GL_POSITION, {0, -400, 300, 0.1})",
           "glPointSize(400)",
           "glBegin(GL_POINTS)",
           "glNormal3f(0, 0, 1)",
           "glVertex3f(0, -400, 300)",
           "glEnd()"};
  want += record_gl([] { OPENGL_INIT(1000.0, 0.0, 0.0, 0.0, 0.0); });
  want +=
      {"glTranslatef(0, -12, -40)", "glRotatef(90, -1, 0, 0)",
       // the navigation in mode GL_MX
       "glTranslatef(0, 3, 0)", "glRotatef(10, 1, 0, 0)", "glRotatef(20, 0, 0, 1)",
       "glLightfv(GL_LIGHT0, GL_POSITION, {0, -15, 22, 0})", "glPointSize(2)", "glBegin(GL_POINTS)",
       "glNormal3f(0, 0, 1)", "glVertex3f(0, -15, 22)", "glEnd()", "glFogi(GL_FOG_MODE, GL_EXP2)",
       "glFogfv(GL_FOG_COLOR, {0.65, 0.65, 0.65, 0})", "glFogf(GL_FOG_DENSITY, 0.006)",
       "glHint(GL_FOG_HINT, GL_DONT_CARE)", "glFogf(GL_FOG_START, 4.5)", "glFogf(GL_FOG_END, 5)",
       "glClearColor(0, 0, 0, 0)", "glEnable(GL_FOG)", "glDisable(GL_TEXTURE_2D)"};
  want += record_gl([] { CUBO(0.0f, 0.0f, -5.0f, 40.0f, 20.0f, 0.1f); });
  want += record_gl([] { CUBO(0.0f, 20.0f, 15.0f, 40.0f, 0.1f, 20.0f); });
  want += {"glEnable(GL_TEXTURE_2D)"};
  ACTIVETEXTURESHADER = false;
  want += plain("-15"), want += textured("-5");
  want += {"glEnable(GL_TEXTURE_1D)", "glDisable(GL_LIGHTING)"};
  ACTIVETEXTURESHADER = true;
  want += plain("5"), want += textured("15");
  want += {"glDisable(GL_TEXTURE_1D)", "glEnable(GL_LIGHTING)"};
  ACTIVETEXTURESHADER = false;
  EXPECT_TRUE(same_calls(got, want));
}

// ---- What the frame puts on the screen, computed from its state ----

// Where the frame's matrices take world point (X, Y, Z): its pixel (from the bottom) and its
// distance along the view axis.
struct seen {
  int x, y;
  double depth;
};
seen project(double x, double y, double z) {
  GLdouble mv[16], pr[16], e[4], c[4];
  glGetDoublev(GL_MODELVIEW_MATRIX, mv);
  glGetDoublev(GL_PROJECTION_MATRIX, pr);
  for (int i = 0; i < 4; i++)
    e[i] = mv[i] * x + mv[4 + i] * y + mv[8 + i] * z + mv[12 + i];
  for (int i = 0; i < 4; i++)
    c[i] = pr[i] * e[0] + pr[4 + i] * e[1] + pr[8 + i] * e[2] + pr[12 + i] * e[3];
  return {int(std::floor((c[0] / c[3] + 1) / 2 * WIDTH)),
          int(std::floor((c[1] / c[3] + 1) / 2 * HEIGHT)), -e[2]};
}

// A colour component seen through the frame's fog: density 0.01 - 0.004, colour 0.65, GL_EXP2.
double fogged(double c, double depth) {
  double kept = std::exp(-std::pow(0.006 * depth, 2));
  return 255 * (kept * c + (1 - kept) * 0.65);
}

TEST_F(DemoTest, PlainPiecesShowTheirColourThroughTheFog) {
  start_steady();
  auto f = frame();
  struct piece {
    const char *name;
    double x, y, z; // a point on its front, away from every outline
    double r, g, b;
  };
  const piece pieces[] = {
      {"lower base", -15, -2.2, 0, 0.3, 0.3, 0.3},
      {"lower capital", -15, -1.75, 2.2, 0.6, 0.1, 0.1},
      {"shaft", -15, -1.35, 10, 0.95, 0.95, 0.95},
      {"upper capital", -15, -1.75, 20, 0.6, 0.1, 0.1},
      {"upper base", -15, -2.2, 22.2, 0.3, 0.3, 0.3},
  };
  for (const piece &p : pieces) {
    seen s = project(p.x, p.y, p.z);
    const unsigned char *px = &f[(std::size_t(s.y) * WIDTH + s.x) * 4];
    EXPECT_NEAR(px[0], fogged(p.r, s.depth), 1.5) << p.name;
    EXPECT_NEAR(px[1], fogged(p.g, s.depth), 1.5) << p.name;
    EXPECT_NEAR(px[2], fogged(p.b, s.depth), 1.5) << p.name;
  }
}

TEST_F(DemoTest, TheRampColumnShowsTheRampsBandsThroughTheFog) {
  start_steady();
  auto f = frame();
  const double ramp[] = {0.3, 0.55, 0.8, 1.0}; // the levels of grigio3.sdr
  std::set<int> bands;
  // Across the front of column 3's shaft and base, clear of the outlines at the silhouette.
  for (auto [colour, z, r] : {std::tuple{0.95, 10.0, 1.35}, {0.3, 0.0, 2.2}})
    for (double x = -1.0; x <= 1.0; x += 0.05) {
      double y = colour == 0.3 ? -r : -std::sqrt(r * r - x * x);
      seen s = project(5 + x, y, z);
      int value = f[(std::size_t(s.y) * WIDTH + s.x) * 4];
      int band = -1;
      for (int k = 0; k < 4; k++)
        if (std::abs(value - fogged(ramp[k] * colour, s.depth)) <= 1.5) band = k;
      EXPECT_GE(band, 0) << "x " << x << ", z " << z << ": " << value;
      bands.insert(band);
    }
  EXPECT_GE(bands.size(), 2u) << "the sphere map spreads the surfaces over the ramp";
}

} // namespace
} // namespace vantrel::test
