#include "tests/support/gl_fixture.h"

#ifndef VANTREL_TEST_WIN32
#include "vantrel/platform/common/window_table.h"
#endif

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#ifdef _WIN32
#include <process.h>
#define getpid _getpid
#else
#include <unistd.h>
#endif

namespace vantrel::test {

static TLRESULT test_window_proc(THANDLE w, LONGWORD m, TWPARAM wp, TLPARAM lp) {
  return platform::DefWindowProcA(w, m, wp, lp);
}

void GLTest::SetUp() {
  headless::reset();
  reset_framework_globals();
  TWNDCLASS cls;
  cls.WNDPROC = test_window_proc;
  cls.CLASSNAME = "VantrelTest";
  ASSERT_NE(platform::RegisterClassA(&cls), 0u);
  window_ =
      platform::CreateWindowExA(0, "VantrelTest", "test", WS_POPUP | WS_VISIBLE, CW_USEDEFAULT,
                                CW_USEDEFAULT, width_, height_, 0, 0, 0, nullptr);
  ASSERT_NE(window_, 0u);
  dc_ = platform::GetDC(window_);
  TPIXELFORMATDESCRIPTOR pfd;
  pfd.dwFlags = PFD_DOUBLEBUFFER | PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL;
  pfd.cColorBits = 32;
  pfd.cDepthBits = 24;
  LONGINT format = platform::ChoosePixelFormat(dc_, &pfd);
  ASSERT_NE(format, 0) << "no pixel format: " << platform::LastErrorText();
  ASSERT_TRUE(platform::SetPixelFormat(dc_, format, &pfd));
  rc_ = platform::wglCreateContext(dc_);
  ASSERT_NE(rc_, 0u);
  ASSERT_TRUE(platform::wglMakeCurrent(dc_, rc_));
  HWINDOW = window_;
  DCWINDOW = dc_;
  RCWINDOW = rc_;
  WIDTH = width_;
  HEIGHT = height_;
  glViewport(0, 0, width_, height_);
}

void GLTest::TearDown() {
  platform::wglMakeCurrent(dc_, 0);
  if (rc_) platform::wglDeleteContext(rc_);
  if (dc_) platform::ReleaseDC(window_, dc_);
  if (window_) platform::DestroyWindow(window_);
  headless::reset();
  reset_framework_globals();
}

void reset_framework_globals() {
  HWINDOW = DCWINDOW = RCWINDOW = 0;
  WIDTH = HEIGHT = BITS = 0;
  FULLSCREEN = ACTIVE = false;
  SETTYPECURSOR = SETTYPEICON = 0;
  CURSORFILE = ICONFILE = nullptr;
  SHOWMENUBAR = SHOWSTATUSBAR = false;
  CREATEMENUBAR = nullptr;
  HSTATUS = 0;
  std::fill(std::begin(STATUSITEM), std::end(STATUSITEM), 0);
  std::fill(std::begin(EDGES), std::end(EDGES), 0);
  MAXSTATUSITEM = 0;
  std::fill(std::begin(FILENAME), std::end(FILENAME), '\0');
  AWND = 0;
  BMPTYPE.clear();
  WINDOWCLASSEX = TWNDCLASSEX{};
  START = 0;
  for (auto &k : SETKEY)
    k = false;
  SETMX = SETMY = SETOMX = SETOMY = 0;
  LEFTMOUSEDOWN = LEFTMOUSEDOWN2 = RIGHTMOUSEDOWN = RIGHTMOUSEDOWN2 = false;
  XCOORD = YCOORD = ZCOORD = 0;
  MOUSEFREE = false;
  MSG_ = {};
  XROT = YROT = DEPTH = XROT2 = YROT2 = DEPTH2 = 0;
  MSPEED = 0;
  MPOS = {};
  CREATEMOUSEMENU = nullptr;
  GETINPUTCOMMAND = nullptr;
  MY = {};
  for (auto &t : TEXTUREID2)
    t = 0;
  TEXTUREID = 0;
  ACTIVETEXTURESHADER = false;
  const SINGLE ambient[4] = {0.5f, 0.5f, 0.5f, 1.0f}, one[4] = {1, 1, 1, 1};
  std::memcpy(AMBIENTLIGHT, ambient, sizeof ambient);
  std::memcpy(DIFFUSELIGHT, one, sizeof one);
  std::memcpy(SPECULARLIGHT, one, sizeof one);
  std::memset(LIGHTPOSITION, 0, sizeof LIGHTPOSITION);
  std::memset(FOGCOLOR, 0, sizeof FOGCOLOR);
  BASE = 0;
  for (auto &g : GMF)
    g = {};
  for (auto &f : FNORMAL)
    f = 0;
}

std::vector<fb_primitive> capture_feedback(const std::function<void()> &draw) {
  std::vector<GLfloat> buffer(1 << 22);
  glFeedbackBuffer(GLsizei(buffer.size()), GL_4D_COLOR_TEXTURE, buffer.data());
  glRenderMode(GL_FEEDBACK);
  draw();
  GLint n = glRenderMode(GL_RENDER);
  std::vector<fb_primitive> out;
  EXPECT_GE(n, 0) << "feedback buffer overflow";
  auto vertex = [&](GLint &i) {
    fb_vertex v;
    std::memcpy(&v, &buffer[i], sizeof v);
    i += 12;
    return v;
  };
  for (GLint i = 0; i < n;) {
    GLenum token = GLenum(buffer[i++]);
    fb_primitive p{token, {}};
    if (token == GL_POLYGON_TOKEN) {
      GLint count = GLint(buffer[i++]);
      for (GLint k = 0; k < count; k++)
        p.v.push_back(vertex(i));
    } else if (token == GL_LINE_TOKEN || token == GL_LINE_RESET_TOKEN) {
      p.v.push_back(vertex(i));
      p.v.push_back(vertex(i));
    } else if (token == GL_POINT_TOKEN || token == GL_BITMAP_TOKEN ||
               token == GL_DRAW_PIXEL_TOKEN || token == GL_COPY_PIXEL_TOKEN) {
      p.v.push_back(vertex(i));
    } else if (token == GL_PASS_THROUGH_TOKEN) {
      i++;
    } else {
      ADD_FAILURE() << "unknown feedback token " << token;
      break;
    }
    out.push_back(std::move(p));
  }
  return out;
}

std::vector<fb_primitive> capture_geometry(const std::function<void()> &draw, float range,
                                           bool normals) {
  glPushAttrib(GL_ALL_ATTRIB_BITS);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(-range, range, -range, range, -range, range);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  glViewport(0, 0, 2, 2);
  glDepthRange(0, 1);
  glDisable(GL_CULL_FACE);
  glDisable(GL_LIGHTING);
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  GLuint white = 0;
  if (normals) {
    const GLenum NORMAL_MAP = 0x8511;
    for (GLenum c : {GL_S, GL_T, GL_R})
      glTexGeni(c, GL_TEXTURE_GEN_MODE, NORMAL_MAP);
    glEnable(GL_TEXTURE_GEN_S);
    glEnable(GL_TEXTURE_GEN_T);
    glEnable(GL_TEXTURE_GEN_R);
    // Mesa generates texture coordinates only for a unit with a complete texture enabled.
    glGenTextures(1, &white);
    glBindTexture(GL_TEXTURE_2D, white);
    const unsigned char texel[4] = {255, 255, 255, 255};
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, texel);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  }
  auto prims = capture_feedback([&] {
    if (normals) glBindTexture(GL_TEXTURE_2D, white), glEnable(GL_TEXTURE_2D);
    draw();
  });
  if (white) glDeleteTextures(1, &white);
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
  glPopAttrib();
  // Window (0..2) back to object units; depth 0..1 maps to +range..-range under glOrtho.
  for (auto &p : prims)
    for (auto &v : p.v) {
      v.x = (v.x - 1) * range;
      v.y = (v.y - 1) * range;
      v.z = -(v.z * 2 - 1) * range;
    }
  return prims;
}

#ifndef VANTREL_TEST_WIN32
bool update_pending(THANDLE window) {
  const common::window *w = common::find_window(window);
  return w && w->needs_paint;
}
#endif

std::vector<unsigned char> read_pixels(LONGINT w, LONGINT h) {
  std::vector<unsigned char> px(std::size_t(w) * h * 4);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, px.data());
  return px;
}

std::string data_path(const std::string &name) {
  const char *dir = std::getenv("VANTREL_TEST_DATA");
  return std::string(dir ? dir : VANTREL_TEST_DATA_DIR) + "/" + name;
}

std::string temp_path(const std::string &name) {
  auto *info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("vantrel-" + std::to_string(::getpid())) /
      (info ? std::string(info->test_suite_name()) + "." + info->name() : std::string("global"));
  std::filesystem::create_directories(dir);
  return (dir / name).string();
}

std::string write_temp_file(const std::string &name, const std::string &bytes) {
  std::string path = temp_path(name);
  std::ofstream(path, std::ios::binary) << bytes;
  return path;
}

} // namespace vantrel::test
