// The headless backend: windows without a display, each drawing into an EGL pbuffer of its
// size. Tests and the snapshot program steer it with the calls below.
//
// Implemented features:
//  [X] Window classes, windows, the message queue, default processing (WM_CLOSE, Alt+F4)
//  [X] Pixel format, compatibility-profile OpenGL context and buffer swap on an EGL pbuffer
//      (the EGL device platform where a GPU offers one, Mesa's surfaceless platform otherwise)
//  [X] Message boxes answered from a script; screen size, cursor and foreground set by tests
//  [X] Bitmap files through the portable BMP reader; window properties; capture
// Missing features or Issues:
//  [ ] No real input: messages come only from PostMessageA / SendMessageA
//  [ ] GetMessageA never waits: on an empty queue it returns -1 at once
//  [ ] Status window, regions, palettes, blits and font outlines arrive with their features
#pragma once

#include <string>
#include <vector>

#include "vantrel/platform/platform.h"

namespace vantrel::headless {

struct message_box_record {
  std::string text, caption;
  LONGWORD style = 0;
  LONGINT answer = 0;
};

void set_screen_size(LONGINT w, LONGINT h);            // what GetSystemMetrics reports
void script_message_box(LONGINT answer);               // next box returns this (queue)
const std::vector<message_box_record> &message_boxes(); // every box shown so far
void fail_pixel_format(bool fail);                     // ChoosePixelFormat then returns 0
void fail_context(bool fail);                          // wglCreateContext then returns 0
void set_foreground(THANDLE window);                   // what GetForegroundWindow reports
THANDLE capture();                                     // window holding the capture, or 0
LONGINT swap_count();                                  // SwapBuffers calls so far
const TPIXELFORMATDESCRIPTOR &last_pixel_format();     // the last descriptor asked for
std::string renderer();                                // GL_RENDERER of the EGL device
// Forgets windows, classes, queue, scripted answers and failure switches (between tests).
void reset();

} // namespace vantrel::headless
