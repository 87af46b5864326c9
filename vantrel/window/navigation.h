/// \file
/// \ingroup window
/// The navigation angles and distance applied to the current matrix.
#pragma once

#include "vantrel/types.h"

namespace vantrel {

/// Sets the speed factor for the mouse moves to come and applies the navigation in mode XYZ
/// (GL_M0, GL_MX, GL_MY, GL_MZ); any other mode only sets the speed.
/// The current matrix is multiplied by a translation of DEPTH model units and rotations of
/// XROT and YROT degrees.
void SETGLMOUSEMOVE(LONGINT XYZ, LONGINT SPEED);

} // namespace vantrel
