#include "vantrel/image/text_file.h"

#include <algorithm>
#include <cerrno>
#include <cfloat>
#include <charconv>
#include <cstdint>
#include <cstring>

#include "vantrel/platform/platform.h"
#include "vantrel/runerror.h"

namespace vantrel {

namespace {

// The result LOADFILE left for IORESULT, and its reason in words.
LONGINT pending_io_result = 0;
// Whether the last READREAL found a token, or reached the end first.
bool number_found = false;
ANSISTRING pending_io_reason;

// The file is read a block at a time: a file of a gigabyte of white space is skipped in a
// second, not a character per call.
constexpr std::size_t block_size = 64 * 1024;

constexpr int end_of_file = -1;
constexpr unsigned char ctrl_z = 26;

// Tokens are shown in messages up to this many characters.
constexpr std::size_t shown_length = 255;
// Significant digits kept of a longer number: 768 decide the rounding of any REAL, and whether
// any later digit is not 0 settles the rest.
constexpr std::size_t kept_digits = 800;
constexpr std::int64_t max_exponent = 1000000000000000000;

// Reads the next block into FILEIN's buffer; false at the end of the file. A failing read stops
// the program, naming the line it was reading; after a host's error hook the file ends there.
bool fill() {
  if (FILEIN.ATEND || !FILEIN.HANDLE) return false;
  std::size_t n = std::fread(FILEIN.BUFFER.data(), 1, FILEIN.BUFFER.size(), FILEIN.HANDLE);
  if (n == 0 && std::ferror(FILEIN.HANDLE))
    RUNERROR(RE_READ_ERROR, FILEIN.NAME + ":" + std::to_string(FILEIN.LINE) + ": read error");
  FILEIN.POS = 0;
  FILEIN.END = n;
  FILEIN.ATEND = n == 0;
  return n > 0;
}

// The next character of FILEIN without taking it; end_of_file at the end or at a Ctrl-Z, which
// stays the end from then on.
int peek() {
  if (FILEIN.POS == FILEIN.END && !fill()) return end_of_file;
  auto c = static_cast<unsigned char>(FILEIN.BUFFER[FILEIN.POS]);
  if (c == ctrl_z) {
    FILEIN.ATEND = true;
    FILEIN.POS = FILEIN.END = 0;
    return end_of_file;
  }
  return c;
}

// Takes character C, the one peek showed, counting lines: a LF or a CR ends a line, and a LF
// right after a CR belongs to the same line break.
void take(unsigned char c) {
  FILEIN.POS++;
  if ((c == '\r' || (c == '\n' && !FILEIN.AFTERCR)) && FILEIN.LINE < INT32_MAX) FILEIN.LINE++;
  FILEIN.AFTERCR = c == '\r';
}

// Whether any of the eight bytes of X ends a run of plain blanks: a byte above 32, a LF, a CR
// or a Ctrl-Z. Eight bytes a step keep a gigabyte of white space to a fraction of a second.
bool ends_blank_run(std::uint64_t x) {
  constexpr std::uint64_t ones = 0x0101010101010101u, high = 0x8080808080808080u;
  // A byte is zero in V when (V - 1) borrows into its top bit and the byte's own top bit is 0.
  auto has_zero_byte = [&](std::uint64_t v) { return ((v - ones) & ~v & high) != 0; };
  // Adding 0x5F sets the top bit of every byte above 32; one of 0x80 or more has it already.
  // Only such a byte can carry into the next, so the test is exact where it says no.
  bool above_32 = (((x + ones * 0x5F) | x) & high) != 0;
  return above_32 || has_zero_byte(x ^ (ones * '\n')) || has_zero_byte(x ^ (ones * '\r')) ||
         has_zero_byte(x ^ (ones * ctrl_z));
}

// False, after run-time error 103, when no file is open; WHERE is the public call.
bool require_open(TSOURCELOCATION where = TSOURCELOCATION::current()) {
  if (FILEIN.HANDLE) return true;
  RUNERROR(RE_FILE_NOT_OPEN, FUNCTIONNAME(where) + ": no file is open", where);
  return false;
}

// A token read as a number one character at a time, so that its length costs no memory: the
// form is checked as it goes (optional sign, digits with an optional fraction after a point,
// optional exponent), and only the first significant digits are kept.
struct number_token {
  enum { START, SIGN, INT, POINT, FRAC, EXP_MARK, EXP_SIGN, EXP, BAD } state = START;
  bool negative = false, negative_exponent = false, dropped_nonzero = false;
  std::string digits;     // significant digits, no leading zeros, at most kept_digits
  std::int64_t scale = 0; // the mantissa is DIGITS x 10^SCALE
  // As written, held at 10^18: past any REAL whatever the mantissa's own scale, which a token
  // could only push that far with more characters than any file holds.
  std::int64_t exponent = 0;
  std::string shown; // the first shown_length characters
  std::uint64_t length = 0;

