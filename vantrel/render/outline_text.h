/// \file
/// \ingroup render
/// The outline font: 256 display lists, one per character code, and their glyph metrics.
#pragma once

#include "vantrel/types.h"

VANTREL_API_BEGIN
namespace vantrel {

/// Reserves the 256 lists BASE .. BASE + 255 and builds codes 0..254 from a bold outline font
/// extruded by DEPTH along -z, turned by ANG tenths of a degree, with metrics in GMF.
/// DEPTH in em units (the em square measures 1); ITAL, GRAS non-zero: italic, underlined.
void INITTEXT(SINGLE DEPTH, LONGINT ANG, LONGINT ITAL, LONGINT GRAS);
/// Frees the 256 lists named by BASE.
void DELETEGLTEXT();

} // namespace vantrel
VANTREL_API_END
