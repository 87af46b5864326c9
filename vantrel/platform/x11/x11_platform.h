/// \file
/// \ingroup platform
/// The x11 backend's own calls beyond the seam, for its tests: the X window behind a handle and
/// a way to start again from nothing. The feature list is at the top of x11_platform.cpp.
#pragma once

#include "vantrel/platform/platform.h"

namespace vantrel::x11 {

bool display_available();                    ///< the shared X connection could be opened
unsigned long native_window(THANDLE window); ///< the X window id, 0 for an unknown handle
THANDLE capture();                           ///< window holding the capture, or 0
/// Waits until the server has carried out every request sent so far, so that another
/// connection sees their effect.
void sync();
/// Destroys every window and context and forgets classes, queue and input state (between
/// tests). The display connection stays open.
void reset();

} // namespace vantrel::x11
