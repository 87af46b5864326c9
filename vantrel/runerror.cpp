#include "vantrel/runerror.h"

#include <cstdio>
#include <cstdlib>

#include "vantrel/platform/platform.h"

namespace vantrel {

static const char *error_kind(LONGINT CODE) {
  switch (CODE) {
  case RE_FILE_NOT_OPEN: return "file not open";
  case RE_INVALID_NUMERIC: return "invalid numeric format";
  case RE_RANGE_CHECK: return "range check error";
  case RE_ARITH_OVERFLOW: return "arithmetic overflow";
  default: return CODE >= 100 && CODE < 200 ? "I/O error" : "run-time error";
  }
}

void RUNERROR(LONGINT CODE, const std::string &WHAT) {
  std::string line =
      "Runtime error " + std::to_string(CODE) + " (" + error_kind(CODE) + "): " + WHAT;
  std::fprintf(stderr, "%s\n", line.c_str());
  std::fflush(stderr);
  platform::MessageBoxA(0, line.c_str(), "Error", MB_OK);
  std::exit(CODE);
}

void RANGECHECK(LONGINT VALUE, LONGINT LOW, LONGINT HIGH, const char *WHAT) {
  if (VALUE < LOW || VALUE > HIGH)
    RUNERROR(RE_RANGE_CHECK, std::string(WHAT) + " " + std::to_string(VALUE) + " outside " +
                                 std::to_string(LOW) + ".." + std::to_string(HIGH));
}

LONGINT CHECKEDMUL(LONGINT A, LONGINT B, const char *WHAT) {
  LONGINT product;
  if (__builtin_mul_overflow(A, B, &product))
    RUNERROR(RE_ARITH_OVERFLOW, std::string(WHAT) + " " + std::to_string(A) + " x " +
                                    std::to_string(B) + " does not fit in 32 bits");
  return product;
}

} // namespace vantrel

namespace vantrel {
void WARNING(const std::string &WHAT) {
  std::fprintf(stderr, "vantrel: warning: %s\n", WHAT.c_str());
  std::fflush(stderr);
}
} // namespace vantrel
