// The demo program on the headless backend: start-up answers, the main loop's turn, the frame.
#include <filesystem>
#include <fstream>
#include <set>
#include <unistd.h>

#include <png.h>

#include "demo/program.h"
#include "tests/support/gl_fixture.h"
#include "vantrel/platform/common/window_table.h"

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
  demo::PROGRAM_END();
  EXPECT_EQ(common::find_window(HWINDOW), nullptr);
  EXPECT_FALSE(glIsList(vantrel::BASE)) << "the font lists go before the window";
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

// Screen position of the columns' middle at 800 x 600 from the fixed camera; the shafts
// stand 10 units apart, at x = -15, -5, 5, 15.
struct px {
  unsigned char r, g, b;
};
px at(const std::vector<unsigned char> &f, int x, int y_from_top) {
  const unsigned char *p = &f[(std::size_t(599 - y_from_top) * 800 + x) * 4];
  return {p[0], p[1], p[2]};
}
// Outline black, with the few per cent of fog colour that distance adds.
bool black(px p) { return p.r < 24 && p.g < 24 && p.b < 24; }

// The columns' centres along one screen row, found as the middle of each non-black run that
// lies between outline runs.
std::vector<int> shaft_runs(const std::vector<unsigned char> &f, int row) {
  std::vector<int> outline_starts;
  for (int x = 1; x < 800; x++)
    if (black(at(f, x, row)) && !black(at(f, x - 1, row))) outline_starts.push_back(x);
  return outline_starts;
}

TEST_F(DemoTest, FrameShowsFourOutlinedColumnsPlainAndTextured) {
  start_steady();
  auto f = frame();
  const int row = 300;
  auto edges = shaft_runs(f, row);
  EXPECT_GE(edges.size(), 8u) << "two black outline edges for each of four shafts";
  // Between the outlines of each shaft: the plain shafts are one flat colour under lighting
  // off, the textured ones vary.
  std::vector<std::pair<int, int>> shafts;
  for (int x = 0; x < 800;) {
    while (x < 800 && !black(at(f, x, row)))
      x++;
    while (x < 800 && black(at(f, x, row)))
      x++;
    int start_x = x;
    while (x < 800 && !black(at(f, x, row)))
      x++;
    if (x < 800 && x - start_x > 20 && x - start_x < 120) shafts.push_back({start_x, x});
  }
  ASSERT_GE(shafts.size(), 4u);
  auto spread = [&](std::pair<int, int> s) {
    int lo = 255, hi = 0;
    for (int x = s.first + 3; x < s.second - 3; x++) {
      int v = at(f, x, row).r;
      lo = std::min(lo, v), hi = std::max(hi, v);
    }
    return hi - lo;
  };
  EXPECT_LT(spread(shafts[0]), 12) << "column 1: plain, one flat colour";
  EXPECT_GT(spread(shafts[1]), 20) << "column 2: textured and lit";
  // Column 3 is column 1 under the ramp: its shaft falls into the ramp's four bands.
  std::set<int> levels;
  for (int x = shafts[2].first + 3; x < shafts[2].second - 3; x++)
    levels.insert(at(f, x, row).r);
  EXPECT_GE(levels.size(), 2u) << "the ramp shades the shaft";
  EXPECT_LE(levels.size(), 4u) << "no more grey levels than the ramp has bands";
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
  EXPECT_NE(TEXTUREID2[2], 0u);
  auto f = frame();
  EXPECT_GE(shaft_runs(f, 300).size(), 8u);
}

TEST_F(DemoTest, MalformedRampStopsWithInvalidNumericFormat) {
  std::ofstream(dir_ / "grigio3.sdr") << "0.5\n0,7\n";
  EXPECT_EXIT(start(), ::testing::ExitedWithCode(106), "grigio3.sdr");
}

// Reads an 8-bit RGB PNG.
bool read_png(const std::string &path, int &w, int &h, std::vector<unsigned char> &rgb) {
  png_image img{};
  img.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&img, path.c_str())) return false;
  img.format = PNG_FORMAT_RGB;
  w = int(img.width), h = int(img.height);
  rgb.resize(PNG_IMAGE_SIZE(img));
  return png_image_finish_read(&img, nullptr, rgb.data(), 0, nullptr) != 0;
}

TEST_F(DemoTest, FrameMatchesTheReferencePicture) {
  int w, h;
  std::vector<unsigned char> ref;
  ASSERT_TRUE(read_png(data_path("demo_frame.png"), w, h, ref));
  ASSERT_EQ(w, 800);
  ASSERT_EQ(h, 600);
  start_steady();
  auto f = frame();
  // The 800 x 600 picture is seen through the client area, 794 x 575 as on Windows: the
  // caption and frame hide its top 25 rows and right 6 columns.
  TRECT client;
  ASSERT_TRUE(platform::GetClientRect(HWINDOW, &client));
  ASSERT_EQ(client.RIGHT, 794);
  ASSERT_EQ(client.BOTTOM, 575);
  std::size_t differing = 0;
  for (int y = 600 - client.BOTTOM; y < 600; y++)
    for (int x = 0; x < client.RIGHT; x++) {
      px p = at(f, x, y);
      const unsigned char *q = &ref[(std::size_t(y) * 800 + x) * 3];
      if (std::abs(p.r - q[0]) > 16 || std::abs(p.g - q[1]) > 16 || std::abs(p.b - q[2]) > 16)
        differing++;
    }
  EXPECT_LT(double(differing) / (client.RIGHT * client.BOTTOM), 0.005)
      << differing << " pixels differ from tests/data/demo_frame.png";
}

} // namespace
} // namespace vantrel::test
