// The BMP decoder on bytes in memory. Besides crashes and sanitizer reports, a picture it
// accepts must be laid out as a DIB section is, and for uncompressed files every pixel must be
// the one that an independent reading of the file gives.
#include <cstring>

#include "fuzz/fuzz_files.h"
#include "vantrel/platform/common/bmp_reader.h"

using namespace vantrel;

namespace {

std::uint32_t le(const std::uint8_t *p, int n) {
  std::uint32_t v = 0;
  for (int i = n - 1; i >= 0; i--)
    v = v << 8 | p[i];
  return v;
}

// Pixel (X, Y) of the decoded picture, Y counted from the top, as 0xRRGGBB (colour-table
// indices looked up, those past the table black).
std::uint32_t decoded(const common::dib_image &d, std::int64_t x, std::int64_t y) {
  const std::uint8_t *row =
      d.bits.data() + common::dib_stride(d.width, d.bpp) * std::size_t(d.height - 1 - y);
  if (d.bpp == 24) return le(row + x * 3, 3);
  std::size_t bit = std::size_t(x) * d.bpp;
  unsigned index = (row[bit / 8] >> (8 - d.bpp - bit % 8)) & ((1u << d.bpp) - 1);
  if (index >= d.colors.size()) return 0;
  const TRGBQUAD &c = d.colors[index];
  return std::uint32_t(c.rgbRed) << 16 | c.rgbGreen << 8 | c.rgbBlue;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  common::dib_image d;
  std::string why;
  if (!common::decode_bmp(data, size, d, why)) {
    FUZZ_CHECK(!why.empty(), "a refusal without a reason");
    return 0;
  }
  FUZZ_CHECK(d.width >= 1 && d.height >= 1 && d.width <= 32768 && d.height <= 32768 &&
                 std::int64_t(d.width) * d.height <= (std::int64_t(1) << 28),
             "%d x %d", d.width, d.height);
  FUZZ_CHECK(d.bpp == (d.file_bits <= 8 ? d.file_bits : 24), "depth %u from %u", d.bpp,
             d.file_bits);
  FUZZ_CHECK(d.bits.size() == common::dib_stride(d.width, d.bpp) * std::size_t(d.height),
             "%zu bytes of pixels", d.bits.size());
  FUZZ_CHECK(!d.top_down, "rows must end up bottom-up");
  FUZZ_CHECK(d.file_bits > 8 ? d.colors.empty() : !d.colors.empty() && d.colors.size() <= 256,
             "%zu colours", d.colors.size());

  // The file read again, by hand: uncompressed Windows headers (40 bytes and later) only.
  std::uint32_t header = le(data + 14, 4), bpp = le(data + 28, 2);
  if (header == 12 || le(data + 30, 4) != 0) return 0;
  std::int64_t w = std::int32_t(le(data + 18, 4)), h = std::int32_t(le(data + 22, 4));
  bool top_down = h < 0;
  h = top_down ? -h : h;
  FUZZ_CHECK(w == d.width && h == d.height, "header %lld x %lld, picture %d x %d", (long long)w,
             (long long)h, d.width, d.height);
  std::size_t stride = (std::size_t(w) * bpp + 31) / 32 * 4;
  const std::uint8_t *pixels = data + le(data + 10, 4);
  for (std::int64_t y = 0; y < h; y++) {
    const std::uint8_t *row = pixels + stride * std::size_t(top_down ? y : h - 1 - y);
    for (std::int64_t x = 0; x < w; x++) {
      std::uint32_t want;
      if (bpp == 24) {
        want = le(row + x * 3, 3);
      } else if (bpp == 32) {
        want = le(row + x * 4, 3);
      } else if (bpp == 16) { // 5-5-5, each channel widened to 8 bits with rounding
        std::uint32_t p = le(row + x * 2, 2);
        auto widen = [](std::uint32_t v) { return (v * 255 + 15) / 31; };
        want = widen(p >> 10 & 31) << 16 | widen(p >> 5 & 31) << 8 | widen(p & 31);
      } else {
        std::size_t bit = std::size_t(x) * bpp;
        unsigned index = (row[bit / 8] >> (8 - bpp - bit % 8)) & ((1u << bpp) - 1);
        std::size_t entries = le(data + 46, 4) ? le(data + 46, 4) : 1u << bpp;
        const std::uint8_t *e = data + 14 + header + 4 * index;
        want = index < entries ? le(e, 3) : 0;
      }
      std::uint32_t got = decoded(d, x, y);
      FUZZ_CHECK(got == want, "pixel (%lld, %lld) is %06x, the file says %06x", (long long)x,
                 (long long)y, got, want);
    }
  }
  return 0;
}
