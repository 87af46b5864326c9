// The shade-ramp reader on any file: the ramp it reads, or the line on which it stops with
// run-time error 106, must be what a second reader, written apart from it, makes of the same
// bytes. Any other run-time error, crash or sanitizer report is a finding too.
#include <cerrno>
#include <cfloat>
#include <clocale>
#include <cmath>
#include <cstring>

#include "fuzz/fuzz_files.h"
#include "vantrel/image/shade_ramp.h"
#include "vantrel/runerror.h"

using namespace vantrel;

namespace {

// The file format, read the plain way: the bytes up to the first Ctrl-Z are the file.
struct reference {
  float ramp[32][3];
  bool stopped = false; // at a malformed number
  long line = 0;        // where
};

// Sign, digits with an optional point (a digit on at least one side), optional exponent.
bool is_number(const std::string &t) {
  std::size_t i = 0, n = t.size(), digits = 0;
  if (i < n && (t[i] == '+' || t[i] == '-')) i++;
  for (; i < n && std::isdigit(static_cast<unsigned char>(t[i])); i++)
    digits++;
  if (i < n && t[i] == '.')
    for (i++; i < n && std::isdigit(static_cast<unsigned char>(t[i])); i++)
      digits++;
  if (digits == 0) return false;
  if (i < n && (t[i] == 'e' || t[i] == 'E')) {
    i++;
    if (i < n && (t[i] == '+' || t[i] == '-')) i++;
    std::size_t start = i;
    while (i < n && std::isdigit(static_cast<unsigned char>(t[i])))
      i++;
    if (i == start) return false;
  }
  return i == n;
}

reference read_reference(const std::uint8_t *data, std::size_t size, float initial) {
  reference r;
  for (auto &e : r.ramp)
    e[0] = e[1] = e[2] = initial;
  const std::uint8_t *z = static_cast<const std::uint8_t *>(std::memchr(data, 26, size));
  std::size_t n = z ? std::size_t(z - data) : size, i = 0;
  long line = 1;
  auto take = [&] {
    // CR LF is one line break, a lone CR or LF one each.
    if (data[i] == '\n' || (data[i] == '\r' && !(i + 1 < n && data[i + 1] == '\n'))) line++;
    i++;
  };
  for (int entry = 0; entry < 32 && i < n; entry++) {
    while (i < n && data[i] <= 32)
      take();
    long token_line = line;
    std::string token;
    while (i < n && data[i] > 32)
      token += char(data[i++]);
    double v = 0;
    if (!token.empty()) {
      if (!is_number(token)) {
        r.stopped = true;
        r.line = token_line;
        return r;
      }
      v = std::strtod(token.c_str(), nullptr); // glibc rounds correctly at any length
      if (std::isinf(v)) v = v > 0 ? DBL_MAX : -DBL_MAX;
    }
    while (i < n && data[i] != '\n' && data[i] != '\r')
      take();
    if (i < n) {
      bool cr = data[i] == '\r';
      take();
      if (cr && i < n && data[i] == '\n') take();
    }
    float f = v > FLT_MAX ? FLT_MAX : v < -FLT_MAX ? -FLT_MAX : float(v);
    r.ramp[entry][0] = r.ramp[entry][1] = r.ramp[entry][2] = f;
  }
  return r;
}

bool same(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  std::setlocale(LC_ALL, "C");
  std::string path = fuzz::memory_file(data, size);
  // Entries that the file does not reach keep what they held.
  const float initial = 7.5f;
  SINGLE ramp[32][3];
  for (auto &e : ramp)
    e[0] = e[1] = e[2] = initial;
  reference want = read_reference(data, size, initial);
  std::string why;
  try {
    FUZZ_CHECK(READSHADERFILE(path, ramp, why), "not opened: %s", why.c_str());
  } catch (const TRUNERRORSTOP &stop) {
    FUZZ_CHECK(stop.CODE == RE_INVALID_NUMERIC, "run-time error %d: %s", stop.CODE,
               stop.TEXT.c_str());
    FUZZ_CHECK(want.stopped, "stopped where the file holds a number: %s", stop.TEXT.c_str());
    std::string where = path + ":" + std::to_string(want.line) + ": '";
    FUZZ_CHECK(stop.TEXT.find(where) != std::string::npos, "'%s' names no line %ld",
               stop.TEXT.c_str(), want.line);
    return 0;
  }
  FUZZ_CHECK(!want.stopped, "read a malformed number on line %ld", want.line);
  for (int k = 0; k < 32; k++)
    for (int c = 0; c < 3; c++)
      FUZZ_CHECK(same(ramp[k][c], want.ramp[k][c]), "entry %d is %.9g, the file says %.9g", k,
                 double(ramp[k][c]), double(want.ramp[k][c]));
  return 0;
}
