// What the fuzz targets share: an input handed to the readers as a file, without touching the
// disk, and a check that stops the run with a message when a result is wrong.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

namespace fuzz {

// A path naming a file in memory that holds exactly SIZE bytes of DATA; every call reuses the
// same file, so a target makes one per input.
inline std::string memory_file(const std::uint8_t *data, std::size_t size) {
  static int fd = memfd_create("vantrel-fuzz", MFD_CLOEXEC);
  if (fd < 0 || ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != ssize_t(size)) {
    std::perror("fuzz: memory file");
    std::abort();
  }
  return "/proc/self/fd/" + std::to_string(fd);
}

// A wrong result is a finding like a crash: libFuzzer keeps the input that gave it.
#define FUZZ_CHECK(condition, ...)                                                                 \
  do {                                                                                             \
    if (!(condition)) {                                                                            \
      std::fprintf(stderr, "fuzz: check failed: %s: ", #condition);                                \
      std::fprintf(stderr, __VA_ARGS__);                                                           \
      std::fprintf(stderr, "\n");                                                                  \
      std::abort();                                                                                \
    }                                                                                              \
  } while (0)

} // namespace fuzz
