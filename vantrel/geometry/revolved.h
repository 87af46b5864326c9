/// \file
/// \ingroup geometry
/// Solids of revolution around the z axis, in immediate mode with normals and texture
/// coordinates, meant to be recorded into display lists.
///
/// Counts: a count of 0 draws nothing and issues no OpenGL call at all (the angle step would
/// divide by zero). A negative count leaves the loops empty, so the primitive issues its
/// strips as glBegin directly followed by glEnd, which draws nothing either.
#pragma once

#include "vantrel/types.h"

VANTREL_API_BEGIN
namespace vantrel {

/// Torus centred at (X, Y, Z): tube radius TUBER, ring radius R; RINGS quad strips of
/// SIDES + 1 vertex pairs each.
/// Lengths in model units; SIDES and RINGS are segment counts, 0 draws nothing.
void TOROIDE(SINGLE X, SINGLE Y, SINGLE Z, SINGLE TUBER, SINGLE R, LONGINT SIDES, LONGINT RINGS);

/// Open mantle of a truncated cone: bottom circle of radius ROUT at (X, Y, Z), top circle of
/// radius RIN at height Z + H. One quad strip of 4 * (NUMPOINTS + 1) vertices.
/// Lengths in model units; NUMPOINTS segments, 0 draws nothing.
void CONOTRONCO(SINGLE X, SINGLE Y, SINGLE Z, LONGINT NUMPOINTS, SINGLE RIN, SINGLE ROUT, SINGLE H);

/// Ring centred at (X, Y, Z) along z, length H, inner radius RIN, rim at ROUT - 0.15; with
/// RIN = 0 a solid cylinder. Switches the shade model to GL_SMOOTH before the rim.
/// Lengths in model units; NUMPOINTS segments, 0 draws nothing.
void SUPPORTOASSE(SINGLE X, SINGLE Y, SINGLE Z, LONGINT NUMPOINTS, SINGLE RIN, SINGLE ROUT,
                  SINGLE H);

} // namespace vantrel
VANTREL_API_END
