/// \file
/// \ingroup render
/// The outline font: 256 display lists, one per character code, and their glyph metrics.
#pragma once

#include "vantrel/types.h"

VANTREL_API_BEGIN
namespace vantrel {

/// Reserves the 256 lists BASE .. BASE + 255 and builds codes 0..254 from a bold outline font
/// extruded by DEPTH along -z, turned by ANG tenths of a degree, with metrics in GMF.
/// \param DEPTH the extrusion along -z, em units (the em square measures 1)
/// \param ANG the escapement and orientation, tenths of a degree
/// \param ITAL non-zero: italic (negative: run-time error 201)
/// \param GRAS non-zero: underlined (negative: run-time error 201)
void INITTEXT(SINGLE DEPTH, LONGINT ANG, LONGINT ITAL, LONGINT GRAS);
/// Frees the 256 lists named by BASE.
void DELETEGLTEXT();

} // namespace vantrel
VANTREL_API_END
