// The BMP file paths of the palette bitmaps and picture buttons: the file reader, which reads
// the header first and the pixels row by row, must agree with the decoder of bytes in memory
// on every input, and so must the size the framework reads ahead of a load; LOADBMPFROMFILE
// must give the picture with its palette, or 0 with one warning, and leave nothing behind.
#include "fuzz/fuzz_files.h"
#include "vantrel/image/palette_bitmap.h"
#include "vantrel/image/picture_file.h"
#include "vantrel/platform/common/bmp_reader.h"
#include "vantrel/platform/common/gdi_objects.h"
#include "vantrel/runerror.h"

using namespace vantrel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  std::string path = fuzz::memory_file(data, size);
  common::dib_image memory, file;
  std::string memory_why, file_why;
  bool decoded = common::decode_bmp(data, size, memory, memory_why);
  bool read = common::read_bmp_file(path.c_str(), file, file_why);
  FUZZ_CHECK(decoded == read, "in memory: %s; from the file: %s", memory_why.c_str(),
             file_why.c_str());
  if (!decoded) {
    FUZZ_CHECK(memory_why == file_why, "'%s' against '%s'", memory_why.c_str(), file_why.c_str());
  } else {
    FUZZ_CHECK(memory.width == file.width && memory.height == file.height &&
                   memory.bpp == file.bpp && memory.file_bits == file.file_bits &&
                   memory.top_down == file.top_down && memory.bits == file.bits &&
                   memory.colors.size() == file.colors.size(),
               "the file gives another picture");
    for (std::size_t i = 0; i < memory.colors.size(); i++)
      FUZZ_CHECK(memory.colors[i].rgbRed == file.colors[i].rgbRed &&
                     memory.colors[i].rgbGreen == file.colors[i].rgbGreen &&
                     memory.colors[i].rgbBlue == file.colors[i].rgbBlue,
                 "colour %zu", i);
  }

  LONGINT w = -1, h = -1;
  std::string why;
  FUZZ_CHECK(READPICTURESIZE(path.c_str(), w, h, why), "a regular file refused: %s", why.c_str());
  if (decoded)
    FUZZ_CHECK(w == memory.width && h == memory.height, "size read ahead %d x %d, picture %d x %d",
               w, h, memory.width, memory.height);

  std::size_t objects = common::object_count();
  FUZZWARNINGS.clear();
  THANDLE pal = 0x5EED;
  THANDLE bmp = LOADBMPFROMFILE(path, pal);
  bool fits = decoded && memory.width <= 16384 && memory.height <= 16384 &&
              std::int64_t(memory.width) * memory.height <= (std::int64_t(1) << 26);
  if (!fits) {
    FUZZ_CHECK(bmp == 0 && pal == 0x5EED, "a refused picture gave objects");
    FUZZ_CHECK(FUZZWARNINGS.size() == 1 && FUZZWARNINGS[0].find(path) != std::string::npos,
               "%zu warnings for a refused picture", FUZZWARNINGS.size());
    FUZZ_CHECK(common::object_count() == objects, "a refusal left objects behind");
    return 0;
  }
  FUZZ_CHECK(bmp != 0 && pal != 0x5EED && FUZZWARNINGS.empty(), "a good picture was refused");
  FUZZ_CHECK(common::object_count() == objects + 2, "not one bitmap and one palette");
  TBITMAP bm;
  FUZZ_CHECK(platform::GetObjectA(bmp, sizeof bm, &bm) == LONGINT(sizeof bm), "no bitmap");
  FUZZ_CHECK(bm.bmWidth == memory.width && bm.bmHeight == memory.height &&
                 bm.bmBitsPixel == memory.bpp,
             "bitmap %d x %d x %d", bm.bmWidth, bm.bmHeight, bm.bmBitsPixel);
  TPALETTEENTRY entries[256];
  FUZZ_CHECK(platform::GetPaletteEntries(pal, 0, 256, entries) == 256, "not 256 entries");
  if (memory.bpp <= 8)
    for (std::size_t i = 0; i < 256; i++) {
      TRGBQUAD c = i < memory.colors.size() ? memory.colors[i] : TRGBQUAD{};
      FUZZ_CHECK(entries[i].peRed == c.rgbRed && entries[i].peGreen == c.rgbGreen &&
                     entries[i].peBlue == c.rgbBlue && entries[i].peFlags == 0,
                 "palette entry %zu", i);
    }
  platform::DeleteObject(bmp);
  platform::DeleteObject(pal);
  FUZZ_CHECK(common::object_count() == objects, "objects left behind");
  return 0;
}
