// BMP files as a DIB section would hold them. The header decides everything before a pixel is
// read: every size and offset in it is checked against the bytes the file actually holds, and
// the pixels are then read once, row by row, straight into the picture (converted on the way
// where the file's depth is not the picture's).
#include "vantrel/platform/common/bmp_reader.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>

namespace vantrel::common {

namespace {

// Limits that keep a hostile header from asking for absurd memory.
constexpr std::int64_t max_side = 32768;
constexpr std::int64_t max_pixels = std::int64_t(1) << 28;

// The most a header can need before the pixels: the file header, the largest info header and
// a full colour table (bit-field masks after a 40-byte header come only with 16 and 32 bits a
// pixel, which have no table).
constexpr std::size_t max_head = 14 + 124 + 256 * 4;

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

// What the header says: enough to read the pixels.
struct bmp_header {
  std::int64_t width = 0, height = 0;
  bool top_down = false;
  std::uint32_t bpp = 0;
  std::uint32_t rmask = 0, gmask = 0, bmask = 0;
  std::vector<TRGBQUAD> table;
  std::uint64_t pixel_offset = 0;
  std::size_t src_stride = 0;
};

// Reads the header from DATA, the first SIZE = min(FILE_SIZE, max_head) bytes of a file of
// FILE_SIZE bytes, and checks that the pixels it announces lie inside the file.
bool parse_header(const std::uint8_t *data, std::size_t size, std::uint64_t file_size,
                  bmp_header &out, std::string &why) {
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
  std::uint64_t need = std::uint64_t(src_stride) * std::uint64_t(height);
  // The pixels start after the headers (and the masks that follow a 40-byte one); an offset
  // inside them would take header bytes for pixels.
  const std::size_t headers =
      14 + header_size + (compression == BI_BITFIELDS && header_size == 40 ? 12 : 0);
  if (pixel_offset < headers) {
    why = "pixel data at byte " + std::to_string(pixel_offset) + " lies inside the headers (" +
          std::to_string(headers) + " bytes)";
    return false;
  }
  if (pixel_offset > file_size || file_size - pixel_offset < need) {
    why = "pixel data truncated (" +
          std::to_string(file_size > pixel_offset ? file_size - pixel_offset : 0) + " of " +
          std::to_string(need) + " bytes)";
    return false;
  }
  out.width = width, out.height = height, out.top_down = top_down, out.bpp = bpp;
  out.rmask = rmask, out.gmask = gmask, out.bmask = bmask;
  out.table = std::move(table);
  out.pixel_offset = pixel_offset;
  out.src_stride = src_stride;
  return true;
}

// The byte of a 32-bit pixel that MASK takes whole (0xFF at a byte boundary), or -1.
int whole_byte(std::uint32_t mask) {
  for (int k = 0; k < 4; k++)
    if (mask == 0xFFu << (8 * k)) return k;
  return -1;
}

// Converts one 16- or 32-bit row of WIDTH pixels at SRC to 24 bits at DST.
void convert_row(const bmp_header &h, const channel &cr, const channel &cg, const channel &cb,
                 const std::uint8_t *src, std::uint8_t *dst) {
  const int rb = whole_byte(h.rmask), gb = whole_byte(h.gmask), bb = whole_byte(h.bmask);
  if (h.bpp == 32 && bb == 0 && gb == 1 && rb == 2 && h.width > 0) {
    // Blue, green and red already in order: four bytes a store, the fourth overwritten by the
    // next pixel, and the last pixel's three alone.
    for (std::int64_t x = 0; x + 1 < h.width; x++, src += 4, dst += 3)
      std::memcpy(dst, src, 4);
    dst[0] = src[0], dst[1] = src[1], dst[2] = src[2];
    return;
  }
  if (h.bpp == 32 && rb >= 0 && gb >= 0 && bb >= 0) {
    // Channels of whole bytes (the usual layout): bytes picked, nothing computed.
    for (std::int64_t x = 0; x < h.width; x++, src += 4, dst += 3)
      dst[0] = src[bb], dst[1] = src[gb], dst[2] = src[rb];
    return;
  }
  for (std::int64_t x = 0; x < h.width; x++, dst += 3) {
    std::uint32_t px = h.bpp == 16 ? u16(src + x * 2) : u32(src + x * 4);
    dst[0] = cb.get(px), dst[1] = cg.get(px), dst[2] = cr.get(px);
  }
}

// Fills OUT from the pixel rows that READ(destination, bytes) hands over in file order. Rows of
// 1, 4, 8 and 24 bits go straight to their place in the picture, a bottom-up file's all in one
// read; 16- and 32-bit rows pass through a block of rows of about a megabyte and are converted
// to 24 bits. The picture's memory is not cleared first: every byte of it is written.
template <class READ>
bool read_pixels(const bmp_header &h, dib_image &out, READ read, std::string &why) {
  out.width = LONGINT(h.width);
  out.height = LONGINT(h.height);
  out.file_bits = std::uint16_t(h.bpp);
  out.bpp = h.bpp <= 8 ? std::uint16_t(h.bpp) : 24;
  out.top_down = false;
  out.colors = h.table;
  const std::size_t dst_stride = dib_stride(out.width, out.bpp);
  const bool convert = h.bpp == 16 || h.bpp == 32;
  const std::size_t block_rows =
      convert ? std::max<std::size_t>(1, (std::size_t(1) << 20) / h.src_stride) : 0;
  std::vector<std::uint8_t> block;
  try {
    out.bits.resize(dst_stride * std::size_t(h.height));
    block.resize(block_rows * h.src_stride);
  } catch (const std::bad_alloc &) {
    out.bits = {};
    why = "not enough memory for " + std::to_string(h.width) + " x " + std::to_string(h.height) +
          " pixels";
    return false;
  }
  auto dst_row = [&](std::int64_t r) {
    // The DIB is bottom-up whatever the file's order.
    return out.bits.data() + dst_stride * std::size_t(h.top_down ? h.height - 1 - r : r);
  };
  if (!convert) {
    // Colour-table rows keep their indices, even those past the table (they read as black);
    // the row lengths of file and DIB agree at these depths.
    if (!h.top_down) return read(out.bits.data(), out.bits.size()), true;
    for (std::int64_t r = 0; r < h.height; r++)
      if (!read(dst_row(r), dst_stride)) break;
    return true;
  }
  channel cr(h.rmask), cg(h.gmask), cb(h.bmask);
  for (std::int64_t r = 0; r < h.height;) {
    const std::int64_t rows = std::min<std::int64_t>(std::int64_t(block_rows), h.height - r);
    if (!read(block.data(), std::size_t(rows) * h.src_stride)) break;
    for (std::int64_t k = 0; k < rows; k++, r++) {
      std::uint8_t *dst = dst_row(r);
      convert_row(h, cr, cg, cb, block.data() + std::size_t(k) * h.src_stride, dst);
      // The filler at the end of a 24-bit row.
      std::fill(dst + std::size_t(h.width) * 3, dst + dst_stride, std::uint8_t(0));
    }
  }
  return true;
}

// Moves FILE to byte OFFSET; a plain fseek takes a 32-bit offset on Windows.
bool seek(std::FILE *file, std::uint64_t offset) {
#ifdef _WIN32
  return _fseeki64(file, std::int64_t(offset), SEEK_SET) == 0;
#else
  return fseeko(file, off_t(offset), SEEK_SET) == 0;
#endif
}

} // namespace

bool decode_bmp(const std::uint8_t *data, std::size_t size, dib_image &out, std::string &why) {
  bmp_header h;
  if (!parse_header(data, std::min(size, max_head), size, h, why)) return false;
  const std::uint8_t *next = data + h.pixel_offset;
  return read_pixels(
      h, out,
      [&](std::uint8_t *to, std::size_t n) {
        std::memcpy(to, next, n);
        next += n;
        return true;
      },
      why);
}

bool read_bmp_file(const char *path, dib_image &out, std::string &why) {
  std::int64_t size = 0;
  std::FILE *file = platform::OpenRegularFile(path, &size, why);
  if (!file) return false;
  std::vector<std::uint8_t> head(std::size_t(std::min<std::int64_t>(size, max_head)));
  bmp_header h;
  bool ok = std::fread(head.data(), 1, head.size(), file) == head.size();
  if (!ok)
    why = "cannot read file";
  else
    ok = parse_header(head.data(), head.size(), std::uint64_t(size), h, why);
  if (ok && !seek(file, h.pixel_offset)) {
    why = "cannot read file";
    ok = false;
  }
  if (ok) {
    // The file may shrink after it was measured; a row that is not all there fails the load.
    bool complete = true;
    ok = read_pixels(
        h, out,
        [&](std::uint8_t *to, std::size_t n) {
          complete = std::fread(to, 1, n, file) == n;
          return complete;
        },
        why);
    if (ok && !complete) {
      why = "cannot read file: " +
            std::string(std::ferror(file) ? std::strerror(errno) : "it ends before its pixels");
      out.bits = {};
      ok = false;
    }
  }
  std::fclose(file);
  return ok;
}

} // namespace vantrel::common
