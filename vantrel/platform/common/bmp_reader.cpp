// BMP files as a DIB section would hold them. Every size and offset in the file is checked
// against the bytes actually present before it is used.
#include "vantrel/platform/common/bmp_reader.h"

#include <cstdio>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

namespace vantrel::common {

namespace {

// Limits that keep a hostile header from asking for absurd memory.
constexpr std::int64_t max_side = 32768;
constexpr std::int64_t max_pixels = std::int64_t(1) << 28;

std::uint32_t u16(const std::uint8_t *p) { return p[0] | p[1] << 8; }
std::uint32_t u32(const std::uint8_t *p) {
  return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
         std::uint32_t(p[3]) << 24;
}

// Expands a channel masked out of a 16- or 32-bit pixel to 8 bits.
struct channel {
  std::uint32_t mask = 0;
  int shift = 0, bits = 0;
  explicit channel(std::uint32_t m) : mask(m) {
    if (!m) return;
    while (!((m >> shift) & 1))
      shift++;
    // A mask reaching the top bit ends the run at bit 31; shifting by 32 would be undefined.
    while (shift + bits < 32 && ((m >> (shift + bits)) & 1))
      bits++;
  }
  std::uint8_t get(std::uint32_t px) const {
    if (!mask) return 0;
    // Only the lowest run of set bits counts, so a mask with gaps cannot give values past 8 bits.
    std::uint32_t run = bits >= 32 ? 0xFFFFFFFFu : (1u << bits) - 1;
    std::uint32_t v = (px >> shift) & run;
    if (bits >= 8) return std::uint8_t(v >> (bits - 8));
    std::uint32_t max = (1u << bits) - 1;
    return std::uint8_t((v * 255 + max / 2) / max);
  }
};

} // namespace

bool decode_bmp(const std::uint8_t *data, std::size_t size, dib_image &out, std::string &why) {
  if (size < 2 || data[0] != 'B' || data[1] != 'M') {
    why = "not a BMP file";
    return false;
  }
  if (size < 14 + 12) {
    why = "truncated header";
    return false;
  }
  std::uint32_t pixel_offset = u32(data + 10);
  std::uint32_t header_size = u32(data + 14);
  if (header_size != 12 && header_size != 40 && header_size != 52 && header_size != 56 &&
      header_size != 108 && header_size != 124) {
    why = "unknown BMP header size " + std::to_string(header_size);
    return false;
  }
  if (14 + std::size_t(header_size) > size) {
    why = "truncated header";
    return false;
  }
  const std::uint8_t *h = data + 14;
  std::int64_t width, height;
  std::uint32_t bpp, compression = 0, colors_used = 0;
  if (header_size == 12) { // OS/2 core header
    // The core header's sizes are unsigned 16-bit words; it has no top-down form.
    width = u16(h + 4);
    height = u16(h + 6);
    bpp = u16(h + 10);
  } else {
    width = std::int32_t(u32(h + 4));
    height = std::int32_t(u32(h + 8));
    bpp = u16(h + 14);
    compression = u32(h + 16);
    colors_used = u32(h + 32);
  }
  bool top_down = height < 0;
  if (top_down) height = -height;
  if (width <= 0 || height <= 0) {
    why = "width and height must be positive";
    return false;
  }
  if (width > max_side || height > max_side || width * height > max_pixels) {
    why = "image of " + std::to_string(width) + " x " + std::to_string(height) +
          " pixels is too large";
    return false;
  }

  // Channel masks: given by BI_BITFIELDS, or the defaults of 16 and 32 bits.
  std::uint32_t rmask = 0, gmask = 0, bmask = 0;
  if (bpp == 16) rmask = 0x7C00, gmask = 0x03E0, bmask = 0x001F;
  if (bpp == 32) rmask = 0xFF0000, gmask = 0x00FF00, bmask = 0x0000FF;
  std::size_t table_offset = 14 + header_size;
  if (compression == BI_BITFIELDS) {
    if (bpp != 16 && bpp != 32) {
      why = "bit fields on a " + std::to_string(bpp) + "-bit image";
      return false;
    }
    const std::uint8_t *m = h + 40;
    if (header_size == 40) { // the masks follow the header
      if (table_offset + 12 > size) {
        why = "truncated colour masks";
        return false;
      }
      m = data + table_offset;
      table_offset += 12;
    }
    rmask = u32(m), gmask = u32(m + 4), bmask = u32(m + 8);
  } else if (compression != BI_RGB) {
    why = "compressed BMP (method " + std::to_string(compression) + ") is not supported";
    return false;
  }
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) {
    why = std::to_string(bpp) + " bits per pixel is not supported";
    return false;
  }

