// Times the picture-to-region scan on the headless backend: a 96 x 48 button picture (a disc
// on magenta), and a 512 x 512 picture of 1-pixel stripes, the worst case of one rectangle
// every other pixel (131,072 runs, 66 batches).
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "vantrel/image/bitmap_region.h"
#include "vantrel/platform/headless/headless_platform.h"
#include "vantrel/platform/platform.h"

using namespace vantrel;

namespace {

void put32(std::string &s, std::uint32_t v) {
  for (int i = 0; i < 4; i++)
    s.push_back(char(v >> (8 * i) & 0xFF));
}

// A 24-bit file; PIXEL(x, y) gives 0xRRGGBB with y = 0 the bottom row as stored.
template <class F> std::string bmp(int w, int h, F pixel) {
  const std::uint32_t stride = (std::uint32_t(w) * 3 + 3) / 4 * 4, data = stride * h;
  std::string f = "BM";
  put32(f, 54 + data);
  put32(f, 0);
  put32(f, 54);
  put32(f, 40);
  put32(f, std::uint32_t(w));
  put32(f, std::uint32_t(h));
  put32(f, 1 | 24 << 16);
  for (int i = 0; i < 6; i++)
    put32(f, i == 1 ? data : 0);
  for (int y = 0; y < h; y++) {
    for (int x = 0; x < w; x++) {
      std::uint32_t c = pixel(x, y);
      f += {char(c & 0xFF), char(c >> 8 & 0xFF), char(c >> 16 & 0xFF)};
    }
    f.resize(f.size() + (stride - std::uint32_t(w) * 3), '\0');
  }
  return f;
}

template <class F> double millis_per_call(int reps, F &&f) {
  auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < reps; i++)
    f();
  auto end = std::chrono::steady_clock::now();
  return std::chrono::duration<double, std::milli>(end - start).count() / reps;
}

} // namespace

int main() {
  auto dir =
      std::filesystem::temp_directory_path() / ("vantrel-region-bench-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  std::string button = (dir / "button.bmp").string(), stripes = (dir / "stripes.bmp").string();
  std::ofstream(button, std::ios::binary) << bmp(96, 48, [](int x, int y) {
    int dx = x - 24, dy = y - 24;
    return dx * dx + dy * dy <= 22 * 22 ? 0x2E8B3Au : 0xFF00FFu;
  });
  std::ofstream(stripes, std::ios::binary)
      << bmp(512, 512, [](int x, int) { return x % 2 ? 0xFF00FFu : 0x204080u; });

  headless::reset();
  for (auto [name, path, reps] : {std::tuple{"96 x 48 button picture", button, 200},
                                  std::tuple{"512 x 512 stripes, 131072 runs", stripes, 10}}) {
    THANDLE last = 0;
    double ms = millis_per_call(reps, [&] {
      if (last) platform::DeleteObject(last);
      last = BITMAPTOREGION(path, 0x00FF00FF, 1);
    });
    const auto &scan = LASTREGIONSCAN();
    std::printf("BITMAPTOREGION %-32s %8.3f ms  (%zu batches, MAXRECTS %d)\n", name, ms,
                scan.BATCHES.size(), int(scan.MAXRECTS));
    platform::DeleteObject(last);
  }
  headless::reset();
  std::filesystem::remove_all(dir);
  return 0;
}
