/// \file
/// \ingroup render
/// The cartoon renderer: body, black back-face outline and, for textured objects, an additive
/// highlight, each a replay of one display list.
#pragma once

#include "vantrel/types.h"

VANTREL_API_BEGIN
namespace vantrel {

/// Draws list OBJNAME moved by (X, Y, Z) with an outline SIZE + 6 pixels wide; TEXTURE true for
/// an object drawn with its own (already bound) 2-D texture. Reads ACTIVETEXTURESHADER. Leaves a
/// fixed state: fill, line width 2, blend off, back faces culled, smooth shading, lighting on,
/// colour (9.5, 9.5, 9.5), the caller's matrix; 2-D texturing on unless TEXTURE and no ramp left
/// it as it was; with the ramp active, coordinate generation off.
/// \param X,Y,Z the offset the list is drawn at, model units
/// \param SIZE the outline's width less 6, pixels (0 gives 6-pixel lines)
/// \param OBJNAME the display list to draw
/// \param TEXTURE true for an object drawn with its own, already bound, 2-D texture
void FX_CARTOON(SINGLE X, SINGLE Y, SINGLE Z, SINGLE SIZE, LONGWORD OBJNAME, BOOLEAN TEXTURE);

} // namespace vantrel
VANTREL_API_END
