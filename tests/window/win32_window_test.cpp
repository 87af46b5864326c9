// The main window as user32, gdi32 and opengl32 record it: the class, the window, the pixel
// format and the current context that the framework set up through the real calls.
#include "tests/support/win32_readback.h"
#include "tests/window/window_fixture.h"
#include "vantrel/image/hover_button.h"

namespace vantrel::test {
namespace {

using Win32WindowTest = WindowTest;

TEST_F(Win32WindowTest, ClassesAreRegisteredWithTheFrameworkProceduresAndSystemLook) {
  open(false);
  THANDLE instance = platform::GetModuleHandleA(nullptr);
  TWNDCLASSEX gl;
  ASSERT_TRUE(platform::GetClassInfoExA(instance, "GLWindow", &gl));
  EXPECT_EQ(gl.STYLE, CS_HREDRAW | CS_VREDRAW);
  EXPECT_EQ(gl.WNDPROC, &GLWNDPROC);
  EXPECT_EQ(gl.BACKGROUND, platform::GetSysColorBrush(COLOR_BTNFACE));
  EXPECT_EQ(gl.CURSOR, platform::LoadCursorA(0, IDC_ARROW));
  EXPECT_EQ(gl.ICON, platform::LoadIconA(0, IDI_APPLICATION));
  EXPECT_EQ(gl.CLSEXTRA + gl.WNDEXTRA, 0);

  // The framework asks for it under instance 0, where Win32 keeps only its own classes, so it
  // registers it each time and a repeat fails unseen; the program's instance finds it.
  TWNDCLASSEX button;
  ASSERT_TRUE(platform::GetClassInfoExA(instance, SZHOVERCLASS, &button)) << "registered beside it";
  EXPECT_FALSE(platform::GetClassInfoExA(0, SZHOVERCLASS, nullptr));
  EXPECT_EQ(button.WNDPROC, &HOVERBUTTONHANDLER);
  EXPECT_EQ(button.STYLE, 0u);
  EXPECT_EQ(button.BACKGROUND, platform::GetStockObject(NULL_BRUSH));
}

TEST_F(Win32WindowTest, WindowedWindowCarriesItsStyleTitleAndRectangle) {
  open(false);
  win32::window_facts w = win32::window(HWINDOW);
  ASSERT_TRUE(w.exists);
  EXPECT_EQ(w.class_name, "GLWindow");
  EXPECT_EQ(w.title, "Vantrel test");
  EXPECT_EQ(w.style, 0x96CA0000u);
  EXPECT_EQ(w.ex_style & 0x8u, 0u) << "not topmost";
  EXPECT_EQ(w.rect.LEFT, 0);
  EXPECT_EQ(w.rect.TOP, 0);
  EXPECT_EQ(w.rect.RIGHT, 800);
  EXPECT_EQ(w.rect.BOTTOM, 600);
  DELETEOGLWINDOW();
  EXPECT_FALSE(win32::window(HWINDOW).exists);
  RCWINDOW = 0;
}

TEST_F(Win32WindowTest, FullScreenWindowCoversTheScreenWithAThinBorder) {
  open(true);
  win32::window_facts w = win32::window(HWINDOW);
  EXPECT_EQ(w.style, 0x96880000u);
  EXPECT_EQ(w.rect.RIGHT - w.rect.LEFT, platform::GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(w.rect.BOTTOM - w.rect.TOP, platform::GetSystemMetrics(SM_CYSCREEN));
}

TEST_F(Win32WindowTest, PixelFormatIsTheOneChosenForTheDescriptorAndTheContextIsCurrent) {
  open(false);
  win32::pixel_format_facts f = win32::pixel_format(DCWINDOW);
  ASSERT_GT(f.index, 0) << "a pixel format is set on the window's device context";
  const LONGWORD needed = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
  EXPECT_EQ(f.pfd.dwFlags & needed, needed);
  EXPECT_EQ(f.pfd.iPixelType, PFD_TYPE_RGBA);
  EXPECT_GE(f.pfd.cColorBits, 24);
  EXPECT_GT(f.pfd.cDepthBits, 0);

  // The descriptor as specified, field by field: gdi32 picks the same format for it.
  TPIXELFORMATDESCRIPTOR spec;
  spec.dwFlags = 0x1067;
  spec.cColorBits = spec.cAlphaBits = spec.cAccumBits = spec.cDepthBits = spec.cStencilBits =
      spec.cAuxBuffers = 32;
  spec.iLayerType = 1;
  EXPECT_EQ(win32::choose_pixel_format(DCWINDOW, spec), f.index);

  EXPECT_EQ(win32::current_context(), RCWINDOW);
  EXPECT_EQ(win32::current_dc(), DCWINDOW);
  DELETEOGLWINDOW();
  EXPECT_EQ(win32::current_context(), 0u) << "no context stays current";
  RCWINDOW = 0;
}

} // namespace
} // namespace vantrel::test
