#include "vantrel/window/status_bar.h"

#include <cstring>

#include "vantrel/globals.h"
#include "vantrel/platform/platform.h"
#include "vantrel/runerror.h"

namespace vantrel {

THANDLE CREATESTATUSBAR(THANDLE PARENT) {
  // The tables hold 20 parts; a larger count would copy and hand over memory past them.
  if (!RANGECHECK(MAXSTATUSITEM, 0, MAXSTATUSITEMS, "status bar parts")) return 0;
  // The whole buffer is replaced, so no old text survives behind the terminator.
  static constexpr char INITIAL_TEXT[] = "Percorso file";
  std::memset(FILENAME, 0, sizeof FILENAME);
  std::memcpy(FILENAME, INITIAL_TEXT, sizeof INITIAL_TEXT);

  AWND = platform::CreateStatusWindowA(LONGINT(WS_CHILD | WS_VISIBLE), FILENAME, PARENT,
                                       LONGWORD(STATUSBAR_ID));
  if (AWND != 0) {
    for (LONGINT I = 1; I <= MAXSTATUSITEM; I++)
      EDGES[I] = STATUSITEM[I];
    // Sent even for no parts: the control then keeps its single full-width part.
    platform::SendMessageA(AWND, SB_SETPARTS, TWPARAM(MAXSTATUSITEM),
                           reinterpret_cast<TLPARAM>(&EDGES[1]));
  }
  return AWND;
}

} // namespace vantrel
