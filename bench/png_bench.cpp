// The PNG writer at three sizes: 800 x 600, 2048 x 2048 and 8192 x 8192. For each, a picture of
// few colours (flat bands and discs, as a cel-shaded frame is) through SAVEPNG, and a frame
// drawn with the cartoon effect through SNAPSHOTFRAME (read back and written). Prints each
// file's size and time, and the size zlib's compress() gives the same rows at its default
// level, unfiltered, as the yardstick of a common encoder. PNG files named on the command line
// (the demo's frame from vantrel_snapshot --size 8192x8192, say) are written again the same way.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <time.h>
#include <unistd.h>
#include <vector>
#include <png.h>
#include <zlib.h>

#include "bench/bench_window.h"
#include "vantrel/vantrel.h"

using namespace vantrel;

namespace {

double seconds_since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The process's CPU time in seconds: on a machine that others share, the wall clock also
// counts the waits for a core.
double cpu_seconds() {
  timespec t;
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// Four colours: horizontal bands, and discs of a fifth across them.
std::uint32_t few_colours(int x, int y, int w, int h) {
  static const std::uint32_t bands[4] = {0xE8E4D8, 0xB03020, 0x2050A0, 0x101010};
  int cx = w / 2 - x, cy = h / 2 - y, r = std::min(w, h) / 3;
  if (cx * cx + cy * cy < r * r) return 0xF0C020;
  return bands[(y * 4 / h + x / std::max(1, w / 8)) % 4];
}

// What zlib's default level makes of the rows, each with PNG's "no filter" byte.
std::size_t zlib_default_size(const std::vector<std::uint32_t> &pixels, int w, int h) {
  std::vector<Bytef> raw;
  raw.reserve(std::size_t(w * 3 + 1) * std::size_t(h));
  for (int y = 0; y < h; y++) {
    raw.push_back(0);
    for (int x = 0; x < w; x++) {
      std::uint32_t p = pixels[std::size_t(y) * std::size_t(w) + std::size_t(x)];
      raw.insert(raw.end(), {Bytef(p >> 16), Bytef(p >> 8), Bytef(p)});
    }
  }
  uLongf size = compressBound(uLong(raw.size()));
  std::vector<Bytef> out(size);
  compress(out.data(), &size, raw.data(), uLong(raw.size()));
  return size;
}

void draw_scene(int w, int h) {
  glViewport(0, 0, w, h);
  OPENGL_INIT(1000.0, 1.0, 0.9, 0.9, 0.85);
  SETGLREFRACTIVE();
  SETGLLIGHT(GL_LIGHT0, 0, 0, 0, 0.1f);
  glEnable(GL_COLOR_MATERIAL);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  LONGWORD shapes = glGenLists(1);
  glNewList(shapes, GL_COMPILE);
  TOROIDE(0, 0, 0, 0.5f, 1.5f, 24, 32);
  CUBO(3.5f, 0, 0, 1, 1, 1);
  glEndList();
  glLoadIdentity();
  glTranslatef(-1.5f, 0, -9);
  glRotatef(30, 1, 0, 0);
  glColor3f(0.9f, 0.5f, 0.1f);
  FX_CARTOON(0, 0, 0, 1, shapes, false);
  glFinish();
}

// Writes PIXELS (W x H) with SAVEPNG to FILE and prints a row of the table; false on failure.
bool measure(const char *label, const std::string &file, int w, int h,
             const std::vector<std::uint32_t> &pixels) {
  double cpu = cpu_seconds();
  auto start = std::chrono::steady_clock::now();
  bool ok = SAVEPNG(file.c_str(), w, h, pixels.data());
  double t = seconds_since(start);
  cpu = cpu_seconds() - cpu;
  std::size_t bytes = ok ? std::size_t(std::filesystem::file_size(file)) : 0;
  std::size_t yardstick = zlib_default_size(pixels, w, h);
  std::printf("%5dx%-5d %-12s %12zu %9.0f %9.0f %14zu %6.2f\n", w, h, label, bytes, t * 1000,
              cpu * 1000, yardstick, double(bytes) / double(yardstick));
  return ok;
}

} // namespace

int main(int argc, char **argv) {
  auto dir = std::filesystem::temp_directory_path() / ("vantrel-png-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  const std::string file = (dir / "out.png").string();
  const int sizes[3][2] = {{800, 600}, {2048, 2048}, {8192, 8192}};
  int status = 0;
  std::printf("%-11s %-12s %12s %9s %9s %14s %6s\n", "size", "picture", "bytes", "ms", "CPU ms",
              "zlib default", "ratio");
  for (auto [w, h] : sizes) {
    std::vector<std::uint32_t> pixels(std::size_t(w) * std::size_t(h));
    for (int y = 0; y < h; y++)
      for (int x = 0; x < w; x++)
        pixels[std::size_t(y) * std::size_t(w) + std::size_t(x)] = few_colours(x, y, w, h);
    double cpu = cpu_seconds();
    auto start = std::chrono::steady_clock::now();
    bool ok = SAVEPNG(file.c_str(), w, h, pixels.data());
    double t = seconds_since(start);
    cpu = cpu_seconds() - cpu;
    std::size_t bytes = ok ? std::size_t(std::filesystem::file_size(file)) : 0;
    std::size_t yardstick = zlib_default_size(pixels, w, h);
    std::printf("%5dx%-5d %-12s %12zu %9.0f %9.0f %14zu %6.2f\n", w, h, "few colours", bytes,
                t * 1000, cpu * 1000, yardstick, double(bytes) / double(yardstick));
    status |= !ok;
  }
  // One window, the largest size; each frame drawn into its bottom-left corner.
  if (!open_bench_window(8192, 8192)) {
    std::printf("no OpenGL context: %s\n", platform::LastErrorText().c_str());
    std::filesystem::remove_all(dir);
    return 1;
  }
  for (auto [w, h] : sizes) {
    draw_scene(w, h);
    std::vector<std::uint32_t> pixels(std::size_t(w) * std::size_t(h));
    std::vector<std::uint8_t> rgba(pixels.size() * 4);
    glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    for (int y = 0; y < h; y++)
      for (int x = 0; x < w; x++) {
        const std::uint8_t *p =
            &rgba[(std::size_t(h - 1 - y) * std::size_t(w) + std::size_t(x)) * 4];
        pixels[std::size_t(y) * std::size_t(w) + std::size_t(x)] =
            std::uint32_t(p[0]) << 16 | std::uint32_t(p[1]) << 8 | p[2];
      }
    // The frame file is the client area's: the window's size, here 8192 x 8192 each time, so
    // the picture of W x H is written with SAVEPNG from the same read-back.
    double cpu = cpu_seconds();
    auto start = std::chrono::steady_clock::now();
    bool ok = SAVEPNG(file.c_str(), w, h, pixels.data());
    double t = seconds_since(start);
    cpu = cpu_seconds() - cpu;
    std::size_t bytes = ok ? std::size_t(std::filesystem::file_size(file)) : 0;
    std::size_t yardstick = zlib_default_size(pixels, w, h);
    std::printf("%5dx%-5d %-12s %12zu %9.0f %9.0f %14zu %6.2f\n", w, h, "cartoon", bytes, t * 1000,
                cpu * 1000, yardstick, double(bytes) / double(yardstick));
    status |= !ok;
  }
  // The whole frame as VANTREL_SNAPSHOT writes it: read back and written.
  double cpu = cpu_seconds();
  auto start = std::chrono::steady_clock::now();
  bool ok = SNAPSHOTFRAME(file.c_str());
  double t = seconds_since(start);
  cpu = cpu_seconds() - cpu;
  std::printf("SNAPSHOTFRAME of the 8192x8192 frame: %zu bytes, %.0f ms (CPU %.0f ms)\n",
              ok ? std::size_t(std::filesystem::file_size(file)) : 0, t * 1000, cpu * 1000);
  for (int i = 1; i < argc; i++) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, argv[i])) {
      std::printf("%s: %s\n", argv[i], image.message);
      status = 1;
      continue;
    }
    image.format = PNG_FORMAT_RGB;
    std::vector<std::uint8_t> rgb(PNG_IMAGE_SIZE(image));
    png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr);
    int w = int(image.width), h = int(image.height);
    std::vector<std::uint32_t> pixels(std::size_t(w) * std::size_t(h));
    for (std::size_t k = 0; k < pixels.size(); k++)
      pixels[k] =
          std::uint32_t(rgb[k * 3]) << 16 | std::uint32_t(rgb[k * 3 + 1]) << 8 | rgb[k * 3 + 2];
    status |= !measure("file", file, w, h, pixels);
  }
  std::filesystem::remove_all(dir);
  return status | !ok;
}
