// Frames as the environment asks for them, for any program unchanged: VANTREL_FRAMES=N ends it
// after N frames as if its window were closed, and VANTREL_SNAPSHOT=FILE.png writes the last
// of them there (alone it means one frame). A frame is a SwapBuffers on a window's device
// context; every backend's SwapBuffers runs through swap() below, so the rule is the same on
// each. Platform-level code: it calls the seam and the PNG writer, never the framework.
#pragma once

#include <functional>

#include "vantrel/types.h"

namespace vantrel::frames {

// One frame of WINDOW: SHOW (the backend's own buffer swap) runs and its result is returned.
// On the last frame the environment asks for, the frame is first written to VANTREL_SNAPSHOT
// (read from the current context's back buffer, as SHOW will show it), and after SHOW the
// window is sent WM_CLOSE, which default processing turns into its destruction.
BOOLEAN swap(THANDLE window, const std::function<BOOLEAN()> &show);

// Reads the environment again and starts counting from 0 (a test sets the variables first).
void restart();

} // namespace vantrel::frames
