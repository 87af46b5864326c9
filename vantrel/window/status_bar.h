/// \file
/// \ingroup window
/// The main window's optional status bar: a common-controls status window along the bottom of
/// the client area, divided into up to 20 parts at edges the application chooses.
#pragma once

#include "vantrel/types.h"

VANTREL_API_BEGIN
namespace vantrel {

inline constexpr LONGINT STATUSBAR_ID = 0x7712; ///< control identifier of the status window
inline constexpr LONGINT MAXSTATUSITEMS = 20;   ///< size of STATUSITEM and EDGES

/// Creates the status window as a child of PARENT showing "Percorso file", divided at the first
/// MAXSTATUSITEM entries of STATUSITEM. Returns its handle (also kept in AWND), 0 on failure.
/// MAXSTATUSITEM outside 0..20 stops with a range-check error before anything is created.
/// \param PARENT the window it sits in
/// \return the status window, 0 on failure
THANDLE CREATESTATUSBAR(THANDLE PARENT);

} // namespace vantrel
VANTREL_API_END
