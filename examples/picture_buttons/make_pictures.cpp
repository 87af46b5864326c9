// Makes the example's button pictures: 24-bit BMPs whose outside is magenta, the colour the
// picture button cuts away. PLAY is a disc with a triangle, STOP a diamond with a square; each
// has a normal (N), hover (H) and pressed (P) picture.
//   usage: make_pictures OUTPUT_DIRECTORY
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "tools/bmp_writer.h"

namespace {

constexpr int W = 96, H = 48;
constexpr std::uint32_t MAGENTA = 0xFF00FF;

std::uint32_t shade(std::uint32_t rgb, double factor) {
  auto channel = [&](int shift) {
    double v = double(rgb >> shift & 0xFF) * factor;
    return std::uint32_t(v > 255 ? 255 : v) << shift;
  };
  return channel(16) | channel(8) | channel(0);
}

} // namespace

int main(int argc, char **argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT_DIRECTORY\n", argv[0]);
    return 2;
  }
  const std::string dir = argv[1];
  const struct {
    const char *letter;
    double factor;
  } states[] = {{"N", 1.0}, {"H", 1.35}, {"P", 0.6}};

  bool ok = true;
  for (const auto &s : states) {
    // A disc filling the left part, with a light triangle pointing right.
    ok &= bmp::write_rgb(dir + "/PLAY" + s.letter + ".BMP", W, H, [&](int x, int y) {
      double dx = x - 24 + 0.5, dy = y - 24 + 0.5;
      if (dx * dx + dy * dy > 22.0 * 22.0) return MAGENTA;
      bool arrow = dx > -8 && dx < 10 && std::abs(dy) < (10 - dx) * 0.55;
      return shade(arrow ? 0xE8F4E8 : 0x2E8B3A, s.factor);
    });
    // A diamond centred in the picture, with a light square in its middle.
    ok &= bmp::write_rgb(dir + "/STOP" + s.letter + ".BMP", W, H, [&](int x, int y) {
      double dx = std::abs(x - 48 + 0.5), dy = std::abs(y - 24 + 0.5);
      if (dx / 46.0 + dy / 23.0 > 1.0) return MAGENTA;
      return shade(dx < 8 && dy < 8 ? 0xF4E8E8 : 0xB22222, s.factor);
    });
  }
  if (!ok) {
    std::fprintf(stderr, "make_pictures: cannot write the pictures into %s\n", dir.c_str());
    return 1;
  }
  return 0;
}
