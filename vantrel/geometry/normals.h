/// \file
/// \ingroup geometry
/// Face normals and the textured vertex pair that the solid primitives are built from.
#pragma once

#include "vantrel/types.h"

VANTREL_API_BEGIN
namespace vantrel {

/// Unit normal of the plane through V1, V2, V3 (right-hand rule on V1 -> V2 -> V3) into FNORMAL,
/// or exactly (0, 0, 0) for collinear or coincident points. Touches no OpenGL state.
/// \param V1X,V1Y,V1Z the first point, model units
/// \param V2X,V2Y,V2Z the second point
/// \param V3X,V3Y,V3Z the third point
void FINDNORMAL(REAL V1X, REAL V1Y, REAL V1Z, REAL V2X, REAL V2Y, REAL V2Z, REAL V3X, REAL V3Y,
                REAL V3Z);

/// Two vertices into the primitive the caller has begun, each preceded by its texture
/// coordinate when TEXTURE is true.
/// \param TX1,TY1 the first vertex's texture coordinate, in texture widths (1: once across)
/// \param TX2,TY2 the second vertex's texture coordinate
/// \param X1,Y1,Z1 the first vertex, model units
/// \param X2,Y2,Z2 the second vertex, model units
/// \param TEXTURE true: each vertex is preceded by its texture coordinate
void LINEFREE(SINGLE TX1, SINGLE TY1, SINGLE TX2, SINGLE TY2, SINGLE X1, SINGLE Y1, SINGLE Z1,
              SINGLE X2, SINGLE Y2, SINGLE Z2, BOOLEAN TEXTURE);

} // namespace vantrel
VANTREL_API_END
