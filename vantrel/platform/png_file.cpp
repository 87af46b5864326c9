// PNG files written with libpng, a row at a time, at zlib's default level; a build without
// libpng (the mingw cross build has none) writes them with the small encoder below instead.
#include "vantrel/platform/png_file.h"

#include <cerrno>
#include <cstring>
#include <new>
#include <vector>

#ifdef _WIN32
#include <filesystem>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "vantrel/gl.h"

#ifdef VANTREL_HAVE_LIBPNG
#include <csetjmp>
#include <png.h>
#endif

namespace vantrel::png {

std::FILE *create_regular_file(const char *name, std::string &why) {
  if (!name || !*name) {
    why = "no file name";
    return nullptr;
  }
#ifdef _WIN32
  // Windows has no FIFO in its file system; a device or a pipe's name is no regular file.
  std::error_code error;
  auto status = std::filesystem::status(name, error);
  if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
    why = std::filesystem::is_directory(status) ? "is a directory" : "not a regular file";
    return nullptr;
  }
  std::FILE *file = std::fopen(name, "wb");
  if (!file) why = std::strerror(errno);
  return file;
#else
  // Opened without waiting and without emptying: a FIFO without a reader fails at once, one
  // with a reader is refused below, and only a regular file is emptied.
  int fd = open(name, O_WRONLY | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
  if (fd < 0) {
    why = errno == ENXIO    ? "not a regular file"
          : errno == EISDIR ? "is a directory"
                            : std::strerror(errno);
    return nullptr;
  }
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    why = S_ISDIR(st.st_mode) ? "is a directory" : "not a regular file";
    close(fd);
    return nullptr;
  }
  std::FILE *file = nullptr;
  if (ftruncate(fd, 0) == 0 && fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) == 0)
    file = fdopen(fd, "wb");
  if (!file) {
    why = std::strerror(errno);
    close(fd);
  }
  return file;
#endif
}

