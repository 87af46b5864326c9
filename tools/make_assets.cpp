// Makes the demo's three textures and its shade ramp, the same bytes on every run.
// Usage: make_assets DIRECTORY
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "tools/bmp_writer.h"

namespace {

struct rgb {
  double r, g, b;
};

// Integer hash noise in 0..1, smooth when interpolated.
double hash(int x, int y, int seed) {
  std::uint32_t h = std::uint32_t(x) * 374761393u + std::uint32_t(y) * 668265263u +
                    std::uint32_t(seed) * 2147483647u;
  h = (h ^ (h >> 13)) * 1274126177u;
  return double((h ^ (h >> 16)) & 0xFFFF) / 65535.0;
}

double value_noise(double x, double y, int seed, int period) {
  int x0 = int(std::floor(x)), y0 = int(std::floor(y));
  double fx = x - x0, fy = y - y0;
  auto at = [&](int i, int j) {
    return hash(((i % period) + period) % period, ((j % period) + period) % period, seed);
  };
  auto s = [](double t) { return t * t * (3 - 2 * t); };
  double a = at(x0, y0) + (at(x0 + 1, y0) - at(x0, y0)) * s(fx);
  double b = at(x0, y0 + 1) + (at(x0 + 1, y0 + 1) - at(x0, y0 + 1)) * s(fx);
  return a + (b - a) * s(fy);
}

// Noise that tiles over a SIZE-pixel texture, several octaves.
double fractal(double x, double y, int seed, int size) {
  double sum = 0, amp = 0.5;
  for (int cells = 8; cells <= 64; cells *= 2, amp *= 0.5)
    sum += amp * value_noise(x * cells / size, y * cells / size, seed + cells, cells);
  return sum;
}

// A SIZE x SIZE texture of colours in 0..1, y = 0 at the top.
bool write_bmp(const std::string &path, int size, const std::function<rgb(int, int)> &pixel) {
  auto byte = [](double v) {
    return std::uint32_t(std::lround(std::fmin(1, std::fmax(0, v)) * 255));
  };
  return bmp::write_rgb(path, size, size, [&](int x, int y) {
    rgb c = pixel(x, y);
    return byte(c.r) << 16 | byte(c.g) << 8 | byte(c.b);
  });
}

// Courses of rectangular blocks with mortar joints, every other course offset by half a block.
rgb stone_blocks(int x, int y) {
  const int size = 256, block_w = 64, block_h = 32, joint = 3;
  int course = y / block_h;
  int bx = (x + (course % 2) * block_w / 2) % size;
  int block = bx / block_w;
  bool mortar = (y % block_h) < joint || (bx % block_w) < joint;
  double n = fractal(x, y, 11, size);
  if (mortar) return {0.42 + 0.1 * n, 0.40 + 0.1 * n, 0.37 + 0.1 * n};
  double tone = 0.55 + 0.25 * hash(block, course, 5);
  return {tone * (0.85 + 0.3 * n), tone * (0.78 + 0.3 * n), tone * (0.68 + 0.3 * n)};
}

// Rounded stones: the nearest of jittered cell centres, dark where two cells meet.
rgb stones(int x, int y) {
  const int size = 256, cells = 8, cell = size / cells;
  double best = 1e9, second = 1e9;
  int best_id = 0;
  for (int j = -1; j <= cells; j++)
    for (int i = -1; i <= cells; i++) {
      int wi = (i + cells) % cells, wj = (j + cells) % cells;
      double cx = (i + 0.2 + 0.6 * hash(wi, wj, 21)) * cell;
      double cy = (j + 0.2 + 0.6 * hash(wi, wj, 22)) * cell;
      double d = std::hypot(x - cx, y - cy);
      if (d < best)
        second = best, best = d, best_id = wj * cells + wi;
      else if (d < second)
        second = d;
    }
  double edge = std::fmin(1.0, (second - best) / 6.0);
  double n = fractal(x, y, 31, size);
  double tone = (0.45 + 0.35 * hash(best_id, 0, 23)) * (0.8 + 0.4 * n);
  double warm = hash(best_id, 1, 24) * 0.12;
  return {(tone + warm) * edge + 0.12 * (1 - edge), tone * edge + 0.1 * (1 - edge),
          (tone - warm) * edge + 0.09 * (1 - edge)};
}

// Fine grey stone with faint veins.
rgb gray_stone(int x, int y) {
  double n = fractal(x, y, 41, 256);
  double vein = std::fabs(std::sin((x + 40 * fractal(y, x, 43, 256)) * 3.14159 / 64));
  double g = 0.55 + 0.3 * n - 0.08 * std::pow(1 - vein, 8);
  return {g, g, g * 1.02};
}

} // namespace

int main(int argc, char **argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_assets DIRECTORY\n");
    return 2;
  }
  std::string dir = argv[1];
  bool ok = write_bmp(dir + "/stoneblocks.bmp", 256, stone_blocks) &&
            write_bmp(dir + "/pietre.bmp", 256, stones) &&
            write_bmp(dir + "/gray11.bmp", 256, gray_stone);
  // Four bands: shadow, two mid tones, highlight.
  if (std::FILE *f = std::fopen((dir + "/grigio3.sdr").c_str(), "w")) {
    for (int i = 0; i < 32; i++)
      std::fprintf(f, "%s\n", i < 8 ? "0.3" : i < 18 ? "0.55" : i < 27 ? "0.8" : "1.0");
    ok = std::fclose(f) == 0 && ok;
  } else {
    ok = false;
  }
  if (!ok) std::fprintf(stderr, "make_assets: cannot write into %s\n", dir.c_str());
  return ok ? 0 : 1;
}
