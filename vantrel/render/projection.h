/// \file
/// \ingroup render
/// The 3-D perspective view and the flat 2-D overlay view, each set up as a whole.
#pragma once

#include "vantrel/types.h"

VANTREL_API_BEGIN
namespace vantrel {

/// Perspective of 45 degrees over WIDTH x HEIGHT, near 0.1, far DEPTH; clear colour (R, G, B, A)
/// and clear depth DEPTH (clamped by OpenGL); depth test, blend factors, light model, hints and
/// normal rescaling. Ends in model-view mode with the identity.
/// \param DEPTH the far plane and the clear depth, model units
/// \param A,R,G,B the clear colour's alpha, red, green and blue, 0..1
void OPENGL_INIT(REAL DEPTH, REAL A, REAL R, REAL G, REAL B);

/// Orthographic view of -2..2 across the window, the vertical range keeping its proportions.
/// Ends in model-view mode with the identity.
/// \param A,R,G,B the clear colour's alpha, red, green and blue, 0..1
void OPENGL_I2D(REAL A, REAL R, REAL G, REAL B);

} // namespace vantrel
VANTREL_API_END
