// The message pump and the main window's procedure, which keep the input and navigation state.
#pragma once

#include "vantrel/types.h"

namespace vantrel {

// Hands at most one waiting message to its window procedure; never waits.
void SETGLMSG();

// Window procedure of the "GLWindow" class.
TLRESULT GLWNDPROC(THANDLE WINDOW, LONGWORD AMESSAGE, TWPARAM WPARAM, TLPARAM LPARAM);

} // namespace vantrel
