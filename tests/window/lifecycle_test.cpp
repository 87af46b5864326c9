#include "tests/window/window_fixture.h"

#include <cstring>

#include "vantrel/image/hover_button.h"
#include "vantrel/runerror.h"
#include "vantrel/platform/common/gdi_objects.h"
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
  EXPECT_EQ(headless::paint_count(HWINDOW), 1) << "shown and painted once during creation";
  EXPECT_FALSE(update_pending(HWINDOW));
  const common::window *w = common::find_window(HWINDOW);
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->style, 0x96CA0000u);
  EXPECT_EQ(w->title, "Vantrel test");
  ASSERT_NE(glGetString(GL_VERSION), nullptr) << "the context is current";
}

TEST_F(LifecycleTest, FullScreenTakesTheScreenSize) {
  headless::set_screen_size(1920, 1080);
  open(true);
  EXPECT_EQ(WIDTH, 1920);
  EXPECT_EQ(HEIGHT, 1080);
  ASSERT_NE(common::find_window(HWINDOW), nullptr);
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
  platform::SetCursorPos(5, 5);
  OGLWINDOWSETTING(HAND, "c.cur", FILEICON, "i.ico");
  EXPECT_EQ(SETTYPECURSOR, HAND);
  EXPECT_STREQ(CURSORFILE, "c.cur");
  EXPECT_EQ(SETTYPEICON, FILEICON);
  POINT p{7, 7};
  platform::GetCursorPos(&p);
  EXPECT_EQ(p.X, 5) << "the cursor is only placed in free-mouse mode";
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

// Each cursor kind and icon kind gives its class cursor or icon; the rest of both class records
// is fixed. Read back from the window table the classes were registered in.
TEST_F(LifecycleTest, ClassesGetTheChosenCursorAndIconAndTheirFixedFields) {
  const std::string file = write_temp_file("pointer.cur", "cursor");
  const LONGINT FROM_FILE = -1;
  const std::pair<LONGINT, LONGINT> cursors[] = {
      {ARROW, 32512},    {IBEAM, 32513},  {WAIT, 32514},           {CROSS, 32515},
      {UPARROW, 32516},  {SIZE, 32640},   {FILECURSOR, FROM_FILE}, {SIZENWSE, 32642},
      {SIZENESW, 32643}, {SIZEWE, 32644}, {SIZENS, 32645},         {SIZEALL, 32646},
      {NOCURSOR, 32648}, {HAND, 32649},   {APPSTARTING, 32650},    {HELP, 32651}};
  auto expect_shows = [&](THANDLE handle, LONGINT want, const char *what) {
    const common::gdi_object *o = common::find_object(handle, common::gdi_kind::cursor);
    ASSERT_NE(o, nullptr) << what;
    if (want == FROM_FILE)
      EXPECT_EQ(o->name, file) << what;
    else
      EXPECT_EQ(o->id, want) << what;
  };
  for (const auto &[kind, cursor] : cursors) {
    SCOPED_TRACE(::testing::Message() << "cursor kind " << kind);
    headless::reset();
    reset_framework_globals();
    const bool icon_file = kind % 2 == 0; // both icon kinds along the way
    OGLWINDOWSETTING(kind, file.c_str(), icon_file ? FILEICON : GENERIC, file.c_str());
    ASSERT_TRUE(WINDOWREGISTER());
    const common::window_class *main = common::find_class("GLWindow");
    ASSERT_NE(main, nullptr);
    expect_shows(main->cursor, cursor, "class cursor");
    expect_shows(main->icon, icon_file ? FROM_FILE : 32512, "class icon");
    EXPECT_EQ(main->style, 3u) << "CS_VREDRAW | CS_HREDRAW";
    EXPECT_EQ(main->proc, &GLWNDPROC);
    EXPECT_EQ(main->instance, platform::GetModuleHandleA(nullptr));
    ASSERT_NE(common::find_object(main->background, common::gdi_kind::brush), nullptr);
    EXPECT_EQ(common::find_object(main->background, common::gdi_kind::brush)->id, COLOR_BTNFACE);
  }
  const common::window_class *button = common::find_class("IMAGEBUTTON");
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->style, 0u);
  EXPECT_EQ(button->proc, &HOVERBUTTONHANDLER);
  expect_shows(button->cursor, 32512, "button cursor");
  expect_shows(button->icon, 32512, "button icon");
  expect_shows(WINDOWCLASSEX.ICONSM, 32512, "button small icon");
  // The null stock brush (stock objects are kept as brush -1 - index): erasing paints nothing.
  ASSERT_NE(common::find_object(button->background, common::gdi_kind::brush), nullptr);
  EXPECT_EQ(common::find_object(button->background, common::gdi_kind::brush)->id, -1 - NULL_BRUSH);
}

