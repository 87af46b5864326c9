// Renders the demo's steady frame without a display and writes it to a PNG file, at any size and
// from any view. Run it in the directory that holds the demo's assets.
//   vantrel_snapshot [--size WxH] [--turn DEG] [--tilt DEG] [--distance D] [OUTPUT.png]
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "demo/program.h"
#include "vantrel/globals.h"
#include "vantrel/image/snapshot.h"
#include "vantrel/platform/headless/headless_platform.h"

namespace {

const char USAGE[] =
    "usage: vantrel_snapshot [--size WxH] [--turn DEG] [--tilt DEG] [--distance D] [OUTPUT.png]\n"
    "  --size WxH      picture size in pixels, each side 1..8192 (default 800x600)\n"
    "  --turn DEG      turns the scene about its vertical axis, as a sideways left drag does\n"
    "  --tilt DEG      tilts the scene towards or away from the viewer, as an upward or\n"
    "                  downward left drag does\n"
    "  --distance D    moves the view D scene units farther away (negative: nearer), as a\n"
    "                  downward right drag does\n"
    "  OUTPUT.png      the file to write (default vantrel-frame.png)\n";

struct options {
  int width = 800, height = 600;
  float turn = 0, tilt = 0, distance = 0;
  const char *out = "vantrel-frame.png";
};

// A whole argument as a finite number, or false.
bool number(const char *text, float &value) {
  if (!*text) return false;
  char *end = nullptr;
  errno = 0;
  double v = std::strtod(text, &end);
  if (*end || errno == ERANGE || !std::isfinite(v) || std::fabs(v) > 1e6) return false;
  value = float(v);
  return true;
}

// "WxH", each side a whole number of pixels in 1..8192.
bool size(const char *text, int &w, int &h) {
  int sides[2], n = 0;
  const char *p = text;
  for (; n < 2; n++) {
    if (*p < '0' || *p > '9') return false;
    long v = 0;
    while (*p >= '0' && *p <= '9' && v <= 8192)
      v = v * 10 + (*p++ - '0');
    if (v < 1 || v > 8192) return false;
    sides[n] = int(v);
    if (n == 0 && *p++ != 'x') return false;
  }
  if (*p) return false;
  w = sides[0], h = sides[1];
  return true;
}

// False, with the reason on stderr, for anything but the options above.
bool parse(int argc, char **argv, options &o) {
  bool have_out = false;
  for (int i = 1; i < argc; i++) {
    std::string a = argv[i];
    const char *value = i + 1 < argc ? argv[i + 1] : nullptr;
    bool ok = true;
    if (a == "--size")
      ok = value && size(value, o.width, o.height);
    else if (a == "--turn")
      ok = value && number(value, o.turn);
    else if (a == "--tilt")
      ok = value && number(value, o.tilt);
    else if (a == "--distance")
      ok = value && number(value, o.distance);
    else if (!a.empty() && a[0] != '-' && !have_out) {
      o.out = argv[i];
      have_out = true;
      continue;
    } else {
      std::fprintf(stderr, "vantrel_snapshot: unknown argument '%s'\n", argv[i]);
      return false;
    }
    if (!ok) {
      std::fprintf(stderr, "vantrel_snapshot: %s needs %s, not '%s'\n", a.c_str(),
                   a == "--size" ? "a size like 1920x1080" : "a number", value ? value : "");
      return false;
    }
    i++;
  }
  return true;
}

} // namespace

int main(int argc, char **argv) {
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    std::fputs(USAGE, stdout);
    return 0;
  }
  options o;
  if (!parse(argc, argv, o)) {
    std::fputs(USAGE, stderr);
    return 2;
  }
  vantrel::platform::SelectPlatform("headless");
  // "Full screen" on a screen a pixel larger on each side than the picture asked for: the
  // full-screen window's thin border takes that pixel, and its client area is the picture.
  vantrel::headless::set_screen_size(o.width + 2, o.height + 2);
  vantrel::headless::script_message_box(vantrel::IDYES);
  demo::PROGRAM_START();
  // The view as the mouse would leave it; no input reaches a headless window to change it.
  vantrel::YROT = o.turn;
  vantrel::XROT = o.tilt;
  vantrel::DEPTH = -o.distance;
  // The first frame still has the ramp's 1-D texturing on from its load; the frames after it
  // all look alike, so the second one is the picture the program shows.
  demo::PROGRAM_FRAME();
  demo::PROGRAM_FRAME();
  bool written = vantrel::SNAPSHOTFRAME(o.out);
  demo::PROGRAM_END();
  if (!written) return 1;
  std::printf("%s\n", o.out);
  return 0;
}
