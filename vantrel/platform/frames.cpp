#include "vantrel/platform/frames.h"

#include <cstdlib>
#include <string>

#include "vantrel/platform/platform.h"
#include "vantrel/platform/png_file.h"
#include "vantrel/runerror.h"

namespace vantrel::frames {
namespace {

struct settings {
  bool read = false;
  long long limit = 0; // 0: no limit
  std::string snapshot;
  long long count = 0;
  bool closed = false;
};

settings state;

void read_environment() {
  state = settings{};
  state.read = true;
  if (const char *s = std::getenv("VANTREL_SNAPSHOT"); s && *s) {
    state.snapshot = s;
    state.limit = 1;
  }
  if (const char *f = std::getenv("VANTREL_FRAMES"); f && *f) {
    char *end = nullptr;
    long long n = std::strtoll(f, &end, 10);
    if (*end == '\0' && n > 0)
      state.limit = n;
    else
      WARNING(std::string("VANTREL_FRAMES='") + f + "' is no count of frames above 0; ignored", 0);
  }
}

} // namespace

void restart() { read_environment(); }

BOOLEAN swap(THANDLE window, const std::function<BOOLEAN()> &show) {
  if (!state.read) read_environment();
  const bool last = state.limit > 0 && !state.closed && ++state.count >= state.limit;
  if (last && !state.snapshot.empty()) {
    TRECT client;
    std::string why;
    bool written = platform::GetClientRect(window, &client) &&
                   png::write_gl_frame(state.snapshot.c_str(), client.RIGHT - client.LEFT,
                                       client.BOTTOM - client.TOP, why);
    if (!written) WARNING("frame '" + state.snapshot + "' not written: " + why, 101);
  }
  BOOLEAN shown = show();
  if (last) {
    // Once: a program that refuses to close goes on, as it would when the user closed it.
    state.closed = true;
    platform::SendMessageA(window, WM_CLOSE, 0, 0);
  }
  return shown;
}

} // namespace vantrel::frames
