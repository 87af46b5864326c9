// The BMP reader on a picture of 1 GiB: a 16384 x 16384 32-bit file made in the temporary
// folder (and removed after), read from the page cache. Prints the reader's rate (file to
// pixels, LoadImageA), the whole texture load (TEXTURELOADID, OpenGL's copy included) and the
// peak memory of each.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <time.h>
#include <unistd.h>
#include <vector>

#include "bench/bench_files.h"
#include "bench/bench_window.h"
#include "vantrel/gl.h"
#include "vantrel/globals.h"
#include "vantrel/image/texture.h"
#include "vantrel/platform/platform.h"

using namespace vantrel;

namespace {

constexpr int SIDE = 16384;

// The peak resident memory since the last restart_peak(), in MiB (Linux: VmHWM).
void restart_peak() { std::ofstream("/proc/self/clear_refs") << "5"; }
double peak_mib() {
  std::ifstream in("/proc/self/status");
  for (std::string line; std::getline(in, line);)
    if (line.rfind("VmHWM:", 0) == 0) return std::stod(line.substr(6)) / 1024;
  return -1;
}

// A 32-bit BMP, bottom-up, with the default channel masks; each row a band of grey and colour.
bool write_bmp32(const std::string &path) {
  std::string head = "BM";
  const std::uint32_t data = std::uint32_t(SIDE) * SIDE * 4;
  bench::put32(head, 54 + data);
  bench::put32(head, 0);
  bench::put32(head, 54);
  bench::put32(head, 40);
  bench::put32(head, SIDE);
  bench::put32(head, SIDE);
  bench::put32(head, 1 | 32 << 16);
  for (int i = 0; i < 6; i++)
    bench::put32(head, i == 1 ? data : 0);
  std::ofstream out(path, std::ios::binary);
  out << head;
  std::vector<std::uint8_t> row(std::size_t(SIDE) * 4);
  for (int y = 0; y < SIDE && out; y++) {
    for (int x = 0; x < SIDE; x++) {
      row[std::size_t(x) * 4] = std::uint8_t(x);
      row[std::size_t(x) * 4 + 1] = std::uint8_t(y);
      row[std::size_t(x) * 4 + 2] = std::uint8_t(x ^ y);
      row[std::size_t(x) * 4 + 3] = 0;
    }
    out.write(reinterpret_cast<const char *>(row.data()), std::streamsize(row.size()));
  }
  return bool(out);
}

double seconds_since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The process's CPU time, user and system, in seconds: on a machine that others share it says
// what the reader costs where the wall clock also counts the waits for a core.
double cpu_seconds() {
  timespec t;
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

} // namespace

int main() {
  auto dir = std::filesystem::temp_directory_path() / ("vantrel-bmp-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  const std::string file = (dir / "big32.bmp").string();
  int status = 0;
  if (!write_bmp32(file)) {
    std::printf("cannot write %s\n", file.c_str());
    std::filesystem::remove_all(dir);
    return 1;
  }
  const double mib = double(std::filesystem::file_size(file)) / (1 << 20);
  std::printf("file: %d x %d 32-bit BMP, %.0f MiB, in the page cache\n", SIDE, SIDE, mib);

  // The reader alone: file to pixels, three times (the best counts; the first may still find
  // the file partly on its way to the disk).
  double best = 1e9, best_cpu = 1e9, peak = 0;
  for (int run = 0; run < 3; run++) {
    restart_peak();
    double cpu = cpu_seconds();
    auto start = std::chrono::steady_clock::now();
    THANDLE bitmap = platform::LoadImageA(0, file.c_str(), IMAGE_BITMAP, 0, 0,
                                          LR_LOADFROMFILE | LR_CREATEDIBSECTION);
    double t = seconds_since(start);
    cpu = cpu_seconds() - cpu;
    peak = peak_mib();
    if (!bitmap) {
      std::printf("reader refused the file: %s\n", platform::LastErrorText().c_str());
      status = 1;
      break;
    }
    platform::DeleteObject(bitmap);
    best = std::min(best, t);
    best_cpu = std::min(best_cpu, cpu);
  }
  if (status == 0)
    std::printf("reader: %.0f ms, %.2f GB/s of file (CPU time %.0f ms, %.2f GB/s), peak %.0f "
                "MiB\n",
                best * 1000, mib * (1 << 20) / best / 1e9, best_cpu * 1000,
                mib * (1 << 20) / best_cpu / 1e9, peak);

  // The whole load: reader, colour order, and OpenGL's own copy.
  if (status == 0 && open_bench_window(64, 64)) {
    GLint max_side = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &max_side);
    restart_peak();
    double cpu = cpu_seconds();
    auto start = std::chrono::steady_clock::now();
    TEXTURELOADID(file.c_str(), 0);
    glFinish();
    double t = seconds_since(start);
    cpu = cpu_seconds() - cpu;
    std::printf("TEXTURELOADID: %.0f ms (CPU time %.0f ms), peak %.0f MiB (OpenGL's largest "
                "texture side here %d%s)\n",
                t * 1000, cpu * 1000, peak_mib(), max_side, TEXTUREID2[0] ? "" : "; not loaded");
  }
  std::filesystem::remove_all(dir);
  return status;
}
