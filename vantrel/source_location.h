/// \file
/// \ingroup core
/// Where a call came from, for the names that run-time errors report.
#pragma once

#include <version>

#if defined(__cpp_lib_source_location)
#include <source_location>

namespace vantrel {
/// The caller's file, line and function: std::source_location where the compiler has it.
using TSOURCELOCATION = std::source_location;
} // namespace vantrel

#else

namespace vantrel {
/// The same three facts from the builtins that older compilers have (clang 14 with libstdc++
/// 12 has no std::source_location): a default argument of current() is read at the call.
/// The function's name is the bare name here, where std::source_location gives the whole
/// signature; FUNCTIONNAME takes the name from either.
struct TSOURCELOCATION {
  /// The place of the call that leaves these arguments out.
  static constexpr TSOURCELOCATION current(const char *FILE = __builtin_FILE(),
                                           const char *FUNCTION = __builtin_FUNCTION(),
                                           unsigned LINE = __builtin_LINE()) noexcept {
    TSOURCELOCATION here;
    here.file = FILE;
    here.function = FUNCTION;
    here.at_line = LINE;
    return here;
  }
  /// The source file's name.
  constexpr const char *file_name() const noexcept { return file; }
  /// The calling function's bare name.
  constexpr const char *function_name() const noexcept { return function; }
  /// The line of the call.
  constexpr unsigned line() const noexcept { return at_line; }
  /// 0: the builtins give no column.
  constexpr unsigned column() const noexcept { return 0; }

private:
  const char *file = "";
  const char *function = "";
  unsigned at_line = 0;
};
} // namespace vantrel

#endif
