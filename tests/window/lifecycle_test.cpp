#include "tests/window/window_fixture.h"

#include "vantrel/platform/common/window_table.h"

namespace vantrel::test {
namespace {

using LifecycleTest = WindowTest;

TEST_F(LifecycleTest, WindowedIsTheRequestedSizeAtTheTopLeftWithAContext) {
  open(false);
  EXPECT_EQ(WIDTH, 800);
  EXPECT_EQ(HEIGHT, 600);
  TRECT r;
  ASSERT_TRUE(platform::GetWindowRect(HWINDOW, &r));
  EXPECT_EQ(r.LEFT, 0);
  EXPECT_EQ(r.TOP, 0);
  EXPECT_EQ(r.RIGHT, 800);
  EXPECT_EQ(r.BOTTOM, 600);
  // The caption and frame take their share of the outer size, as Wine's client is 794 x 575.
  ASSERT_TRUE(platform::GetClientRect(HWINDOW, &r));
  EXPECT_EQ(r.RIGHT, 794);
  EXPECT_EQ(r.BOTTOM, 575);
  EXPECT_TRUE(ACTIVE) << "WM_CREATE arrives during creation";
  EXPECT_EQ(common::find_window(HWINDOW)->style, 0x96CA0000u);
  EXPECT_EQ(common::find_window(HWINDOW)->title, "Vantrel test");
  ASSERT_NE(glGetString(GL_VERSION), nullptr) << "the context is current";
}

TEST_F(LifecycleTest, FullScreenTakesTheScreenSize) {
  headless::set_screen_size(1920, 1080);
  open(true);
  EXPECT_EQ(WIDTH, 1920);
  EXPECT_EQ(HEIGHT, 1080);
  EXPECT_EQ(common::find_window(HWINDOW)->style, 0x96880000u);
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[2], 1918) << "the surface is the client area, inside the thin frame";
  EXPECT_EQ(viewport[3], 1078);
}

TEST_F(LifecycleTest, PixelFormatDescriptorCarriesTheDepthInEverySizeField) {
  open(false);
  const TPIXELFORMATDESCRIPTOR &pfd = headless::last_pixel_format();
  EXPECT_EQ(pfd.nSize, 40);
  EXPECT_EQ(pfd.nVersion, 1);
  EXPECT_EQ(pfd.dwFlags, 0x1067u);
  EXPECT_EQ(pfd.iPixelType, 0);
  for (auto field : {pfd.cColorBits, pfd.cAlphaBits, pfd.cAccumBits, pfd.cDepthBits,
                     pfd.cStencilBits, pfd.cAuxBuffers})
    EXPECT_EQ(field, 32);
  EXPECT_EQ(pfd.cRedBits + pfd.cGreenBits + pfd.cBlueBits + pfd.cAccumRedBits, 0);
  EXPECT_EQ(pfd.iLayerType, 1);
}

TEST_F(LifecycleTest, SettingStoresCursorAndIconAndCentresAFreeMouse) {
  OGLWINDOWSETTING(HAND, "c.cur", FILEICON, "i.ico");
  EXPECT_EQ(SETTYPECURSOR, HAND);
  EXPECT_STREQ(CURSORFILE, "c.cur");
  EXPECT_EQ(SETTYPEICON, FILEICON);
  POINT p{7, 7};
  platform::GetCursorPos(&p);
  EXPECT_EQ(p.X, 0) << "the cursor is only placed in free-mouse mode";
  platform::SetCursorPos(5, 5);
  MOUSEFREE = true;
  WIDTH = 801;
  HEIGHT = 599;
  OGLWINDOWSETTING(ARROW, "", GENERIC, "");
  platform::GetCursorPos(&p);
  EXPECT_EQ(p.X, 400);
  EXPECT_EQ(p.Y, 299);
  EXPECT_NE(START, 0u);
}

TEST_F(LifecycleTest, MenuBarHookRunsOnlyWhenSetAndEnabled) {
  static int calls = 0;
  calls = 0;
  SHOWMENUBAR = true; // enabled without a hook: skipped, not called through null
  open(false);
  EXPECT_EQ(calls, 0);
  headless::reset();
  reset_framework_globals();
  CREATEMENUBAR = [] { calls++; };
  SHOWMENUBAR = true;
  open(false);
  EXPECT_EQ(calls, 1);
}

TEST_F(LifecycleTest, DeleteReleasesContextAndWindow) {
  open(false);
  THANDLE window = HWINDOW;
  DELETEOGLWINDOW();
  EXPECT_EQ(common::find_window(window), nullptr);
  EXPECT_FALSE(ACTIVE) << "destruction sends WM_DESTROY";
  RCWINDOW = 0;
}

// Fatal set-up errors: one box captioned "Error", the message on stderr, exit code 1.
using LifecycleDeathTest = WindowTest;

TEST_F(LifecycleDeathTest, SecondWindowFailsToRegister) {
  open(false);
  EXPECT_EXIT(open(false), ::testing::ExitedWithCode(1),
              "Errore di registro per la rispettiva applicazione!");
}

TEST_F(LifecycleDeathTest, WindowThatCannotBeCreated) {
  EXPECT_EXIT(CREATEOGLWINDOW("x", 0, 0, 32, false), ::testing::ExitedWithCode(1),
              "Impossibile creare la finestra per la rispettiva applicazione!");
}

TEST_F(LifecycleDeathTest, NoPixelFormatOrNoContextShowsTheAccentedMessage) {
  headless::fail_pixel_format(true);
  EXPECT_EXIT(open(false), ::testing::ExitedWithCode(1),
              "la rispettiva applicazione non \xC3\xA8 stata inizilizata!");
  headless::fail_pixel_format(false);
  headless::fail_context(true);
  EXPECT_EXIT(open(false), ::testing::ExitedWithCode(1), "non \xC3\xA8 stata");
}

TEST_F(LifecycleDeathTest, ColourDepthBeyondAByteIsARangeError) {
  EXPECT_EXIT(CREATEOGLWINDOW("x", 800, 600, 256, false), ::testing::ExitedWithCode(201),
              "colour depth 256");
}

TEST_F(LifecycleTest, ThrowErrorShowsOneErrorBoxBeforeItEnds) {
  EXPECT_EXIT(
      {
        headless::script_message_box(IDOK);
        // The box is recorded in the dying child; it reports what it saw on stderr.
        std::atexit([] {
          auto &boxes = headless::message_boxes();
          bool ok = boxes.size() == 1 && boxes[0].caption == "Error" && boxes[0].style == MB_OK &&
                    boxes[0].text == MSG_INIT_FAILED;
          std::fprintf(stderr, ok ? "one error box\n" : "wrong boxes\n");
        });
        THROWERROR(MSG_INIT_FAILED);
      },
      ::testing::ExitedWithCode(1), "one error box");
}

} // namespace
} // namespace vantrel::test
