// Window classes, the main window, its pixel format and rendering context, fatal set-up errors.
#include "vantrel/window/lifecycle.h"

#include "vantrel/globals.h"
#include "vantrel/platform/platform.h"
#include "vantrel/runerror.h"
#include "vantrel/image/hover_button.h"
#include "vantrel/window/message_pump.h"
#include "vantrel/window/status_bar.h"

namespace vantrel {

static THANDLE class_cursor() {
  static const LONGWORD SYSTEM_CURSORS[17] = {
      0,           IDC_ARROW, IDC_IBEAM,    IDC_WAIT,        IDC_CROSS,  IDC_UPARROW,
      IDC_SIZE,    0,         IDC_SIZENWSE, IDC_SIZENESW,    IDC_SIZEWE, IDC_SIZENS,
      IDC_SIZEALL, IDC_NO,    IDC_HAND,     IDC_APPSTARTING, IDC_HELP};
  if (SETTYPECURSOR == FILECURSOR) return platform::LoadCursorFromFileA(CURSORFILE);
  // Kinds outside the table get the arrow rather than no cursor at all.
  LONGWORD id = SETTYPECURSOR >= 1 && SETTYPECURSOR <= 16 ? SYSTEM_CURSORS[SETTYPECURSOR] : 0;
  return platform::LoadCursorA(0, id ? id : IDC_ARROW);
}

static THANDLE class_icon() {
  if (SETTYPEICON == FILEICON) return platform::LoadCursorFromFileA(ICONFILE);
  return platform::LoadIconA(0, IDI_APPLICATION);
}

void OGLWINDOWSETTING(LONGINT TYPECURSOR, PCHAR CURFILE, LONGINT TYPEICON, PCHAR ICOFILE) {
  if (MOUSEFREE) {
    START = platform::GetTickCount();
    platform::SetCursorPos(WIDTH / 2, HEIGHT / 2);
  }
  SETTYPECURSOR = TYPECURSOR;
  CURSORFILE = CURFILE;
  SETTYPEICON = TYPEICON;
  ICONFILE = ICOFILE;
}

BOOLEAN WINDOWREGISTER() {
  TWNDCLASS cls;
  cls.STYLE = CS_VREDRAW | CS_HREDRAW;
  cls.WNDPROC = GLWNDPROC;
  cls.CLSEXTRA = 0;
  cls.WNDEXTRA = 0;
  cls.INSTANCE = platform::GetModuleHandleA(nullptr);
  cls.ICON = class_icon();
  cls.CURSOR = class_cursor();
  cls.BACKGROUND = platform::GetSysColorBrush(COLOR_BTNFACE);
  cls.MENUNAME = nullptr;
  cls.CLASSNAME = "GLWindow";
  BOOLEAN registered = platform::RegisterClassA(&cls) != 0;

  // The picture buttons' class, once per process; whether it registers does not decide the
  // result, since the main window does not need it.
  THANDLE instance = platform::GetModuleHandleA(nullptr);
  if (!platform::GetClassInfoExA(0, SZHOVERCLASS, &WINDOWCLASSEX)) {
    WINDOWCLASSEX = TWNDCLASSEX{};
    WINDOWCLASSEX.SIZE = 48;
    WINDOWCLASSEX.STYLE = 0;
    WINDOWCLASSEX.WNDPROC = HOVERBUTTONHANDLER;
    WINDOWCLASSEX.CLSEXTRA = 0;
    WINDOWCLASSEX.WNDEXTRA = 0;
    WINDOWCLASSEX.INSTANCE = instance;
    WINDOWCLASSEX.ICON = platform::LoadIconA(0, IDI_APPLICATION);
    WINDOWCLASSEX.ICONSM = platform::LoadIconA(0, IDI_APPLICATION);
    WINDOWCLASSEX.CURSOR = platform::LoadCursorA(0, IDC_ARROW);
    WINDOWCLASSEX.BACKGROUND = platform::GetStockObject(NULL_BRUSH);
    WINDOWCLASSEX.MENUNAME = nullptr;
    WINDOWCLASSEX.CLASSNAME = SZHOVERCLASS;
    platform::RegisterClassExA(&WINDOWCLASSEX);
  }
  return registered;
}

THANDLE WINDOWCREATE(PCHAR PCAPPLICATIONNAME) {
  LONGWORD style = STYLE_WINDOWED;
  if (FULLSCREEN) {
    WIDTH = platform::GetSystemMetrics(SM_CXSCREEN);
    HEIGHT = platform::GetSystemMetrics(SM_CYSCREEN);
    style = STYLE_FULLSCREEN;
  }
  THANDLE handle = platform::CreateWindowExA(0, "GLWindow", PCAPPLICATIONNAME, style, CW_USEDEFAULT,
                                             CW_USEDEFAULT, WIDTH, HEIGHT, 0, 0,
                                             platform::GetModuleHandleA(nullptr), nullptr);
  if (handle != 0) {
    platform::ShowWindow(handle, platform::StartupShowCommand());
    platform::UpdateWindow(handle);
  }
  return handle;
}

BOOLEAN WINDOWINIT(THANDLE HPARENT) {
  // The descriptor's size fields are bytes.
  if (!RANGECHECK(BITS, 0, 255, "colour depth")) return false;
  LONGINT error = 0;
  DCWINDOW = platform::GetDC(HPARENT);
  const auto B = std::uint8_t(BITS);
  TPIXELFORMATDESCRIPTOR pfd; // zero-filled, then set field by field
  pfd.nSize = 40;
  pfd.nVersion = 1;
  pfd.dwFlags = PFD_DOUBLEBUFFER | PFD_STEREO | PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL |
                PFD_GENERIC_FORMAT | PFD_GENERIC_ACCELERATED;
  pfd.iPixelType = PFD_TYPE_RGBA;
  pfd.cColorBits = B;
  pfd.cAlphaBits = B;
  pfd.cAccumBits = B;
  pfd.cDepthBits = B;
  pfd.cStencilBits = B;
  pfd.cAuxBuffers = B;
  pfd.iLayerType = 1;
  LONGINT format = platform::ChoosePixelFormat(DCWINDOW, &pfd);
  if (format == 0) error = 1;
  platform::SetPixelFormat(DCWINDOW, format, &pfd);
  RCWINDOW = platform::wglCreateContext(DCWINDOW);
  if (RCWINDOW == 0) error = 2;
  platform::wglMakeCurrent(DCWINDOW, RCWINDOW);
  return error == 0;
}

BOOLEAN CREATEOGLWINDOW(PCHAR APPNAME, LONGINT APPWIDTH, LONGINT APPHEIGHT, LONGINT APPBITS,
                        BOOLEAN APPFULLSCREEN) {
  WIDTH = APPWIDTH;
  HEIGHT = APPHEIGHT;
  BITS = APPBITS;
  FULLSCREEN = APPFULLSCREEN;
  // Each failure returns only to a host whose error hook took it; what was made is released, so
  // that the host can go on (or try again) from where it started.
  if (!WINDOWREGISTER()) {
    THROWERROR(MSG_REGISTER_FAILED);
    return false;
  }
  HWINDOW = WINDOWCREATE(APPNAME);
  // An application that enables the menu bar without its hook gets no menu bar, not a crash.
  if (SHOWMENUBAR && CREATEMENUBAR) CREATEMENUBAR();
  if (SHOWSTATUSBAR) HSTATUS = CREATESTATUSBAR(HWINDOW);
  if (HWINDOW == 0) {
    THROWERROR(MSG_WINDOW_FAILED);
    return false;
  }
  if (!WINDOWINIT(HWINDOW)) {
    // A depth outside the descriptor's bytes WINDOWINIT reported itself, before it took the
    // device context; otherwise it took it and tried for a context.
    if (BITS >= 0 && BITS <= 255) {
      THROWERROR(MSG_INIT_FAILED);
      platform::wglMakeCurrent(DCWINDOW, 0);
      if (RCWINDOW) platform::wglDeleteContext(RCWINDOW);
      platform::ReleaseDC(HWINDOW, DCWINDOW);
    }
    platform::DestroyWindow(HWINDOW); // WM_DESTROY: ACTIVE false
    HWINDOW = DCWINDOW = RCWINDOW = HSTATUS = 0;
    return false;
  }
  return true;
}

void DELETEOGLWINDOW() {
  platform::wglMakeCurrent(DCWINDOW, 0);
  platform::wglDeleteContext(RCWINDOW);
  platform::ReleaseDC(HWINDOW, DCWINDOW);
  platform::DestroyWindow(HWINDOW);
}

// A failed set-up ends with exit code 1: the program did not do its work.
void THROWERROR(PCHAR PCERRORMESSAGE, TSOURCELOCATION WHERE) {
  REPORTFATAL(PCERRORMESSAGE, RE_SETUP_FAILED, FUNCTIONNAME(WHERE));
}

} // namespace vantrel
