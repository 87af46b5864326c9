#include "vantrel/image/snapshot.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "vantrel/globals.h"
#include "vantrel/platform/platform.h"
#include "vantrel/platform/png_file.h"
#include "vantrel/runerror.h"

namespace vantrel {

BOOLEAN SAVEPNG(PCHAR FILENAME, LONGINT W, LONGINT H, const std::uint32_t *PIXELS) {
  const std::string name = FILENAME ? FILENAME : "";
  std::string why = "there are no pixels";
  const bool sized = W >= 1 && H >= 1 && W <= png::max_side && H <= png::max_side;
  // A size it cannot have is refused by the writer before any row is asked for.
  bool ok =
      (PIXELS || !sized) && png::write_rgb(
                                FILENAME, W, H,
                                [&](LONGINT y, std::uint8_t *out) {
                                  const std::uint32_t *p = PIXELS + std::size_t(y) * std::size_t(W);
                                  for (LONGINT x = 0; x < W; x++, out += 3)
                                    out[0] = std::uint8_t(p[x] >> 16),
                                    out[1] = std::uint8_t(p[x] >> 8), out[2] = std::uint8_t(p[x]);
                                },
                                why);
  if (!ok) WARNING("picture '" + name + "' not written: " + why, 101);
  return ok;
}

BOOLEAN SNAPSHOTFRAME(PCHAR FILENAME) {
  const std::string name = FILENAME ? FILENAME : "";
  TRECT client;
  if (!HWINDOW || !RCWINDOW || !platform::GetClientRect(HWINDOW, &client)) {
    WARNING("frame '" + name + "' not written: there is no main window with an OpenGL context",
            101);
    return false;
  }
  std::string why;
  if (!png::write_gl_frame(FILENAME, client.RIGHT - client.LEFT, client.BOTTOM - client.TOP, why)) {
    WARNING("picture '" + name + "' not written: " + why, 101);
    return false;
  }
  return true;
}

BOOLEAN SNAPSHOTWINDOW(THANDLE WINDOW, PCHAR FILENAME) {
  const std::string name = FILENAME ? FILENAME : "";
  LONGINT w = 0, h = 0;
  if (!platform::GetWindowPixels(WINDOW, &w, &h, nullptr) || w < 1 || h < 1) {
    WARNING("window picture '" + name + "' not written: the window shows nothing to read", 101);
    return false;
  }
  if (w > png::max_side || h > png::max_side) return SAVEPNG(FILENAME, w, h, nullptr);
  std::vector<std::uint32_t> pixels(std::size_t(w) * std::size_t(h));
  LONGINT w2 = w, h2 = h;
  if (!platform::GetWindowPixels(WINDOW, &w2, &h2, pixels.data()) || w2 != w || h2 != h) {
    WARNING("window picture '" + name + "' not written: the window's pixels cannot be read", 101);
    return false;
  }
  return SAVEPNG(FILENAME, w, h, pixels.data());
}

PCHAR SNAPSHOTOPTION(int ARGC, char **ARGV) {
  const char *program = ARGC > 0 && ARGV[0] ? ARGV[0] : "program";
  const char *file = nullptr;
  bool bad = false;
  for (int i = 1; i < ARGC; i++) {
    if (std::strcmp(ARGV[i], "--snapshot") == 0 && i + 1 < ARGC && !file)
      file = ARGV[++i];
    else
      bad = true;
  }
  // Without a screen nothing could show the window, and nothing would end the program, unless
  // the environment ends it after some frames.
  auto set = [](const char *name) {
    const char *v = std::getenv(name);
    return v && *v;
  };
  bool screen = platform::GetSystemMetrics(SM_CMONITORS) > 0;
  bool ends = set("VANTREL_FRAMES") || set("VANTREL_SNAPSHOT");
  if (bad || (!file && !screen && !ends)) {
    if (screen)
      std::fprintf(stderr, "usage: %s [--snapshot FILE.png]\n", program);
    else
      std::fprintf(stderr, "usage: %s --snapshot FILE.png (no screen here to open a window on)\n",
                   program);
    std::exit(2);
  }
  return file;
}

} // namespace vantrel
