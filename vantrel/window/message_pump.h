/// \file
/// \ingroup window
/// The message pump and the main window's procedure, which keep the input and navigation state.
#pragma once

#include "vantrel/types.h"

VANTREL_API_BEGIN
namespace vantrel {

/// Hands at most one waiting message to its window procedure; never waits.
void SETGLMSG();

/// Window procedure of the "GLWindow" class: keeps ACTIVE, SETKEY, the mouse state and the
/// navigation angles (XROT, YROT in degrees, DEPTH in model units) up to date.
/// \param WINDOW the window
/// \param AMESSAGE the message
/// \param WPARAM,LPARAM the message's parameters
/// \return 0 for the messages it handles, default processing's result for the rest
TLRESULT GLWNDPROC(THANDLE WINDOW, LONGWORD AMESSAGE, TWPARAM WPARAM, TLPARAM LPARAM);

} // namespace vantrel
VANTREL_API_END
