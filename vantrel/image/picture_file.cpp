#include "vantrel/image/picture_file.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>

#include "vantrel/platform/platform.h"

namespace vantrel {

BOOLEAN READPICTURESIZE(PCHAR NAME, LONGINT &W, LONGINT &H, ANSISTRING &WHY) {
  W = H = 0;
  std::FILE *file = platform::OpenRegularFile(NAME, nullptr, WHY);
  if (!file) return false;
  // The file header (14 bytes), then the info header's size and the picture's width and height:
  // 16-bit words in the 12-byte OS/2 header, 32-bit ones (height negative when top-down) in
  // every later one.
  std::uint8_t b[26] = {};
  std::size_t got = std::fread(b, 1, sizeof b, file);
  std::fclose(file);
  if (got < sizeof b || b[0] != 'B' || b[1] != 'M') return true;
  auto u16 = [&](int at) { return std::uint32_t(b[at] | b[at + 1] << 8); };
  auto u32 = [&](int at) { return u16(at) | u16(at + 2) << 16; };
  std::int64_t w, h;
  if (u32(14) == 12) {
    w = u16(18), h = u16(20);
  } else {
    w = std::int32_t(u32(18)), h = std::llabs(std::int32_t(u32(22)));
  }
  // A size that does not fit a LONGINT is as large as one can be; the loader refuses it anyway.
  W = LONGINT(std::min<std::int64_t>(w, INT32_MAX));
  H = LONGINT(std::min<std::int64_t>(h, INT32_MAX));
  return true;
}

} // namespace vantrel
