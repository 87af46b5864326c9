// The status window of the backends without common controls: a child window of class
// "msctls_statusbar32" whose parts and texts live here; the backend paints them through
// backend_hooks::paint_status_bar.
#pragma once

#include <string>
#include <vector>

#include "vantrel/platform/platform.h"

namespace vantrel::common {

inline constexpr PCHAR STATUS_CLASS = "msctls_statusbar32";
inline constexpr LONGINT STATUS_HEIGHT = 22; // pixels, along the bottom of the parent

struct status_bar {
  std::vector<LONGINT> edges;     // right edge of each part in client pixels, -1: to the border
  std::vector<std::string> texts; // one per part
};

// The parts of a status window, null when WINDOW is not one.
const status_bar *status_bar_of(THANDLE window);

// Forgets every status bar's parts (between tests; the windows go with the window table).
void forget_status_bars();

} // namespace vantrel::common
