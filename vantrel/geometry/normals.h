/// \file
/// \ingroup geometry
/// Face normals and the textured vertex pair that the solid primitives are built from.
#pragma once

#include "vantrel/types.h"

VANTREL_API_BEGIN
namespace vantrel {

/// Unit normal of the plane through V1, V2, V3 (right-hand rule on V1 -> V2 -> V3) into FNORMAL,
/// or exactly (0, 0, 0) for collinear or coincident points. Touches no OpenGL state.
/// The points in model units.
void FINDNORMAL(REAL V1X, REAL V1Y, REAL V1Z, REAL V2X, REAL V2Y, REAL V2Z, REAL V3X, REAL V3Y,
                REAL V3Z);

/// Two vertices into the primitive the caller has begun, each preceded by its texture
/// coordinate when TEXTURE is true.
/// Texture coordinates in texture widths (1: once across), positions in model units.
void LINEFREE(SINGLE TX1, SINGLE TY1, SINGLE TX2, SINGLE TY2, SINGLE X1, SINGLE Y1, SINGLE Z1,
              SINGLE X2, SINGLE Y2, SINGLE Z2, BOOLEAN TEXTURE);

} // namespace vantrel
VANTREL_API_END
