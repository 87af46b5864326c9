/// \file
/// \ingroup render
/// Named switches for lights, culling, polygon fill and shade modes. None saves or restores
/// state: each leaves what it sets in force.
#pragma once

#include "vantrel/types.h"

VANTREL_API_BEGIN
namespace vantrel {

/// Lighting on, light NLIGHT on with AMBIENTLIGHT, DIFFUSELIGHT, SPECULARLIGHT, placed at
/// (L0, L1, L2, L3) under the current model-view matrix.
/// \param NLIGHT the light, GL_LIGHT0 ..
/// \param L0,L1,L2 a position in model units, or with L3 = 0 the direction the light comes from
/// \param L3 1 for a light at a position, 0 for a directional one
void SETGLLIGHT(LONGWORD NLIGHT, SINGLE L0, SINGLE L1, SINGLE L2, SINGLE L3);

/// Moves light NLIGHT to (LX, LY, LZ, LVAL) and marks (LX, LY, LZ) with a point SIZE pixels wide.
/// \param NLIGHT the light, GL_LIGHT0 ..
/// \param SIZE the marker point's width, pixels
/// \param LX,LY,LZ the light's place, model units
/// \param LVAL the fourth coordinate: 0 makes the light directional
void PUTGLPOINTLIGHT(LONGWORD NLIGHT, SINGLE SIZE, SINGLE LX, SINGLE LY, SINGLE LZ, SINGLE LVAL);

void SETGLREFRACTIVE(); ///< back-face culling, counter-clockwise front faces
void SETGLFILL();       ///< both faces filled
void SETGLFLAT();       ///< flat shading
void SETGLSMOOTH();     ///< smooth shading
void SETGLHISMOOTH();   ///< changes no state; kept for the reflection mapping's call order
/// Both faces as lines.
/// \param SIZE the lines' width, pixels
void SETGLLINE(SINGLE SIZE);

} // namespace vantrel
VANTREL_API_END
