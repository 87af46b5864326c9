// Makes the examples' pictures and shade ramp, the same bytes on every run:
//   checker.bmp, stripes.bmp, tiles.bmp  24-bit textures, 128 x 128 (examples/textures)
//   badge.bmp                            8-bit picture with a colour table, magenta outside
//                                        the badge (examples/palette_region)
//   bands.sdr                            a three-band shade ramp (examples/cartoon)
// Usage: make_example_assets DIRECTORY
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

void put16(std::vector<std::uint8_t> &b, std::uint32_t v) {
  b.push_back(std::uint8_t(v));
  b.push_back(std::uint8_t(v >> 8));
}
void put32(std::vector<std::uint8_t> &b, std::uint32_t v) {
  put16(b, v & 0xFFFF);
  put16(b, v >> 16);
}

bool save(const std::string &path, const std::vector<std::uint8_t> &bytes) {
  std::FILE *f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

// A BMP file: 54-byte headers, then COLOURS palette entries (0x00RRGGBB), then the rows from the
// bottom of the picture up, each padded to a multiple of 4 bytes. PIXEL(x, y) gives the bytes of
// one pixel with y = 0 at the top.
bool write_bmp(const std::string &path, int w, int h, int bits,
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

// A 24-bit texture from a function giving 0xRRGGBB.
bool write_texture(const std::string &path, const std::function<std::uint32_t(int, int)> &rgb) {
  return write_bmp(path, 128, 128, 24, {}, [&](int x, int y) {
    std::uint32_t c = rgb(x, y);
    return std::vector<std::uint8_t>{std::uint8_t(c), std::uint8_t(c >> 8), std::uint8_t(c >> 16)};
  });
}

} // namespace

int main(int argc, char **argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_example_assets DIRECTORY\n");
    return 2;
  }
  const std::string dir = argv[1];
  bool ok = true;
  // Four by four squares, red and white.
  ok &= write_texture(dir + "/checker.bmp",
                      [](int x, int y) { return (x / 32 + y / 32) % 2 ? 0xF0F0F0u : 0xD03030u; });
  // Stripes across the picture, blue and yellow.
  ok &= write_texture(dir + "/stripes.bmp",
                      [](int x, int) { return (x / 16) % 2 ? 0xF0D040u : 0x3050C0u; });
  // Green tiles with dark joints.
  ok &= write_texture(dir + "/tiles.bmp", [](int x, int y) {
    return x % 32 < 3 || y % 32 < 3 ? 0x204020u : 0x40A060u;
  });

  // The badge: a ring round a star on a disc, drawn with five palette entries; index 0,
  // magenta, is what the region leaves out.
  const std::vector<std::uint32_t> palette = {0xFF00FF, 0x202060, 0xF0C020, 0x2070D0, 0xC03030};
  ok &= write_bmp(dir + "/badge.bmp", 160, 160, 8, palette, [](int x, int y) {
    const double pi = 3.14159265358979;
    double dx = x - 79.5, dy = y - 79.5, r = std::hypot(dx, dy);
    // A five-pointed star: its radius swings between 24 and 58 with the angle.
    double a = std::atan2(dy, dx) + pi / 2, k = std::fmod(a * 5 / (2 * pi) + 10.0, 1.0);
    double star = 24 + 34 * std::fabs(1 - 2 * k);
    std::uint8_t index = r > 78 ? 0 : r > 70 ? 1 : r > 66 ? 2 : r < star ? 4 : 3;
    return std::vector<std::uint8_t>{index};
  });

  // Three bands: shadow, middle, light.
  if (std::FILE *f = std::fopen((dir + "/bands.sdr").c_str(), "w")) {
    for (int i = 0; i < 32; i++)
      std::fprintf(f, "%s\n", i < 10 ? "0.35" : i < 22 ? "0.7" : "1.0");
    ok = std::fclose(f) == 0 && ok;
  } else {
    ok = false;
  }
  if (!ok) std::fprintf(stderr, "make_example_assets: cannot write into %s\n", dir.c_str());
  return ok ? 0 : 1;
}
