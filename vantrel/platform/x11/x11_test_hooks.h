// The x11 backend's controls for the tests alone. Not installed; the library defines them for its
// tests, which link it statically (a shared library keeps them hidden).
#pragma once

#include "vantrel/platform/x11/x11_platform.h"

namespace vantrel::x11 {

THANDLE capture();                 // window holding the capture, or 0
void fail_pixel_format(bool fail); // ChoosePixelFormat then finds no format
// Destroys every window and context, forgets classes, queue and input state, and makes x11 the
// platform in use. The display connection stays open.
void reset();

} // namespace vantrel::x11
