// The bitmap-to-region builder on small pictures of every depth and any colour window: every
// pixel must lie in the region exactly when it is outside the window (checked with PtInRegion),
// nothing outside the picture may, and no GDI object may outlive the call but the result.
#include <vector>

#include "fuzz/fuzz_files.h"
#include "vantrel/image/bitmap_region.h"
#include "vantrel/platform/common/gdi_objects.h"
#include "vantrel/runerror.h"

using namespace vantrel;

namespace {

// Reads the input as the picture's description, then its bytes; past the end, zeros.
struct input {
  const std::uint8_t *data;
  std::size_t size, at = 0;
  std::uint32_t next(int bytes = 1) {
    std::uint32_t v = 0;
    for (int i = 0; i < bytes; i++)
      v |= std::uint32_t(at < size ? data[at++] : 0) << (8 * i);
    return v;
  }
};

void put(std::string &s, std::uint32_t v, int bytes) {
  for (int i = 0; i < bytes; i++)
    s.push_back(char(v >> (8 * i) & 0xFF));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  input in{data, size};
  // Up to 80 x 64 pixels: enough for 2560 runs, past one batch of 2000.
  const int w = 1 + int(in.next() % 80), h = 1 + int(in.next() % 64);
  const std::uint32_t flags = in.next();
  const int depths[] = {1, 4, 8, 24, 32};
  const int bpp = depths[flags % 5];
  const bool top_down = flags & 8, out_of_range = (flags & 0xF0) == 0xF0;
  const std::uint32_t transcolor = in.next(3) | (out_of_range ? 0x80000000u : 0);
  const BYTE tolerance = BYTE(in.next());
  const int entries = bpp <= 8 ? 1 + int(in.next() % (1u << bpp)) : 0;
  std::vector<std::uint32_t> table(std::size_t(entries), 0);
  for (auto &c : table)
    c = in.next(3);

  // The file, and the colour of each pixel as 0xRRGGBB, row 0 the top of the picture.
  std::size_t stride = (std::size_t(w) * bpp + 31) / 32 * 4;
  std::string pixels(stride * std::size_t(h), '\0');
  std::vector<std::uint32_t> colour(std::size_t(w) * h);
  for (int y = 0; y < h; y++) {
    std::size_t row = stride * std::size_t(top_down ? y : h - 1 - y);
    for (int x = 0; x < w; x++) {
      std::uint32_t c;
      if (bpp <= 8) {
        std::uint32_t index = in.next() & ((1u << bpp) - 1);
        std::size_t bit = std::size_t(x) * bpp;
        pixels[row + bit / 8] = char(pixels[row + bit / 8] | index << (8 - bpp - bit % 8));
        c = index < table.size() ? table[index] : 0; // past the table: black
      } else {
        c = in.next(3);
        for (int i = 0; i < 3; i++)
          pixels[row + std::size_t(x) * (bpp / 8) + i] = char(c >> (8 * i)); // blue first
      }
      colour[std::size_t(y) * w + x] = c;
    }
  }
  std::string file = "BM";
  std::uint32_t offset = 14 + 40 + 4 * std::uint32_t(entries);
  put(file, offset + std::uint32_t(pixels.size()), 4);
  put(file, 0, 4);
  put(file, offset, 4);
  put(file, 40, 4);
  put(file, std::uint32_t(w), 4);
  put(file, std::uint32_t(top_down ? -h : h), 4);
  put(file, 1, 2);
  put(file, std::uint32_t(bpp), 2);
  for (std::uint32_t v :
       {0u, std::uint32_t(pixels.size()), 2835u, 2835u, std::uint32_t(entries), 0u})
    put(file, v, 4);
  for (std::uint32_t c : table)
    put(file, c, 4);
  file += pixels;
  std::string path =
      fuzz::memory_file(reinterpret_cast<const std::uint8_t *>(file.data()), file.size());

  std::size_t objects = common::object_count();
  THANDLE region = 0;
  try {
    region = BITMAPTOREGION(path, transcolor, tolerance);
  } catch (const TRUNERRORSTOP &stop) {
    FUZZ_CHECK(out_of_range && stop.CODE == RE_RANGE_CHECK, "run-time error %d: %s", stop.CODE,
               stop.TEXT.c_str());
    FUZZ_CHECK(common::object_count() == objects, "a range error left objects behind");
    return 0;
  }
  FUZZ_CHECK(!out_of_range, "colour %08x taken", transcolor);
  FUZZ_CHECK(region != 0, "no region for a %d x %d x %d picture", w, h, bpp);
  FUZZ_CHECK(common::object_count() == objects + 1, "%zu objects left besides the region",
             common::object_count() - objects - 1);

  // The colour window runs upward from each channel of the colour, capped at 255.
  auto window = [&](std::uint32_t value, int shift) {
    int low = int(transcolor >> shift & 0xFF), v = int(value);
    return v >= low && v <= std::min(low + tolerance, 255);
  };
  for (int y = -1; y <= h; y++)
    for (int x = -1; x <= w; x++) {
      bool opaque = false;
      if (x >= 0 && y >= 0 && x < w && y < h) {
        std::uint32_t c = colour[std::size_t(y) * w + x];
        opaque = !(window(c >> 16 & 0xFF, 0) && window(c >> 8 & 0xFF, 8) && window(c & 0xFF, 16));
      }
      FUZZ_CHECK(bool(platform::PtInRegion(region, x, y)) == opaque,
                 "pixel (%d, %d) of %d x %d x %d, colour %06x, window %06x + %d", x, y, w, h, bpp,
                 x >= 0 && y >= 0 && x < w && y < h ? colour[std::size_t(y) * w + x] : 0,
                 transcolor, tolerance);
    }
  platform::DeleteObject(region);
  FUZZ_CHECK(common::object_count() == objects, "the region outlived DeleteObject");
  return 0;
}
