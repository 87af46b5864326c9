#include "vantrel/image/snapshot.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "vantrel/gl.h"
#include "vantrel/globals.h"
#include "vantrel/platform/platform.h"
#include "vantrel/runerror.h"

namespace vantrel {
namespace {

constexpr LONGINT MAX_SIDE = 16384;

// ---- zlib stream: one deflate block with the fixed Huffman codes ----

// Deflate writes its bits from the least significant end of each byte.
struct bit_writer {
  std::vector<std::uint8_t> &out;
  std::uint32_t buffer = 0;
  int count = 0;
  void put(std::uint32_t bits, int n) {
    buffer |= bits << count;
    count += n;
    while (count >= 8) {
      out.push_back(std::uint8_t(buffer));
      buffer >>= 8;
      count -= 8;
    }
  }
  // Huffman codes go most significant bit first.
  void code(std::uint32_t bits, int n) {
    std::uint32_t reversed = 0;
    for (int i = 0; i < n; i++)
      reversed |= ((bits >> i) & 1) << (n - 1 - i);
    put(reversed, n);
  }
  void flush() {
    if (count > 0) out.push_back(std::uint8_t(buffer));
    buffer = 0, count = 0;
  }
};

void literal(bit_writer &w, unsigned symbol) {
  if (symbol < 144)
    w.code(0x30 + symbol, 8);
  else if (symbol < 256)
    w.code(0x190 + symbol - 144, 9);
  else if (symbol < 280)
    w.code(symbol - 256, 7);
  else
    w.code(0xC0 + symbol - 280, 8);
}

// A copy of the byte just before, LENGTH (3..258) times: a match at distance 1.
void repeat(bit_writer &w, unsigned length) {
  static constexpr unsigned base[29] = {3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                        15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                        67, 83, 99, 115, 131, 163, 195, 227, 258};
  static constexpr int extra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                    2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
  int i = 28;
  while (base[i] > length)
    i--;
  literal(w, 257 + unsigned(i));
  w.put(length - base[i], extra[i]);
  w.code(0, 5); // distance code 0: distance 1
}

// Runs of one byte are what filtered rows of flat colour become; they are sent as repeats.
std::vector<std::uint8_t> zlib_stream(const std::vector<std::uint8_t> &data) {
  std::vector<std::uint8_t> out = {0x78, 0x01};
  bit_writer w{out};
  w.put(1, 1); // the last block
  w.put(1, 2); // fixed Huffman codes
  std::size_t i = 0;
  while (i < data.size()) {
    std::size_t run = 0;
    if (i > 0)
      while (run < 258 && i + run < data.size() && data[i + run] == data[i - 1])
        run++;
    if (run >= 3) {
      repeat(w, unsigned(run));
      i += run;
    } else {
      literal(w, data[i++]);
    }
  }
  literal(w, 256); // end of block
  w.flush();
  std::uint32_t a = 1, b = 0;
  for (std::uint8_t byte : data) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  std::uint32_t adler = b << 16 | a;
  for (int shift = 24; shift >= 0; shift -= 8)
    out.push_back(std::uint8_t(adler >> shift));
  return out;
}

// ---- PNG chunks ----

std::uint32_t crc32(const std::uint8_t *p, std::size_t n, std::uint32_t crc = 0xFFFFFFFFu) {
  static const std::array<std::uint32_t, 256> table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t k = 0; k < 256; k++) {
      std::uint32_t c = k;
      for (int j = 0; j < 8; j++)
        c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[k] = c;
    }
    return t;
  }();
  for (std::size_t i = 0; i < n; i++)
    crc = table[(crc ^ p[i]) & 0xFF] ^ (crc >> 8);
  return crc;
}

void put32(std::vector<std::uint8_t> &out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8)
    out.push_back(std::uint8_t(v >> shift));
}

void chunk(std::vector<std::uint8_t> &out, const char *type,
           const std::vector<std::uint8_t> &data) {
  put32(out, std::uint32_t(data.size()));
  std::size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  put32(out, crc32(out.data() + start, out.size() - start) ^ 0xFFFFFFFFu);
}

// Each row gets the filter (none, left neighbour or row above) whose output is smallest, so
// that flat areas turn into runs of zeros.
std::vector<std::uint8_t> filtered_rows(LONGINT w, LONGINT h, const std::uint32_t *pixels) {
  const std::size_t stride = std::size_t(w) * 3;
  std::vector<std::uint8_t> raw(stride * std::size_t(h)), out;
  for (std::size_t i = 0; i < std::size_t(w) * std::size_t(h); i++) {
    raw[i * 3] = std::uint8_t(pixels[i] >> 16);
    raw[i * 3 + 1] = std::uint8_t(pixels[i] >> 8);
    raw[i * 3 + 2] = std::uint8_t(pixels[i]);
  }
  out.reserve((stride + 1) * std::size_t(h));
  std::vector<std::uint8_t> candidate[3];
  for (LONGINT y = 0; y < h; y++) {
    const std::uint8_t *row = raw.data() + std::size_t(y) * stride;
    const std::uint8_t *above = y > 0 ? row - stride : nullptr;
    std::size_t best = 0, best_cost = SIZE_MAX;
    for (std::size_t f = 0; f < 3; f++) {
      candidate[f].resize(stride);
      std::size_t cost = 0;
      for (std::size_t x = 0; x < stride; x++) {
        std::uint8_t predictor = f == 1            ? (x >= 3 ? row[x - 3] : 0)
                                 : f == 2 && above ? above[x]
                                                   : 0;
        std::uint8_t v = std::uint8_t(row[x] - predictor);
        candidate[f][x] = v;
        cost += v < 128 ? v : 256 - v;
      }
      if (cost < best_cost) best = f, best_cost = cost;
    }
    out.push_back(std::uint8_t(best));
    out.insert(out.end(), candidate[best].begin(), candidate[best].end());
  }
  return out;
}

} // namespace