TEST_F(LifecycleTest, DeleteReleasesContextDeviceContextAndWindow) {
  open(false);
  THANDLE window = HWINDOW, dc = DCWINDOW, rc = RCWINDOW;
  ASSERT_NE(common::find_object(dc, common::gdi_kind::dc), nullptr);
  // By the window's WM_DESTROY the context is no longer current and gone, the DC released.
  static std::string at_destroy;
  static THANDLE seen_rc, seen_dc;
  seen_rc = rc, seen_dc = dc, at_destroy.clear();
  common::find_window(window)->proc = [](THANDLE w, LONGWORD m, TWPARAM wp, TLPARAM lp) {
    if (m == WM_DESTROY && at_destroy.empty())
      at_destroy = std::string(glGetString(GL_VERSION) ? "current " : "") +
                   (platform::wglMakeCurrent(seen_dc, seen_rc) ? "alive " : "") +
                   (common::find_object(seen_dc, common::gdi_kind::dc) ? "dc" : "");
    return GLWNDPROC(w, m, wp, lp);
  };
  DELETEOGLWINDOW();
  EXPECT_EQ(at_destroy, "");
  EXPECT_EQ(glGetString(GL_VERSION), nullptr) << "no context is current";
  EXPECT_FALSE(platform::wglDeleteContext(rc)) << "the context is already deleted";
  EXPECT_EQ(common::find_object(dc, common::gdi_kind::dc), nullptr) << "released";
  EXPECT_EQ(common::find_window(window), nullptr);
  EXPECT_FALSE(ACTIVE) << "destruction sends WM_DESTROY";
  RCWINDOW = 0;
}

// With a host's error hook every failure comes back as false, after the menu-bar hook and the
// status-bar step (which run before the window is checked), and leaves no window, context or
// ACTIVE behind; the hook gets the number and the message.
TEST_F(LifecycleTest, FailuresReturnToAHostAfterTheMenuAndStatusBarSteps) {
  static std::vector<std::string> events;
  static THANDLE made;
  struct row {
    const char *name;
    LONGINT width, bits;
    bool no_pixel_format;
    std::string error;
  } rows[] = {
      {"no window", 0, 32, false, "1 " + std::string(MSG_WINDOW_FAILED)},
      {"no pixel format", 800, 32, true, "1 " + std::string(MSG_INIT_FAILED)},
      {"depth 256", 800, 256, false, "201 colour depth 256 outside 0..255"},
  };
  for (const row &r : rows) {
    SCOPED_TRACE(r.name);
    headless::reset();
    reset_framework_globals();
    events.clear();
    std::memset(FILENAME, 0, sizeof FILENAME);
    SETERRORHOOK([](const TERRORREPORT &e) {
      events.push_back(std::to_string(e.CODE) + " " + e.TEXT + (e.FATAL ? "" : " (warning)"));
    });
    made = 0;
    CREATEMENUBAR = [] {
      events.push_back("menu bar");
      made = HWINDOW;
    };
    SHOWMENUBAR = SHOWSTATUSBAR = true;
    headless::fail_pixel_format(r.no_pixel_format);
    EXPECT_FALSE(CREATEOGLWINDOW("x", r.width, 600, r.bits, false));
    SETERRORHOOK(nullptr);
    EXPECT_EQ(events, (std::vector<std::string>{"menu bar", r.error}));
    EXPECT_STREQ(FILENAME, "Percorso file") << "the status-bar step ran";
    EXPECT_EQ(HWINDOW, 0u);
    EXPECT_EQ(DCWINDOW, 0u);
    EXPECT_EQ(RCWINDOW, 0u);
    EXPECT_FALSE(ACTIVE);
    TRECT gone;
    EXPECT_FALSE(made && platform::GetWindowRect(made, &gone)) << "no window is left";
  }
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