  // Colour table of palette images.
  std::vector<TRGBQUAD> table;
  if (bpp <= 8) {
    std::size_t entries = colors_used ? colors_used : (1u << bpp);
    if (entries > 256) {
      why = "colour table of " + std::to_string(entries) + " entries";
      return false;
    }
    std::size_t entry_size = header_size == 12 ? 3 : 4;
    if (table_offset + entries * entry_size > size) {
      why = "truncated colour table";
      return false;
    }
    for (std::size_t i = 0; i < entries; i++) {
      const std::uint8_t *e = data + table_offset + i * entry_size;
      table.push_back(TRGBQUAD{e[0], e[1], e[2], 0});
    }
  }

  std::size_t src_stride = (std::size_t(width) * bpp + 31) / 32 * 4;
  std::size_t need = src_stride * std::size_t(height);
  if (pixel_offset > size || size - pixel_offset < need) {
    why = "pixel data truncated (" + std::to_string(size > pixel_offset ? size - pixel_offset : 0) +
          " of " + std::to_string(need) + " bytes)";
    return false;
  }

  out.width = LONGINT(width);
  out.height = LONGINT(height);
  out.file_bits = std::uint16_t(bpp);
  out.bpp = bpp <= 8 ? std::uint16_t(bpp) : 24;
  out.top_down = false;
  out.colors = table;
  std::size_t dst_stride = dib_stride(out.width, out.bpp);
  out.bits.assign(dst_stride * std::size_t(height), 0);
  channel cr(rmask), cg(gmask), cb(bmask);
  for (std::int64_t row = 0; row < height; row++) {
    // The DIB is bottom-up whatever the file's order.
    const std::uint8_t *src = data + pixel_offset + src_stride * std::size_t(row);
    std::int64_t dst_row = top_down ? height - 1 - row : row;
    std::uint8_t *dst = out.bits.data() + dst_stride * std::size_t(dst_row);
    if (bpp <= 8 || bpp == 24) {
      // Colour-table rows keep their indices, even those past the table (they read as black);
      // the row lengths of file and DIB agree at these depths.
      std::memcpy(dst, src, dst_stride);
      continue;
    }
    for (std::int64_t x = 0; x < width; x++, dst += 3) {
      std::uint32_t px = bpp == 16 ? u16(src + x * 2) : u32(src + x * 4);
      dst[0] = cb.get(px), dst[1] = cg.get(px), dst[2] = cr.get(px);
    }
  }
  return true;
}

bool read_bmp_file(const char *path, dib_image &out, std::string &why) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    why = std::string("cannot open file: ") + std::strerror(errno);
    return false;
  }
  in.seekg(0, std::ios::end);
  std::streamoff length = in.tellg();
  if (length < 0) {
    why = "cannot read file";
    return false;
  }
  if (length > (std::streamoff(1) << 30)) {
    why = "file larger than 1 GiB";
    return false;
  }
  in.seekg(0);
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(length));
  if (!in.read(reinterpret_cast<char *>(bytes.data()), length)) {
    why = "cannot read file";
    return false;
  }
  return decode_bmp(bytes.data(), bytes.size(), out, why);
}

} // namespace vantrel::common
