// The POSIX calls the shared suites use, as the C runtime of Windows spells them. Included
// ahead of every test source of a Windows build, so the suites need no conditionals of their own.
#pragma once

#include <cstdlib>

inline int setenv(const char *name, const char *value, int overwrite) {
  if (!overwrite && std::getenv(name)) return 0;
  return _putenv_s(name, value) == 0 ? 0 : -1;
}
