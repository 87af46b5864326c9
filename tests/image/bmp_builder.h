// Builds BMP files byte by byte, so that tests can state exactly what a file holds; and the
// set-up shared by the death tests of this folder.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace vantrel::test {

// Run-time errors end the program with its windows still open, which the leak checker of a
// sanitized build would report from the death-test child; that child is started afresh and
// reads its options from the environment.
inline void death_tests_skip_leak_check() {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  std::string options = std::getenv("ASAN_OPTIONS") ? std::getenv("ASAN_OPTIONS") : "";
  if (options.find("detect_leaks=0") == std::string::npos)
    setenv("ASAN_OPTIONS", (options.empty() ? "" : options + ":").append("detect_leaks=0").c_str(),
           1);
}

struct bmp_layout {
  std::int32_t width = 1, height = 1; // height as stored: negative for a top-down file
  std::uint16_t bpp = 24;
  std::uint32_t header_size = 40; // 12 (OS/2 core), 40, 108 (V4) or 124 (V5)
  std::uint32_t compression = 0;
  std::vector<std::uint32_t> masks; // red, green, blue for bit fields
  std::string palette;              // colour table bytes as stored (4 or 3 bytes an entry)
  std::uint32_t colors_used = 0;
  std::string pixels; // pixel data as stored, rows already padded
};

inline void put16(std::string &s, std::uint32_t v) {
  s.push_back(char(v & 0xFF));
  s.push_back(char(v >> 8 & 0xFF));
}
inline void put32(std::string &s, std::uint32_t v) {
  put16(s, v & 0xFFFF);
  put16(s, v >> 16);
}

inline std::string make_bmp(const bmp_layout &b) {
  std::string info;
  put32(info, b.header_size);
  if (b.header_size == 12) {
    put16(info, std::uint32_t(b.width));
    put16(info, std::uint32_t(b.height));
    put16(info, 1);
    put16(info, b.bpp);
  } else {
    put32(info, std::uint32_t(b.width));
    put32(info, std::uint32_t(b.height));
    put16(info, 1);
    put16(info, b.bpp);
    put32(info, b.compression);
    put32(info, std::uint32_t(b.pixels.size()));
    put32(info, 2835);
    put32(info, 2835);
    put32(info, b.colors_used);
    put32(info, 0);
    if (b.header_size == 40) {
      for (auto m : b.masks)
        put32(info, m); // bit fields follow a 40-byte header
    } else {
      for (std::size_t i = 0; i < 4; i++)
        put32(info, i < b.masks.size() ? b.masks[i] : 0);
      info.resize(b.header_size, '\0');
    }
  }
  std::string file = "BM";
  std::uint32_t offset = 14 + std::uint32_t(info.size() + b.palette.size());
  put32(file, offset + std::uint32_t(b.pixels.size()));
  put32(file, 0);
  put32(file, offset);
  return file + info + b.palette + b.pixels;
}

// Rows given as bytes, each padded with zero filler to a whole number of 4-byte units.
inline std::string padded_rows(const std::vector<std::string> &rows) {
  std::string out;
  for (auto row : rows) {
    row.resize((row.size() + 3) / 4 * 4, '\0');
    out += row;
  }
  return out;
}

inline std::string bytes(std::initializer_list<int> values) {
  std::string s;
  for (int v : values)
    s.push_back(char(v));
  return s;
}

// A 24-bit file of W x H pixels, PIXEL(x, y) giving 0xRRGGBB with y = 0 the top row; stored
// bottom-up as usual, or top-down when asked.
template <class F>
inline std::string bmp24(std::int32_t w, std::int32_t h, F pixel, bool top_down = false) {
  bmp_layout b;
  b.width = w;
  b.height = top_down ? -h : h;
  std::vector<std::string> rows;
  for (std::int32_t r = 0; r < h; r++) {
    std::int32_t y = top_down ? r : h - 1 - r;
    std::string row;
    for (std::int32_t x = 0; x < w; x++) {
      std::uint32_t c = pixel(x, y);
      row += bytes({int(c & 0xFF), int(c >> 8 & 0xFF), int(c >> 16 & 0xFF)});
    }
    rows.push_back(row);
  }
  b.pixels = padded_rows(rows);
  return make_bmp(b);
}

// A colour-table file of BPP 1, 4 or 8 bits: TABLE holds 0xRRGGBB entries in file order and
// INDEX(x, y) the entry of each pixel, y = 0 the top row.
template <class F>
inline std::string bmp_indexed(std::int32_t w, std::int32_t h, std::uint16_t bpp,
                               const std::vector<std::uint32_t> &table, F index) {
  bmp_layout b;
  b.width = w;
  b.height = h;
  b.bpp = bpp;
  b.colors_used = std::uint32_t(table.size());
  for (auto c : table)
    b.palette += bytes({int(c & 0xFF), int(c >> 8 & 0xFF), int(c >> 16 & 0xFF), 0});
  std::vector<std::string> rows;
  for (std::int32_t y = h - 1; y >= 0; y--) {
    std::string row((std::size_t(w) * bpp + 7) / 8, '\0');
    for (std::int32_t x = 0; x < w; x++) {
      std::size_t bit = std::size_t(x) * bpp;
      int shift = 8 - bpp - int(bit % 8);
      row[bit / 8] = char(row[bit / 8] | int(index(x, y)) << shift);
    }
    rows.push_back(row);
  }
  b.pixels = padded_rows(rows);
  return make_bmp(b);
}

} // namespace vantrel::test
