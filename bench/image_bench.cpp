// Times the shade-ramp parse and a 256 x 256 24-bit texture load with its upload, on a
// headless window and context made through the seam.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "vantrel/gl.h"
#include "vantrel/globals.h"
#include "vantrel/image/shade_ramp.h"
#include "vantrel/image/text_file.h"
#include "vantrel/image/texture.h"
#include "bench/bench_files.h"
#include "bench/bench_window.h"
#include "vantrel/platform/platform.h"

using namespace vantrel;

int main() {
  auto dir = std::filesystem::temp_directory_path() / ("vantrel-bench-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  std::string ramp = (dir / "ramp.sdr").string(), bmp = (dir / "tex.bmp").string();
  std::string text;
  for (int k = 0; k < 32; k++)
    text += std::to_string(k / 31.0) + " band " + std::to_string(k) + "\n";
  bench::write_file(ramp, text);
  // A deterministic byte pattern, each byte of the pixel data its index times 7 modulo 251.
  bench::write_file(bmp, bench::bmp24(256, 256, [](int x, int y) {
                      std::uint32_t i = (std::uint32_t(y) * 256 + std::uint32_t(x)) * 3;
                      return (i * 7 % 251) | ((i + 1) * 7 % 251) << 8 | ((i + 2) * 7 % 251) << 16;
                    }));

  double sum = 0;
  double parse = bench::per_call<std::micro>(20000, [&] {
    LOADFILE(ramp);
    if (IORESULT() != 0) return;
    for (int i = 0; i < 32 && !TEXTEOF(); i++) {
      sum += READREAL();
      READLN();
    }
    ENDFILE();
  });
  std::printf("ramp parse: %.1f us (32 lines, open to close)\n", parse);

  // A gigabyte of NUL bytes, all white space, as a sparse file: read to its end for one 0.
  std::string nuls = (dir / "nuls.sdr").string();
  bench::write_file(nuls, "");
  std::filesystem::resize_file(nuls, std::uintmax_t(1) << 30);
  double skip = bench::per_call<std::milli>(3, [&] {
    LOADFILE(nuls);
    if (IORESULT() != 0) return;
    while (!TEXTEOF()) {
      sum += READREAL();
      READLN();
    }
    ENDFILE();
  });
  std::printf("ramp of 1 GiB of white space: %.0f ms (target: under 2000)\n", skip);
  std::filesystem::remove(nuls);

  if (!open_bench_window(256, 256)) {
    std::printf("no OpenGL context: %s\n", platform::LastErrorText().c_str());
    return 1;
  }
  std::printf("renderer: %s\n", reinterpret_cast<const char *>(glGetString(GL_RENDERER)));
  double ramp_load = bench::per_call<std::micro>(2000, [&] {
    TEXTURELOADSHADER(ramp);
    glDeleteTextures(1, &TEXTUREID);
  });
  std::printf("ramp load and upload: %.1f us\n", ramp_load);
  double tex = bench::per_call<std::micro>(300, [&] {
    TEXTURELOADID(bmp.c_str(), 0);
    glDeleteTextures(1, &TEXTUREID2[0]);
  });
  glFinish();
  std::printf("256x256 24-bit bmp load and upload: %.1f us\n", tex);
  std::filesystem::remove_all(dir);
  return sum < 0 ? 1 : 0;
}
