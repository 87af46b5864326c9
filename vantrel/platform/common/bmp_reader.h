// A BMP reader for backends without LoadImageA: it yields what a DIB section holds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "vantrel/platform/platform.h"

namespace vantrel::common {

// An allocator whose resize leaves new bytes as they come: pixel memory that a reader fills
// whole is not cleared first (assign(n, 0) still clears).
template <class T> struct uninitialized_allocator : std::allocator<T> {
  template <class U> struct rebind { using other = uninitialized_allocator<U>; };
  uninitialized_allocator() = default;
  template <class U> uninitialized_allocator(const uninitialized_allocator<U> &) {}
  template <class U> void construct(U *) noexcept {}
  template <class U, class... A> void construct(U *p, A &&...a) {
    ::new (static_cast<void *>(p)) U(std::forward<A>(a)...);
  }
};
using pixel_bytes = std::vector<std::uint8_t, uninitialized_allocator<std::uint8_t>>;

// Pixel memory as a DIB section holds it: rows bottom-up (unless top_down), each padded to 4
// bytes. 24 and 32 bits a pixel are blue-green-red(-unused); 1, 4 and 8 bits are indices into
// COLORS, the leftmost pixel in the highest bits of its byte.
struct dib_image {
  LONGINT width = 0, height = 0; // height is positive whatever the row order
  std::uint16_t bpp = 24;        // bits per pixel held: 1, 4, 8, 24 or 32
  bool top_down = false;         // the first row in BITS is the top of the picture
  pixel_bytes bits;
  std::vector<TRGBQUAD> colors; // the colour table (1-, 4- and 8-bit pictures), in file order
  std::uint16_t file_bits = 0;  // bits per pixel as stored in the file
};

// Bytes per row of a DIB: whole 32-bit words.
inline std::size_t dib_stride(LONGINT width, unsigned bpp = 24) {
  return (std::size_t(width) * bpp + 31) / 32 * 4;
}

// Decodes a whole BMP file held in memory: 1-, 4-, 8- and 24-bit files keep their depth, 16-
// and 32-bit ones become 24-bit; rows end up bottom-up. On failure returns false and says why.
bool decode_bmp(const std::uint8_t *data, std::size_t size, dib_image &out, std::string &why);

// Reads and decodes the named file, which must be a regular file: a FIFO or a directory is
// refused without waiting. The header is read and checked first, so a file refused for its
// size or layout costs no more than its header; the pixels are then read once.
bool read_bmp_file(const char *path, dib_image &out, std::string &why);

} // namespace vantrel::common
