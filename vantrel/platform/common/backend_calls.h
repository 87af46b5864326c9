// The seam's calls that each platform without Win32 underneath (x11, headless) makes its own,
// one line each. Everything else of the seam is written once, in this folder, for both.
//
// Adding such a call: declare it in platform.h as usual, add its line below with its number of
// parameters, and define x11::NAME and headless::NAME (same signature) in the backends. The
// list makes the rest: the slot in each platform's table, both tables' entries, and
// platform::NAME, which hands the call to the platform in use (backend_choice.cpp). A wrong
// parameter count stops the build; a backend without its definition fails the link.
#pragma once

#include "vantrel/platform/platform.h"

// VANTREL_BACKEND_CALL(NAME, PARAMETERS) for each call, in platform.h's order.
#define VANTREL_BACKEND_CALLS(VANTREL_BACKEND_CALL)                                                \
  VANTREL_BACKEND_CALL(GetSystemMetrics, 1)                                                        \
  VANTREL_BACKEND_CALL(MessageBoxA, 4)                                                             \
  VANTREL_BACKEND_CALL(LoadCursorFromFileA, 1)                                                     \
  VANTREL_BACKEND_CALL(CreateWindowExA, 12)                                                        \
  VANTREL_BACKEND_CALL(DestroyWindow, 1)                                                           \
  VANTREL_BACKEND_CALL(ShowWindow, 2)                                                              \
  VANTREL_BACKEND_CALL(MoveWindow, 6)                                                              \
  VANTREL_BACKEND_CALL(PeekMessageA, 5)                                                            \
  VANTREL_BACKEND_CALL(GetMessageA, 4)                                                             \
  VANTREL_BACKEND_CALL(SetCapture, 1)                                                              \
  VANTREL_BACKEND_CALL(ReleaseCapture, 0)                                                          \
  VANTREL_BACKEND_CALL(GetCursorPos, 1)                                                            \
  VANTREL_BACKEND_CALL(SetCursorPos, 2)                                                            \
  VANTREL_BACKEND_CALL(GetForegroundWindow, 0)                                                     \
  VANTREL_BACKEND_CALL(ChoosePixelFormat, 2)                                                       \
  VANTREL_BACKEND_CALL(SetPixelFormat, 3)                                                          \
  VANTREL_BACKEND_CALL(wglCreateContext, 1)                                                        \
  VANTREL_BACKEND_CALL(wglMakeCurrent, 2)                                                          \
  VANTREL_BACKEND_CALL(wglDeleteContext, 1)                                                        \
  VANTREL_BACKEND_CALL(SwapBuffers, 1)                                                             \
  VANTREL_BACKEND_CALL(wglGetProcAddress, 1)                                                       \
  VANTREL_BACKEND_CALL(GetWindowPixels, 4)

namespace vantrel::common {

// One platform: its name and its definitions of the calls above.
struct backend {
  PCHAR name;
#define VANTREL_BACKEND_SLOT(NAME, PARAMETERS) decltype(&platform::NAME) NAME;
  VANTREL_BACKEND_CALLS(VANTREL_BACKEND_SLOT)
#undef VANTREL_BACKEND_SLOT
};

// Makes the platform NAME ("x11", "headless") the one in use even after the choice was made:
// the backends' test resets start from nothing on their own platform. False when this build
// lacks it.
bool use_backend(PCHAR name);

} // namespace vantrel::common
