/// \file
/// \ingroup window
/// The navigation angles and distance applied to the current matrix.
#pragma once

#include "vantrel/types.h"

VANTREL_API_BEGIN
namespace vantrel {

/// A mouse move to client (X, Y) turned into navigation: while the left button is held, half the
/// motion since the last position, times MSPEED, is added to XROT/XROT2 (vertical motion) and
/// YROT/YROT2 (horizontal); while the right button is held (and the mouse is not free), a tenth
/// of the vertical motion moves DEPTH and DEPTH2; a free mouse turns by its distance from the
/// window's centre, to which it is brought back, with YROT and YROT2 kept within +-60 degrees.
/// \param X,Y the mouse's place, client pixels
void NAVIGATIONUPDATE(LONGINT X, LONGINT Y);

/// Sets the speed factor for the mouse moves to come and applies the navigation in mode XYZ
/// (GL_M0, GL_MX, GL_MY, GL_MZ); any other mode only sets the speed.
/// The current matrix is multiplied by a translation of DEPTH model units and rotations of
/// XROT and YROT degrees.
/// \param XYZ the mode: GL_M0, GL_MX, GL_MY or GL_MZ
/// \param SPEED the factor of the mouse moves to come
void SETGLMOUSEMOVE(LONGINT XYZ, LONGINT SPEED);

} // namespace vantrel
VANTREL_API_END
