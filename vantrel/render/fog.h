/// \file
/// \ingroup render
/// Exponential-squared fog and sphere-mapped texture-coordinate generation.
#pragma once

#include "vantrel/types.h"

VANTREL_API_BEGIN
namespace vantrel {

/// GL_EXP2 fog of density D - 0.004 and colour (F1, F2, F3, F4); clears to black, alpha 0.
/// \param D the density plus 0.004, per model unit of distance from the eye
/// \param F1,F2,F3,F4 the fog's red, green, blue and alpha, 0..1
void SETGLFOG(SINGLE D, SINGLE F1, SINGLE F2, SINGLE F3, SINGLE F4);

/// Sphere-map generation on S and T (reflection map on R), all three enabled.
void EFFECTREALWATER();

/// Smooth shading, and the three generations disabled; their modes stay as they were.
void EFFECTREALWATEROFF();

} // namespace vantrel
VANTREL_API_END
