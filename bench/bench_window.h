// A window of W x H pixels with a current OpenGL context, made through the seam on the headless
// platform, for the benchmarks. It fills HWINDOW, DCWINDOW, RCWINDOW, WIDTH and HEIGHT as the
// window set-up does.
#pragma once

#include "vantrel/globals.h"
#include "vantrel/platform/platform.h"

inline vantrel::TLRESULT bench_window_proc(vantrel::THANDLE w, vantrel::LONGWORD m,
                                           vantrel::TWPARAM wp, vantrel::TLPARAM lp) {
  return vantrel::platform::DefWindowProcA(w, m, wp, lp);
}

inline bool open_bench_window(vantrel::LONGINT w, vantrel::LONGINT h) {
  using namespace vantrel;
  platform::SelectPlatform("headless");
  TWNDCLASS cls;
  cls.WNDPROC = bench_window_proc;
  cls.CLASSNAME = "VantrelBench";
  if (!platform::RegisterClassA(&cls)) return false;
  HWINDOW = platform::CreateWindowExA(0, "VantrelBench", "bench", WS_POPUP | WS_VISIBLE,
                                      CW_USEDEFAULT, CW_USEDEFAULT, w, h, 0, 0, 0, nullptr);
  if (!HWINDOW) return false;
  DCWINDOW = platform::GetDC(HWINDOW);
  TPIXELFORMATDESCRIPTOR pfd;
  pfd.dwFlags = PFD_DOUBLEBUFFER | PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL;
  pfd.cColorBits = 32;
  pfd.cDepthBits = 24;
  LONGINT format = platform::ChoosePixelFormat(DCWINDOW, &pfd);
  if (!format || !platform::SetPixelFormat(DCWINDOW, format, &pfd)) return false;
  RCWINDOW = platform::wglCreateContext(DCWINDOW);
  if (!RCWINDOW || !platform::wglMakeCurrent(DCWINDOW, RCWINDOW)) return false;
  WIDTH = w;
  HEIGHT = h;
  return true;
}
