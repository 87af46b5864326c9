#include "vantrel/runerror.h"

#include <cstdio>
#include <cstdlib>

#include "vantrel/platform/platform.h"

namespace vantrel {

static const char *error_kind(LONGINT CODE) {
  switch (CODE) {
  case RE_FILE_NOT_OPEN:
    return "file not open";
  case RE_INVALID_NUMERIC:
    return "invalid numeric format";
  case RE_RANGE_CHECK:
    return "range check error";
  case RE_ARITH_OVERFLOW:
    return "arithmetic overflow";
  default:
    return CODE >= 100 && CODE < 200 ? "I/O error" : "run-time error";
  }
}

namespace {
TERRORHOOK error_hook = nullptr;

// Hands REPORT to the host's hook; false when there is none and the default applies.
bool to_hook(TERRORREPORT REPORT) {
  if (!error_hook) return false;
  error_hook(REPORT);
  return true;
}
} // namespace

TERRORHOOK SETERRORHOOK(TERRORHOOK HOOK) {
  TERRORHOOK previous = error_hook;
  error_hook = HOOK;
  return previous;
}

std::string FUNCTIONNAME(const TSOURCELOCATION &LOCATION) {
  // "void vantrel::TEXTURELOADID(PCHAR, LONGINT)", and inside a lambda the same with the
  // lambda's own name after it: the name is the word before the first parenthesis that does
  // not open an anonymous namespace.
  std::string s = LOCATION.function_name();
  std::size_t open = 0;
  for (;;) {
    open = s.find('(', open);
    if (open == std::string::npos) return s;
    if (s.compare(open, 10, "(anonymous") != 0) break;
    open++;
  }
  std::size_t start = s.find_last_of(" :}*&", open == 0 ? 0 : open - 1);
  start = start == std::string::npos ? 0 : start + 1;
  return s.substr(start, open - start);
}

void RUNERROR(LONGINT CODE, const std::string &WHAT, TSOURCELOCATION WHERE) {
  if (to_hook({CODE, WHAT, FUNCTIONNAME(WHERE), true})) return;
  std::string line =
      "Runtime error " + std::to_string(CODE) + " (" + error_kind(CODE) + "): " + WHAT;
  REPORTFATAL(line, CODE);
}

void REPORTFATAL(const std::string &TEXT, LONGINT EXITCODE, const std::string &WHERE) {
  if (to_hook({EXITCODE, TEXT, WHERE, true})) return;
#ifdef VANTREL_FUZZ
  throw TRUNERRORSTOP{EXITCODE, TEXT};
#endif
  std::fprintf(stderr, "%s\n", ANSITOUTF8(TEXT).c_str());
  std::fflush(stderr);
  platform::MessageBoxA(0, TEXT.c_str(), "Error", MB_OK);
  std::exit(EXITCODE);
}

std::string ANSITOUTF8(const std::string &TEXT) {
  // 0x80..0x9F differ from Latin-1; the rest of the upper half maps straight to U+00A0..U+00FF.
  static const char16_t high[32] = {0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD,
                                    0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};
  std::string out;
  for (unsigned char c : TEXT) {
    char32_t u = c < 0x80 ? c : c < 0xA0 ? high[c - 0x80] : c;
    if (u < 0x80) {
      out += char(u);
    } else if (u < 0x800) {
      out += char(0xC0 | (u >> 6));
      out += char(0x80 | (u & 0x3F));
    } else {
      out += char(0xE0 | (u >> 12));
      out += char(0x80 | ((u >> 6) & 0x3F));
      out += char(0x80 | (u & 0x3F));
    }
  }
  return out;
}

BOOLEAN RANGECHECK(LONGINT VALUE, LONGINT LOW, LONGINT HIGH, const char *WHAT,
                   TSOURCELOCATION WHERE) {
  if (VALUE >= LOW && VALUE <= HIGH) return true;
  RUNERROR(RE_RANGE_CHECK,
           std::string(WHAT) + " " + std::to_string(VALUE) + " outside " + std::to_string(LOW) +
               ".." + std::to_string(HIGH),
           WHERE);
  return false;
}

BOOLEAN CHECKEDMUL(LONGINT A, LONGINT B, LONGINT &PRODUCT, const char *WHAT,
                   TSOURCELOCATION WHERE) {
  if (!__builtin_mul_overflow(A, B, &PRODUCT)) return true;
  PRODUCT = 0;
  RUNERROR(RE_ARITH_OVERFLOW,
           std::string(WHAT) + " " + std::to_string(A) + " x " + std::to_string(B) +
               " does not fit in 32 bits",
           WHERE);
  return false;
}

LONGINT IOCODEOF(LONGWORD ERROR) {
  switch (ERROR) {
  case ERROR_FILE_NOT_FOUND:
  case ERROR_PATH_NOT_FOUND:
  case ERROR_TOO_MANY_OPEN_FILES:
  case ERROR_ACCESS_DENIED:
    return LONGINT(ERROR);
  default:
    return RE_READ_ERROR;
  }
}

#ifdef VANTREL_FUZZ
std::vector<std::string> FUZZWARNINGS;
#endif

void WARNING(const std::string &WHAT, LONGINT CODE, TSOURCELOCATION WHERE) {
  if (to_hook({CODE, WHAT, FUNCTIONNAME(WHERE), false})) return;
#ifdef VANTREL_FUZZ
  FUZZWARNINGS.push_back(WHAT);
  return;
#endif
  std::fprintf(stderr, "vantrel: warning: %s\n", WHAT.c_str());
  std::fflush(stderr);
}
} // namespace vantrel
