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
/// \param X,Y,Z the centre, model units
/// \param TUBER the tube's radius, model units
/// \param R the ring's radius (centre to the tube's middle), model units
/// \param SIDES segments around the tube; 0 draws nothing
/// \param RINGS segments around the ring; 0 draws nothing
void TOROIDE(SINGLE X, SINGLE Y, SINGLE Z, SINGLE TUBER, SINGLE R, LONGINT SIDES, LONGINT RINGS);

/// Open mantle of a truncated cone: bottom circle of radius ROUT at (X, Y, Z), top circle of
/// radius RIN at height Z + H. One quad strip of 4 * (NUMPOINTS + 1) vertices.
/// \param X,Y,Z the bottom circle's centre, model units
/// \param NUMPOINTS segments around; 0 draws nothing
/// \param RIN the top circle's radius, model units
/// \param ROUT the bottom circle's radius, model units
/// \param H the height, model units
void CONOTRONCO(SINGLE X, SINGLE Y, SINGLE Z, LONGINT NUMPOINTS, SINGLE RIN, SINGLE ROUT, SINGLE H);

/// Ring centred at (X, Y, Z) along z, length H, inner radius RIN, rim at ROUT - 0.15; with
/// RIN = 0 a solid cylinder. Switches the shade model to GL_SMOOTH before the rim.
/// \param X,Y,Z the centre, model units
/// \param NUMPOINTS segments around; 0 draws nothing
/// \param RIN the inner radius (0: a solid cylinder), model units
/// \param ROUT the outer radius; the rim lies at ROUT - 0.15, model units
/// \param H the length along z, model units
void SUPPORTOASSE(SINGLE X, SINGLE Y, SINGLE Z, LONGINT NUMPOINTS, SINGLE RIN, SINGLE ROUT,
                  SINGLE H);

} // namespace vantrel
VANTREL_API_END