  void mantissa(char c, bool fraction) {
    if (fraction) scale--;
    if (digits.empty() && c == '0') return;
    if (digits.size() < kept_digits) {
      digits += c;
    } else {
      scale++;
      dropped_nonzero = dropped_nonzero || c != '0';
    }
  }

  void add(char c) {
    if (shown.size() < shown_length) shown += c;
    length++;
    bool digit = c >= '0' && c <= '9';
    switch (state) {
    case START:
      if (c == '+' || c == '-') {
        negative = c == '-';
        state = SIGN;
        return;
      }
      [[fallthrough]];
    case SIGN:
      if (digit) mantissa(c, false);
      state = digit ? INT : c == '.' ? POINT : BAD;
      return;
    case INT:
      if (digit) mantissa(c, false);
      state = digit ? INT : c == '.' ? FRAC : c == 'e' || c == 'E' ? EXP_MARK : BAD;
      return;
    case POINT: // a point with no digit before it needs one after it
      if (digit) mantissa(c, true);
      state = digit ? FRAC : BAD;
      return;
    case FRAC:
      if (digit) mantissa(c, true);
      state = digit ? FRAC : c == 'e' || c == 'E' ? EXP_MARK : BAD;
      return;
    case EXP_MARK:
      if (c == '+' || c == '-') {
        negative_exponent = c == '-';
        state = EXP_SIGN;
        return;
      }
      [[fallthrough]];
    case EXP_SIGN:
    case EXP:
      if (digit)
        exponent = exponent >= max_exponent / 10 ? max_exponent : exponent * 10 + (c - '0');
      state = digit ? EXP : BAD;
      return;
    case BAD:
      return;
    }
  }

  bool complete() const { return state == INT || state == FRAC || state == EXP; }

