// Makes the example's button pictures: 24-bit BMPs whose outside is magenta, the colour the
// picture button cuts away. PLAY is a disc with a triangle, STOP a diamond with a square; each
// has a normal (N), hover (H) and pressed (P) picture.
//   usage: make_pictures OUTPUT_DIRECTORY
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int W = 96, H = 48;
constexpr std::uint32_t MAGENTA = 0xFF00FF;

void put16(std::vector<std::uint8_t> &b, std::uint32_t v) {
  b.push_back(std::uint8_t(v));
  b.push_back(std::uint8_t(v >> 8));
}
void put32(std::vector<std::uint8_t> &b, std::uint32_t v) {
  put16(b, v & 0xFFFF);
  put16(b, v >> 16);
}

// PIXEL(x, y) is 0xRRGGBB with y = 0 at the top; the file stores rows bottom-up.
bool write_bmp(const std::string &path, const std::function<std::uint32_t(int, int)> &pixel) {
  const std::uint32_t stride = (W * 3 + 3) / 4 * 4, size = stride * H;
  std::vector<std::uint8_t> b = {'B', 'M'};
  put32(b, 54 + size);
  put32(b, 0);
  put32(b, 54);
  put32(b, 40);
  put32(b, W);
  put32(b, H);
  put16(b, 1);
  put16(b, 24);
  for (std::uint32_t v : {0u, size, 2835u, 2835u, 0u, 0u})
    put32(b, v);
  for (int y = H - 1; y >= 0; y--) {
    for (int x = 0; x < W; x++) {
      std::uint32_t c = pixel(x, y);
      b.push_back(std::uint8_t(c));
      b.push_back(std::uint8_t(c >> 8));
      b.push_back(std::uint8_t(c >> 16));
    }
    b.resize(b.size() + (stride - W * 3), 0);
  }
  std::FILE *f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(b.data(), 1, b.size(), f) == b.size();
  return std::fclose(f) == 0 && ok;
}

std::uint32_t shade(std::uint32_t rgb, double factor) {
  auto channel = [&](int shift) {
    double v = double(rgb >> shift & 0xFF) * factor;
    return std::uint32_t(v > 255 ? 255 : v) << shift;
  };
  return channel(16) | channel(8) | channel(0);
}

} // namespace

int main(int argc, char **argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT_DIRECTORY\n", argv[0]);
    return 2;
  }
  const std::string dir = argv[1];
  const struct {
    const char *letter;
    double factor;
  } states[] = {{"N", 1.0}, {"H", 1.35}, {"P", 0.6}};

  bool ok = true;
  for (const auto &s : states) {
    // A disc filling the left part, with a light triangle pointing right.
    ok &= write_bmp(dir + "/PLAY" + s.letter + ".BMP", [&](int x, int y) {
      double dx = x - 24 + 0.5, dy = y - 24 + 0.5;
      if (dx * dx + dy * dy > 22.0 * 22.0) return MAGENTA;
      bool arrow = dx > -8 && dx < 10 && std::abs(dy) < (10 - dx) * 0.55;
      return shade(arrow ? 0xE8F4E8 : 0x2E8B3A, s.factor);
    });
    // A diamond centred in the picture, with a light square in its middle.
    ok &= write_bmp(dir + "/STOP" + s.letter + ".BMP", [&](int x, int y) {
      double dx = std::abs(x - 48 + 0.5), dy = std::abs(y - 24 + 0.5);
      if (dx / 46.0 + dy / 23.0 > 1.0) return MAGENTA;
      return shade(dx < 8 && dy < 8 ? 0xF4E8E8 : 0xB22222, s.factor);
    });
  }
  if (!ok) {
    std::fprintf(stderr, "make_pictures: cannot write the pictures into %s\n", dir.c_str());
    return 1;
  }
  return 0;
}
