/// \file
/// \ingroup core
/// The one reporter of run-time errors: the conditions that stop the program with a numbered
/// error (a range check, an overflow, a malformed number, an I/O failure).
#pragma once

#include <string>
#include <vector>

#include "vantrel/types.h"

VANTREL_API_BEGIN
namespace vantrel {

inline constexpr LONGINT RE_FILE_NOT_OPEN = 103;   ///< I/O: file not open
inline constexpr LONGINT RE_INVALID_NUMERIC = 106; ///< I/O: invalid numeric format
inline constexpr LONGINT RE_RANGE_CHECK = 201;     ///< index outside a fixed table
inline constexpr LONGINT RE_ARITH_OVERFLOW = 215;  ///< integer overflow

/// Prints one line to stderr, shows it in a box captioned "Error" where the platform can show
/// one, and ends the program with CODE as its exit code.
[[noreturn]] void RUNERROR(LONGINT CODE, const std::string &WHAT);

#ifdef VANTREL_FUZZ
/// The fuzzing build throws this instead of ending the program, so that a fuzz target can take a
/// run-time error such as 106 as one of the defined outcomes and go on with the next input.
struct TRUNERRORSTOP {
  LONGINT CODE;
  std::string TEXT;
};
#endif

/// The reporter itself: TEXT (Windows-1252) on stderr as UTF-8, in a box captioned "Error"
/// where the platform can show one, then the end of the program with EXITCODE.
[[noreturn]] void REPORTFATAL(const std::string &TEXT, LONGINT EXITCODE);

/// Windows-1252 text, as the system stores its messages, in UTF-8 for terminals and X11.
std::string ANSITOUTF8(const std::string &TEXT);

/// Stops with a range-check error unless LOW <= VALUE <= HIGH.
void RANGECHECK(LONGINT VALUE, LONGINT LOW, LONGINT HIGH, const char *WHAT);

/// A * B in 32-bit signed arithmetic; an overflow stops with error 215.
LONGINT CHECKEDMUL(LONGINT A, LONGINT B, const char *WHAT);

} // namespace vantrel

namespace vantrel {
/// \ingroup core
/// One warning line on stderr ("vantrel: warning: WHAT"), for failures the program survives.
void WARNING(const std::string &WHAT);

#ifdef VANTREL_FUZZ
// The fuzzing build keeps its warnings here instead of printing them: a target checks that a
// refusal gives exactly one, and millions of inputs do not flood the fuzzer's log.
extern std::vector<std::string> FUZZWARNINGS;
#endif
} // namespace vantrel
VANTREL_API_END
