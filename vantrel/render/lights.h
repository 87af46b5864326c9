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
/// L0..L2 in model units: a position, or with L3 = 0 the direction the light comes from.
void SETGLLIGHT(LONGWORD NLIGHT, SINGLE L0, SINGLE L1, SINGLE L2, SINGLE L3);

/// Moves light NLIGHT to (LX, LY, LZ, LVAL) and marks (LX, LY, LZ) with a point SIZE pixels wide.
/// LX, LY, LZ in model units; LVAL 0 makes the light directional.
void PUTGLPOINTLIGHT(LONGWORD NLIGHT, SINGLE SIZE, SINGLE LX, SINGLE LY, SINGLE LZ, SINGLE LVAL);

void SETGLREFRACTIVE();      ///< back-face culling, counter-clockwise front faces
void SETGLFILL();            ///< both faces filled
void SETGLLINE(SINGLE SIZE); ///< both faces as lines SIZE pixels wide
void SETGLFLAT();            ///< flat shading
void SETGLSMOOTH();          ///< smooth shading
void SETGLHISMOOTH();        ///< changes no state; kept for the reflection mapping's call order

} // namespace vantrel
VANTREL_API_END
