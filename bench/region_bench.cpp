// Times the picture-to-region scan on the headless backend: a 96 x 48 button picture (a disc
// on magenta), and a 512 x 512 picture of 1-pixel stripes, the worst case of one rectangle
// every other pixel (131,072 runs, 66 batches).
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "bench/bench_files.h"
#include "vantrel/image/bitmap_region.h"
#include "vantrel/platform/headless/headless_test_hooks.h"
#include "vantrel/platform/platform.h"

using namespace vantrel;

int main() {
  auto dir =
      std::filesystem::temp_directory_path() / ("vantrel-region-bench-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  std::string button = (dir / "button.bmp").string(), stripes = (dir / "stripes.bmp").string();
  bench::write_file(button, bench::bmp24(96, 48, [](int x, int y) {
                      int dx = x - 24, dy = y - 24;
                      return dx * dx + dy * dy <= 22 * 22 ? 0x2E8B3Au : 0xFF00FFu;
                    }));
  bench::write_file(
      stripes, bench::bmp24(512, 512, [](int x, int) { return x % 2 ? 0xFF00FFu : 0x204080u; }));

  headless::reset();
  for (auto [name, path, reps] : {std::tuple{"96 x 48 button picture", button, 200},
                                  std::tuple{"512 x 512 stripes, 131072 runs", stripes, 10}}) {
    THANDLE last = 0;
    double ms = bench::per_call<std::milli>(reps, [&] {
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
