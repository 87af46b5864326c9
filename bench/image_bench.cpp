// Times the shade-ramp parse and a 256 x 256 24-bit texture load with its upload, on a
// headless window and context made through the seam.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "vantrel/gl.h"
#include "vantrel/globals.h"
#include "vantrel/image/shade_ramp.h"
#include "vantrel/image/text_file.h"
#include "vantrel/image/texture.h"
#include "bench/bench_window.h"
#include "vantrel/platform/platform.h"

using namespace vantrel;

namespace {

void write_file(const std::string &path, const std::string &bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

void put32(std::string &s, std::uint32_t v) {
  for (int i = 0; i < 4; i++)
    s.push_back(char(v >> (8 * i) & 0xFF));
}

std::string bmp_256() {
  const std::uint32_t side = 256, data = side * side * 3;
  std::string f = "BM";
  put32(f, 54 + data);
  put32(f, 0);
  put32(f, 54);
  put32(f, 40);
  put32(f, side);
  put32(f, side);
  put32(f, 1 | 24 << 16);
  put32(f, 0);
  put32(f, data);
  for (int i = 0; i < 4; i++)
    put32(f, 0);
  for (std::uint32_t i = 0; i < data; i++)
    f.push_back(char(i * 7 % 251));
  return f;
}

template <class F> double micros_per_call(int reps, F &&f) {
  auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < reps; i++)
    f();
  auto end = std::chrono::steady_clock::now();
  return std::chrono::duration<double, std::micro>(end - start).count() / reps;
}

} // namespace

int main() {
  auto dir = std::filesystem::temp_directory_path() / ("vantrel-bench-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  std::string ramp = (dir / "ramp.sdr").string(), bmp = (dir / "tex.bmp").string();
  std::string text;
  for (int k = 0; k < 32; k++)
    text += std::to_string(k / 31.0) + " band " + std::to_string(k) + "\n";
  write_file(ramp, text);
  write_file(bmp, bmp_256());

  double sum = 0;
  double parse = micros_per_call(20000, [&] {
    LOADFILE(ramp);
    if (IORESULT() != 0) return;
    for (int i = 0; i < 32 && !TEXTEOF(); i++) {
      sum += READREAL();
      READLN();
    }
    ENDFILE();
  });
  std::printf("ramp parse: %.1f us (32 lines, open to close)\n", parse);

  if (!open_bench_window(256, 256)) {
    std::printf("no OpenGL context: %s\n", platform::LastErrorText().c_str());
    return 1;
  }
  std::printf("renderer: %s\n", reinterpret_cast<const char *>(glGetString(GL_RENDERER)));
  double ramp_load = micros_per_call(2000, [&] {
    TEXTURELOADSHADER(ramp);
    glDeleteTextures(1, &TEXTUREID);
  });
  std::printf("ramp load and upload: %.1f us\n", ramp_load);
  double tex = micros_per_call(300, [&] {
    TEXTURELOADID(bmp.c_str(), 0);
    glDeleteTextures(1, &TEXTUREID2[0]);
  });
  glFinish();
  std::printf("256x256 24-bit bmp load and upload: %.1f us\n", tex);
  std::filesystem::remove_all(dir);
  return sum < 0 ? 1 : 0;
}
