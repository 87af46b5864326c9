// Makes the examples' pictures and shade ramp, the same bytes on every run:
//   checker.bmp, stripes.bmp, tiles.bmp  24-bit textures, 128 x 128 (examples/textures)
//   badge.bmp                            8-bit picture with a colour table, magenta outside
//                                        the badge (examples/palette_region)
//   bands.sdr                            a three-band shade ramp (examples/cartoon)
// Usage: make_example_assets DIRECTORY
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "tools/bmp_writer.h"

int main(int argc, char **argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_example_assets DIRECTORY\n");
    return 2;
  }
  const std::string dir = argv[1];
  bool ok = true;
  // Four by four squares, red and white.
  ok &= bmp::write_rgb(dir + "/checker.bmp", 128, 128,
                       [](int x, int y) { return (x / 32 + y / 32) % 2 ? 0xF0F0F0u : 0xD03030u; });
  // Stripes across the picture, blue and yellow.
  ok &= bmp::write_rgb(dir + "/stripes.bmp", 128, 128,
                       [](int x, int) { return (x / 16) % 2 ? 0xF0D040u : 0x3050C0u; });
  // Green tiles with dark joints.
  ok &= bmp::write_rgb(dir + "/tiles.bmp", 128, 128, [](int x, int y) {
    return x % 32 < 3 || y % 32 < 3 ? 0x204020u : 0x40A060u;
  });

  // The badge: a ring round a star on a disc, drawn with five palette entries; index 0,
  // magenta, is what the region leaves out.
  const std::vector<std::uint32_t> palette = {0xFF00FF, 0x202060, 0xF0C020, 0x2070D0, 0xC03030};
  ok &= bmp::write(dir + "/badge.bmp", 160, 160, 8, palette, [](int x, int y) {
    const double pi = 3.14159265358979;
    double dx = x - 79.5, dy = y - 79.5, r = std::hypot(dx, dy);
    // A five-pointed star: its radius swings between 24 and 58 with the angle.
    double a = std::atan2(dy, dx) + pi / 2, k = std::fmod(a * 5 / (2 * pi) + 10.0, 1.0);
    double star = 24 + 34 * std::fabs(1 - 2 * k);
    std::uint8_t index = r > 78 ? 0 : r > 70 ? 1 : r > 66 ? 2 : r < star ? 4 : 3;
    return std::vector<std::uint8_t>{index};
  });

  // Three bands: shadow, middle, light.
  if (std::FILE *f = std::fopen((dir + "/bands.sdr").c_str(), "w")) {
    for (int i = 0; i < 32; i++)
      std::fprintf(f, "%s\n", i < 10 ? "0.35" : i < 22 ? "0.7" : "1.0");
    ok = std::fclose(f) == 0 && ok;
  } else {
    ok = false;
  }
  if (!ok) std::fprintf(stderr, "make_example_assets: cannot write into %s\n", dir.c_str());
  return ok ? 0 : 1;
}