BOOLEAN SAVEPNG(PCHAR FILENAME, LONGINT W, LONGINT H, const std::uint32_t *PIXELS) {
  const std::string name = FILENAME ? FILENAME : "";
  if (W < 1 || H < 1 || W > MAX_SIDE || H > MAX_SIDE || !PIXELS) {
    WARNING("picture '" + name + "' not written: " + std::to_string(W) + " x " + std::to_string(H) +
            " pixels is not a size it can have");
    return false;
  }
  std::vector<std::uint8_t> file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<std::uint8_t> header;
  put32(header, std::uint32_t(W));
  put32(header, std::uint32_t(H));
  header.insert(header.end(), {8, 2, 0, 0, 0}); // 8 bits, RGB, deflate, filtered, not interlaced
  chunk(file, "IHDR", header);
  chunk(file, "IDAT", zlib_stream(filtered_rows(W, H, PIXELS)));
  chunk(file, "IEND", {});

  std::FILE *f = name.empty() ? nullptr : std::fopen(name.c_str(), "wb");
  if (!f) {
    WARNING("picture '" + name + "' not written: the file cannot be created");
    return false;
  }
  bool ok = std::fwrite(file.data(), 1, file.size(), f) == file.size();
  ok = std::fclose(f) == 0 && ok;
  if (!ok) WARNING("picture '" + name + "' not written: writing the file failed");
  return ok;
}

BOOLEAN SNAPSHOTFRAME(PCHAR FILENAME) {
  const std::string name = FILENAME ? FILENAME : "";
  TRECT client;
  if (!HWINDOW || !RCWINDOW || !platform::GetClientRect(HWINDOW, &client)) {
    WARNING("frame '" + name + "' not written: there is no main window with an OpenGL context");
    return false;
  }
  const LONGINT w = client.RIGHT - client.LEFT, h = client.BOTTOM - client.TOP;
  if (w < 1 || h < 1 || w > MAX_SIDE || h > MAX_SIDE) return SAVEPNG(FILENAME, w, h, nullptr);
  std::vector<std::uint8_t> rgba(std::size_t(w) * std::size_t(h) * 4);
  // The caller's packing stays as it was.
  GLint alignment = 4;
  glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
  glPixelStorei(GL_PACK_ALIGNMENT, alignment);
  std::vector<std::uint32_t> pixels(std::size_t(w) * std::size_t(h));
  for (LONGINT y = 0; y < h; y++) { // OpenGL's rows run from the bottom up
    const std::uint8_t *row = rgba.data() + std::size_t(h - 1 - y) * std::size_t(w) * 4;
    for (LONGINT x = 0; x < w; x++)
      pixels[std::size_t(y) * std::size_t(w) + std::size_t(x)] =
          std::uint32_t(row[x * 4]) << 16 | std::uint32_t(row[x * 4 + 1]) << 8 | row[x * 4 + 2];
  }
  return SAVEPNG(FILENAME, w, h, pixels.data());
}

BOOLEAN SNAPSHOTWINDOW(THANDLE WINDOW, PCHAR FILENAME) {
  const std::string name = FILENAME ? FILENAME : "";
  LONGINT w = 0, h = 0;
  if (!platform::GetWindowPixels(WINDOW, &w, &h, nullptr) || w < 1 || h < 1) {
    WARNING("window picture '" + name + "' not written: the window shows nothing to read");
    return false;
  }
  if (w > MAX_SIDE || h > MAX_SIDE) return SAVEPNG(FILENAME, w, h, nullptr);
  std::vector<std::uint32_t> pixels(std::size_t(w) * std::size_t(h));
  LONGINT w2 = w, h2 = h;
  if (!platform::GetWindowPixels(WINDOW, &w2, &h2, pixels.data()) || w2 != w || h2 != h) {
    WARNING("window picture '" + name + "' not written: the window's pixels cannot be read");
    return false;
  }
  return SAVEPNG(FILENAME, w, h, pixels.data());
}

PCHAR SNAPSHOTOPTION(int ARGC, char **ARGV) {
  const char *program = ARGC > 0 && ARGV[0] ? ARGV[0] : "program";
  const char *file = nullptr;
  bool bad = false;
  for (int i = 1; i < ARGC; i++) {
    if (std::strcmp(ARGV[i], "--snapshot") == 0 && i + 1 < ARGC && !file)
      file = ARGV[++i];
    else
      bad = true;
  }
  // Without a screen nothing could show the window, and nothing would end the program.
  bool screen = platform::GetSystemMetrics(SM_CMONITORS) > 0;
  if (bad || (!file && !screen)) {
    if (screen)
      std::fprintf(stderr, "usage: %s [--snapshot FILE.png]\n", program);
    else
      std::fprintf(stderr, "usage: %s --snapshot FILE.png (no screen here to open a window on)\n",
                   program);
    std::exit(2);
  }
  return file;
}

} // namespace vantrel
