// A BMP reader for backends without LoadImageA: it yields what a DIB section holds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "vantrel/platform/platform.h"

namespace vantrel::common {

// Pixel memory as a 24-bit DIB holds it: rows bottom-up, each padded to 4 bytes, blue-green-red.
struct dib_image {
  LONGINT width = 0, height = 0;
  std::vector<std::uint8_t> bits;
  std::vector<TRGBQUAD> colors; // the file's colour table (1-, 4- and 8-bit files), in file order
  std::uint16_t file_bits = 0;  // bits per pixel as stored in the file
};

inline std::size_t dib_stride(LONGINT width) { return (std::size_t(width) * 3 + 3) / 4 * 4; }

// Decodes a whole BMP file held in memory. On failure returns false and says why.
bool decode_bmp(const std::uint8_t *data, std::size_t size, dib_image &out, std::string &why);

// Reads and decodes the named file.
bool read_bmp_file(const char *path, dib_image &out, std::string &why);

} // namespace vantrel::common
