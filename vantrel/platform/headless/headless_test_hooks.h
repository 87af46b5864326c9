// The headless backend's controls for the tests alone: failures to force, counters to read, and
// a fresh start between tests. Not installed; the library defines them for its tests, which
// link it statically (a shared library keeps them hidden).
#pragma once

#include "vantrel/platform/headless/headless_platform.h"

namespace vantrel::headless {

void fail_pixel_format(bool fail);                 // ChoosePixelFormat then returns 0
void fail_context(bool fail);                      // wglCreateContext then returns 0
void set_foreground(THANDLE window);               // what GetForegroundWindow reports
THANDLE capture();                                 // window holding the capture, or 0
LONGINT swap_count();                              // SwapBuffers calls so far
const TPIXELFORMATDESCRIPTOR &last_pixel_format(); // the last descriptor asked for
LONGINT invalidate_count(THANDLE window);          // InvalidateRect calls on WINDOW (-1: none)
LONGINT paint_count(THANDLE window);               // BeginPaint calls on WINDOW (-1: none)
// Forgets windows, classes, GDI objects, queue, scripted answers and failure switches, and
// makes headless the platform in use.
void reset();

} // namespace vantrel::headless