namespace {

#ifdef VANTREL_HAVE_LIBPNG

struct png_output {
  std::FILE *file = nullptr;
  bool failed = false;
  std::string why;
};

void on_error(png_structp png, png_const_charp message) {
  auto *out = static_cast<png_output *>(png_get_error_ptr(png));
  if (out->why.empty()) out->why = message;
  png_longjmp(png, 1);
}

void on_warning(png_structp, png_const_charp) {}

void on_write(png_structp png, png_bytep data, png_size_t size) {
  auto *out = static_cast<png_output *>(png_get_io_ptr(png));
  if (std::fwrite(data, 1, size, out->file) != size) {
    out->why = std::string("writing the file failed: ") + std::strerror(errno);
    png_error(png, "write failed");
  }
}

void on_flush(png_structp png) {
  std::fflush(static_cast<png_output *>(png_get_io_ptr(png))->file);
}

// The libpng calls alone, so that nothing with a destructor lies between setjmp and a longjmp
// back to it.
bool encode(png_output &out, png_uint_32 w, png_uint_32 h,
            const std::function<void(LONGINT, std::uint8_t *)> &row, std::uint8_t *buffer) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &out, on_error, on_warning);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!png || !info) {
    png_destroy_write_struct(&png, nullptr);
    out.why = "not enough memory";
    return false;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_set_write_fn(png, &out, on_write, on_flush);
  png_set_IHDR(png, info, w, h, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  // Each row as the difference from the row above: flat areas, most of a rendered frame, become
  // runs of zeros. Trying every filter on every row (libpng's default) saves little on such
  // pictures and takes twice as long.
  png_set_filter(png, 0, PNG_FILTER_UP);
  png_write_info(png, info);
  for (png_uint_32 y = 0; y < h; y++) {
    row(LONGINT(y), buffer);
    png_write_row(png, buffer);
  }
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return true;
}

#else

// ---- Without libpng: one deflate block with the fixed Huffman codes, runs sent as repeats ----

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

std::uint32_t crc32(const std::uint8_t *p, std::size_t n, std::uint32_t crc = 0xFFFFFFFFu) {
  static const auto table = [] {
    std::vector<std::uint32_t> t(256);
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
std::vector<std::uint8_t> filtered_rows(LONGINT w, LONGINT h,
                                        const std::function<void(LONGINT, std::uint8_t *)> &row) {
  const std::size_t stride = std::size_t(w) * 3;
  std::vector<std::uint8_t> out, current(stride), previous(stride), candidate[3];
  out.reserve((stride + 1) * std::size_t(h));
  for (LONGINT y = 0; y < h; y++) {
    row(y, current.data());
    std::size_t best = 0, best_cost = SIZE_MAX;
    for (std::size_t f = 0; f < 3; f++) {
      candidate[f].resize(stride);
      std::size_t cost = 0;
      for (std::size_t x = 0; x < stride; x++) {
        std::uint8_t predictor = f == 1 ? (x >= 3 ? current[x - 3] : 0)
                                 : f == 2 && y > 0 ? previous[x]
                                                   : 0;
        std::uint8_t v = std::uint8_t(current[x] - predictor);
        candidate[f][x] = v;
        cost += v < 128 ? v : 256 - v;
      }
      if (cost < best_cost) best = f, best_cost = cost;
    }
    out.push_back(std::uint8_t(best));
    out.insert(out.end(), candidate[best].begin(), candidate[best].end());
    std::swap(current, previous);
  }
  return out;
}

#endif

} // namespace

bool write_rgb(const char *name, LONGINT w, LONGINT h,
               const std::function<void(LONGINT y, std::uint8_t *out)> &row, std::string &why) {
  if (w < 1 || h < 1 || w > max_side || h > max_side) {
    why = std::to_string(w) + " x " + std::to_string(h) + " pixels is not a size it can have";
    return false;
  }
  std::FILE *file = create_regular_file(name, why);
  if (!file) return false;
#ifdef VANTREL_HAVE_LIBPNG
  std::vector<std::uint8_t> buffer(std::size_t(w) * 3);
  png_output out;
  out.file = file;
  bool ok = encode(out, png_uint_32(w), png_uint_32(h), row, buffer.data());
  why = out.why;
#else
  std::vector<std::uint8_t> data = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<std::uint8_t> header;
  put32(header, std::uint32_t(w));
  put32(header, std::uint32_t(h));
  header.insert(header.end(), {8, 2, 0, 0, 0}); // 8 bits, RGB, deflate, filtered, not interlaced
  chunk(data, "IHDR", header);
  chunk(data, "IDAT", zlib_stream(filtered_rows(w, h, row)));
  chunk(data, "IEND", {});
  bool ok = std::fwrite(data.data(), 1, data.size(), file) == data.size();
  if (!ok) why = std::string("writing the file failed: ") + std::strerror(errno);
#endif
  if (std::fclose(file) != 0 && ok) {
    why = std::string("writing the file failed: ") + std::strerror(errno);
    ok = false;
  }
  if (!ok && why.empty()) why = "writing the file failed";
  return ok;
}

bool write_gl_frame(const char *name, LONGINT w, LONGINT h, std::string &why) {
  if (w < 1 || h < 1 || w > max_side || h > max_side)
    return write_rgb(name, w, h, nullptr, why); // refused for its size
  std::vector<std::uint8_t> rgb;
  try {
    rgb.resize(std::size_t(w) * std::size_t(h) * 3);
  } catch (const std::bad_alloc &) {
    why = "not enough memory for " + std::to_string(w) + " x " + std::to_string(h) + " pixels";
    return false;
  }
  GLint alignment = 4;
  glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, w, h, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
  glPixelStorei(GL_PACK_ALIGNMENT, alignment);
  const std::size_t stride = std::size_t(w) * 3;
  // OpenGL's rows run from the bottom up.
  return write_rgb(
      name, w, h,
      [&](LONGINT y, std::uint8_t *out) {
        std::memcpy(out, rgb.data() + std::size_t(h - 1 - y) * stride, stride);
      },
      why);
}

} // namespace vantrel::png
