/// \file
/// \ingroup image
/// BMP files loaded for drawing into ordinary windows (not for OpenGL), each with a palette that
/// shows it well on a palette-based screen.
#pragma once

#include "vantrel/types.h"

VANTREL_API_BEGIN
namespace vantrel {

/// Loads FILENAME as a device-independent bitmap at its own size and depth and returns it; PAL
/// receives a 256-entry palette made from the picture's colour table (1, 4 and 8 bits per pixel;
/// entries past the table are black) or the screen's halftone palette (deeper pictures). A file
/// that cannot be loaded returns 0 and leaves PAL as it was. The caller owns both objects.
/// \param FILENAME the picture file
/// \param PAL receives the palette
/// \return the bitmap, 0 when the file cannot be loaded
THANDLE LOADBMPFROMFILE(const ANSISTRING &FILENAME, THANDLE &PAL);

} // namespace vantrel
VANTREL_API_END
