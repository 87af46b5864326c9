/// \file
/// \ingroup geometry
/// The axis-aligned box: six flat quadrilaterals with outward normals and texture coordinates.
#pragma once

#include "vantrel/types.h"

VANTREL_API_BEGIN
namespace vantrel {

/// Box of centre (X, Y, Z) and half-sizes SX, SY, SZ as one GL_QUADS primitive of 24 vertices.
/// Must be called outside glBegin/glEnd; may be recorded into a display list.
/// \param X,Y,Z the centre, model units
/// \param SX,SY,SZ the half-sizes along x, y and z, model units
void CUBO(SINGLE X, SINGLE Y, SINGLE Z, SINGLE SX, SINGLE SY, SINGLE SZ);

} // namespace vantrel
VANTREL_API_END