  // The REAL nearest to the number: 0 where it is too small for one, the largest REAL where it
  // is too large.
  REAL value() const {
    if (digits.empty()) return negative ? -0.0 : 0.0;
    std::int64_t power = scale + (negative_exponent ? -exponent : exponent);
    std::string text = digits;
    // A digit 1 past the kept ones stands for the non-zero digits dropped: it puts the number
    // on the same side of every rounding boundary as they do.
    if (dropped_nonzero) text += '1', power--;
    // Beyond these any mantissa of at most kept_digits + 1 digits is out of range either way.
    power = std::max<std::int64_t>(std::min<std::int64_t>(power, 2000000), -2000000);
    text += 'e' + std::to_string(power);
    REAL v = 0;
    auto [end, err] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (err == std::errc::result_out_of_range)
      v = power + std::int64_t(text.size()) > 0 ? DBL_MAX : 0.0;
    return negative ? -v : v;
  }
};

} // namespace

void LOADFILE(const ANSISTRING &FILENAME) {
  if (FILEIN.HANDLE) std::fclose(FILEIN.HANDLE);
  FILEIN = TTEXTFILE{};
  FILEIN.NAME = FILENAME.substr(0, 255);
  // A FIFO or directory is refused here, before anything could wait on it.
  std::FILE *f = platform::OpenRegularFile(FILEIN.NAME.c_str(), nullptr, pending_io_reason);
  if (!f) {
    pending_io_result = IOCODEOF(platform::GetLastError());
    return;
  }
  FILEIN.HANDLE = f;
  FILEIN.BUFFER.resize(block_size);
  pending_io_result = 0;
  pending_io_reason.clear();
}

void ENDFILE() {
  if (!require_open()) return;
  std::FILE *f = FILEIN.HANDLE;
  FILEIN.HANDLE = nullptr;
  FILEIN.BUFFER = {};
  FILEIN.POS = FILEIN.END = 0;
  if (std::fclose(f) != 0) {
    int err = errno;
    RUNERROR(RE_READ_ERROR, FILEIN.NAME + ": cannot close: " + std::strerror(err));
  }
}

LONGINT IORESULT() {
  LONGINT code = pending_io_result;
  pending_io_result = 0;
  return code;
}

ANSISTRING LOADFILEREASON() { return pending_io_reason; }

BOOLEAN NUMBERFOUND() { return number_found; }

ANSISTRING IORESULTTEXT(LONGINT CODE) {
  switch (CODE) {
  case 0:
    return "no error";
  case 2:
    return "file not found";
  case 3:
    return "path not found";
  case 4:
    return "too many open files";
  case 5:
    return "access denied";
  case 100:
    return "disk read error";
  default:
    return "I/O error " + std::to_string(CODE);
  }
}

BOOLEAN TEXTEOF() {
  if (!require_open()) return true;
  return peek() == end_of_file;
}

REAL READREAL() {
  if (!require_open()) return 0;
  // White space, a block at a time; a Ctrl-Z stops the scan and peek makes it the end.
  for (;;) {
    if (FILEIN.POS == FILEIN.END && !fill()) break;
    const auto *buffer = reinterpret_cast<const unsigned char *>(FILEIN.BUFFER.data());
    std::size_t pos = FILEIN.POS, end = FILEIN.END;
    while (pos < end) {
      // Runs of blanks and control characters that end no line go by in a tight loop.
      std::size_t run = pos;
      for (std::uint64_t x; pos + 8 <= end; pos += 8) {
        std::memcpy(&x, buffer + pos, 8);
        if (ends_blank_run(x)) break;
      }
      while (pos < end && buffer[pos] <= 32 && buffer[pos] != '\n' && buffer[pos] != '\r' &&
             buffer[pos] != ctrl_z)
        pos++;
      if (pos > run) FILEIN.AFTERCR = false;
      if (pos == end || buffer[pos] > 32 || buffer[pos] == ctrl_z) break;
      FILEIN.POS = pos;
      take(buffer[pos]);
      pos = FILEIN.POS;
    }
    FILEIN.POS = pos;
    if (pos < end) break;
  }
  LONGINT line = FILEIN.LINE;
  number_token token;
  number_found = false;
  // The token: everything up to the next character of code 32 or below, which holds no line
  // break and no Ctrl-Z.
  for (;;) {
    if (FILEIN.POS == FILEIN.END && !fill()) break;
    const auto *buffer = reinterpret_cast<const unsigned char *>(FILEIN.BUFFER.data());
    std::size_t pos = FILEIN.POS, end = FILEIN.END;
    while (pos < end && buffer[pos] > 32)
      token.add(char(buffer[pos++]));
    if (pos > FILEIN.POS) FILEIN.AFTERCR = false;
    FILEIN.POS = pos;
    if (pos < end) break;
  }
  if (token.length == 0) return 0;
  number_found = true;
  if (!token.complete()) {
    RUNERROR(RE_INVALID_NUMERIC, FILEIN.NAME + ":" + std::to_string(line) + ": '" + token.shown +
                                     (token.length > token.shown.size() ? "..." : "") +
                                     "' is not a number");
    // Only a host's error hook returns here: the caller learns it from IORESULT.
    pending_io_result = RE_INVALID_NUMERIC;
    return 0;
  }
  return token.value();
}

void READLN() {
  if (!require_open()) return;
  for (int c; (c = peek()) != end_of_file;) {
    if (c != '\n' && c != '\r') {
      // Up to the next line break or Ctrl-Z in this block, none of them ending a line.
      const char *buffer = FILEIN.BUFFER.data();
      std::size_t pos = FILEIN.POS, end = FILEIN.END;
      while (pos < end && buffer[pos] != '\n' && buffer[pos] != '\r' && buffer[pos] != char(ctrl_z))
        pos++;
      FILEIN.POS = pos;
      FILEIN.AFTERCR = false;
      continue;
    }
    take(static_cast<unsigned char>(c));
    if (c == '\r' && peek() == '\n') take('\n');
    return;
  }
}

} // namespace vantrel
