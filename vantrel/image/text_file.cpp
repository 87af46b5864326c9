#include "vantrel/image/text_file.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <sys/stat.h>

#include "vantrel/runerror.h"

namespace vantrel {

namespace {

// The result LOADFILE left for IORESULT.
LONGINT pending_io_result = 0;

// Tokens longer than this are not numbers of any sensible kind; the reader keeps consuming them
// but stores no more, so a line without white space cannot make it grow without bound.
constexpr std::size_t max_token = 255;

constexpr int end_of_file = -1, not_read = -2;
constexpr int ctrl_z = 26;

LONGINT io_code_from_errno(int err) {
  switch (err) {
  case ENOENT:
    return 2;
  case ENOTDIR:
  case ENAMETOOLONG:
  case ELOOP:
    return 3;
  case EMFILE:
  case ENFILE:
    return 4;
  case EACCES:
  case EPERM:
  case EISDIR:
  case EROFS:
    return 5;
  default:
    return 100;
  }
}

// The next character of FILEIN without taking it; end_of_file at the end or at a Ctrl-Z, which
// stays the end from then on.
int peek() {
  if (FILEIN.LOOKAHEAD == not_read) {
    int c = FILEIN.HANDLE ? std::fgetc(FILEIN.HANDLE) : EOF;
    FILEIN.LOOKAHEAD = c == EOF || c == ctrl_z ? end_of_file : c;
  }
  return FILEIN.LOOKAHEAD;
}

// Takes the character that peek showed, counting lines; a CR LF pair is one line break.
void take() {
  int c = peek();
  if (c == end_of_file) return;
  FILEIN.LOOKAHEAD = not_read;
  if (c == '\n') {
    FILEIN.LINE++;
  } else if (c == '\r') {
    if (peek() != '\n') FILEIN.LINE++;
  }
}

void require_open(const char *what) {
  if (!FILEIN.HANDLE) RUNERROR(RE_FILE_NOT_OPEN, std::string(what) + ": no file is open");
}

// Whether TOKEN is, from its first character to its last, a number of the accepted form.
bool is_number(const std::string &token) {
  std::size_t i = 0, n = token.size();
  auto digits = [&] {
    std::size_t start = i;
    while (i < n && token[i] >= '0' && token[i] <= '9')
      i++;
    return i - start;
  };
  if (i < n && (token[i] == '+' || token[i] == '-')) i++;
  std::size_t mantissa = digits();
  if (i < n && token[i] == '.') {
    i++;
    mantissa += digits();
  }
  if (mantissa == 0) return false;
  if (i < n && (token[i] == 'e' || token[i] == 'E')) {
    i++;
    if (i < n && (token[i] == '+' || token[i] == '-')) i++;
    if (digits() == 0) return false;
  }
  return i == n;
}

} // namespace

void LOADFILE(const ANSISTRING &FILENAME) {
  if (FILEIN.HANDLE) std::fclose(FILEIN.HANDLE);
  FILEIN = TTEXTFILE{};
  FILEIN.NAME = FILENAME.substr(0, 255);
  errno = 0;
  std::FILE *f = std::fopen(FILEIN.NAME.c_str(), "rb");
  if (!f) {
    pending_io_result = io_code_from_errno(errno);
    return;
  }
  // A directory opens for reading here but has no characters to give.
  struct stat st;
  if (fstat(fileno(f), &st) == 0 && S_ISDIR(st.st_mode)) {
    std::fclose(f);
    pending_io_result = 5;
    return;
  }
  FILEIN.HANDLE = f;
  pending_io_result = 0;
}

void ENDFILE() {
  require_open("ENDFILE");
  std::FILE *f = FILEIN.HANDLE;
  FILEIN.HANDLE = nullptr;
  FILEIN.LOOKAHEAD = not_read;
  if (std::fclose(f) != 0) {
    int err = errno;
    RUNERROR(io_code_from_errno(err), FILEIN.NAME + ": cannot close: " + std::strerror(err));
  }
}

LONGINT IORESULT() {
  LONGINT code = pending_io_result;
  pending_io_result = 0;
  return code;
}

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
  require_open("TEXTEOF");
  return peek() == end_of_file;
}

REAL READREAL() {
  require_open("READREAL");
  while (peek() != end_of_file && peek() <= 32)
    take();
  LONGINT line = FILEIN.LINE;
  std::string token;
  bool cut = false;
  while (peek() != end_of_file && peek() > 32) {
    if (token.size() < max_token)
      token.push_back(char(peek()));
    else
      cut = true;
    take();
  }
  if (std::ferror(FILEIN.HANDLE))
    RUNERROR(100, FILEIN.NAME + ":" + std::to_string(line) + ": read error");
  if (token.empty()) return 0;
  REAL value = 0;
  bool ok = !cut && is_number(token);
  if (ok) {
    // from_chars takes no leading '+' and, unlike strtod, ignores the C locale's decimal point.
    const char *first = token.data() + (token[0] == '+' ? 1 : 0);
    auto [end, err] = std::from_chars(first, token.data() + token.size(), value);
    ok = err == std::errc() && end == token.data() + token.size();
  }
  if (!ok)
    RUNERROR(RE_INVALID_NUMERIC, FILEIN.NAME + ":" + std::to_string(line) + ": '" + token +
                                     (cut ? "..." : "") + "' is not a number");
  return value;
}

void READLN() {
  require_open("READLN");
  for (;;) {
    int c = peek();
    if (c == end_of_file) return;
    take();
    if (c == '\n') return;
    if (c == '\r') {
      if (peek() == '\n') take();
      return;
    }
  }
}

} // namespace vantrel
