/// \file
/// \ingroup platform
/// The x11 backend's own calls beyond the seam: whether a display answers, and the X window
/// behind a handle. The tests' own controls are in x11_test_hooks.h, which is not installed. The
/// feature list is at the top of x11_platform.cpp.
#pragma once

#include "vantrel/platform/platform.h"

VANTREL_API_BEGIN
namespace vantrel::x11 {

bool display_available();                    ///< the shared X connection could be opened
unsigned long native_window(THANDLE window); ///< the X window id, 0 for an unknown handle
/// Waits until the server has carried out every request sent so far, so that another
/// connection sees their effect.
void sync();

} // namespace vantrel::x11
VANTREL_API_END
