// What the benchmarks share besides their window: picture files written on the spot, and the
// mean time of a repeated call.
#pragma once

#include <chrono>
#include <cstdint>
#include <fstream>
#include <string>

namespace bench {

inline void put32(std::string &s, std::uint32_t v) {
  for (int i = 0; i < 4; i++)
    s.push_back(char(v >> (8 * i) & 0xFF));
}

// A 24-bit BMP of W x H pixels; PIXEL(x, y) gives 0xRRGGBB, y counting rows as stored (from
// the bottom).
template <class F> std::string bmp24(int w, int h, F pixel) {
  const std::uint32_t stride = (std::uint32_t(w) * 3 + 3) / 4 * 4, data = stride * std::uint32_t(h);
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

inline void write_file(const std::string &path, const std::string &bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// Mean duration of F over REPS calls, in the unit of UNIT (std::micro, std::milli).
template <class UNIT, class F> double per_call(int reps, F &&f) {
  auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < reps; i++)
    f();
  auto end = std::chrono::steady_clock::now();
  return std::chrono::duration<double, UNIT>(end - start).count() / reps;
}

} // namespace bench
