// Writes uncompressed BMP files for the generators of the demo's and the examples' pictures,
// the same bytes on every run.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace bmp {

inline void put16(std::vector<std::uint8_t> &b, std::uint32_t v) {
  b.push_back(std::uint8_t(v));
  b.push_back(std::uint8_t(v >> 8));
}
inline void put32(std::vector<std::uint8_t> &b, std::uint32_t v) {
  put16(b, v & 0xFFFF);
  put16(b, v >> 16);
}

inline bool save(const std::string &path, const std::vector<std::uint8_t> &bytes) {
  std::FILE *f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

// A BMP file of W x H pixels of BITS each: 54 bytes of headers, the COLOURS of its colour
// table (0x00RRGGBB), then the rows from the bottom of the picture up, each padded to a
// multiple of 4 bytes. PIXEL(x, y) gives the bytes of one pixel with y = 0 at the top.
inline bool write(const std::string &path, int w, int h, int bits,
                  const std::vector<std::uint32_t> &colours,
                  const std::function<std::vector<std::uint8_t>(int, int)> &pixel) {
  const std::uint32_t stride = (std::uint32_t(w) * bits / 8 + 3) / 4 * 4;
  const std::uint32_t offset = 54 + 4 * std::uint32_t(colours.size()), size = stride * h;
  std::vector<std::uint8_t> b = {'B', 'M'};
  put32(b, offset + size);
  put32(b, 0);
  put32(b, offset);
  put32(b, 40);
  put32(b, std::uint32_t(w));
  put32(b, std::uint32_t(h));
  put16(b, 1);
  put16(b, std::uint32_t(bits));
  for (std::uint32_t v : {0u, size, 2835u, 2835u, std::uint32_t(colours.size()), 0u})
    put32(b, v);
  for (std::uint32_t c : colours)
    put32(b, c); // blue, green, red, 0 in the file
  for (int y = h - 1; y >= 0; y--) {
    std::size_t start = b.size();
    for (int x = 0; x < w; x++)
      for (std::uint8_t v : pixel(x, y))
        b.push_back(v);
    b.resize(start + stride, 0);
  }
  return save(path, b);
}

// A 24-bit picture of W x H pixels from RGB(x, y) giving 0xRRGGBB, y = 0 at the top.
inline bool write_rgb(const std::string &path, int w, int h,
                      const std::function<std::uint32_t(int, int)> &rgb) {
  return write(path, w, h, 24, {}, [&](int x, int y) {
    std::uint32_t c = rgb(x, y);
    return std::vector<std::uint8_t>{std::uint8_t(c), std::uint8_t(c >> 8), std::uint8_t(c >> 16)};
  });
}

} // namespace bmp
