// Files opened for reading by the backends without Win32 underneath: only regular files, and
// never by a call that can wait.
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "vantrel/platform/common/gdi_objects.h"

namespace vantrel::common {
namespace {

// The Win32 code that the same failure gives, so the framework reads one set of codes.
LONGWORD code_of(int err) {
  switch (err) {
  case ENOENT:
    return ERROR_FILE_NOT_FOUND;
  case ENOTDIR:
  case ENAMETOOLONG:
  case ELOOP:
    return ERROR_PATH_NOT_FOUND;
  case EMFILE:
  case ENFILE:
    return ERROR_TOO_MANY_OPEN_FILES;
  case EACCES:
  case EPERM:
  case EROFS:
    return ERROR_ACCESS_DENIED;
  case ENOMEM:
    return ERROR_NOT_ENOUGH_MEMORY;
  default:
    return ERROR_READ_FAULT;
  }
}

// Why a file of MODE is no file to read, or null when it is a regular file.
const char *not_regular(mode_t mode) {
  if (S_ISREG(mode)) return nullptr;
  return S_ISDIR(mode) ? "is a directory" : "not a regular file";
}

} // namespace
} // namespace vantrel::common

namespace vantrel::platform {
using namespace vantrel::common;

std::FILE *OpenRegularFile(PCHAR NAME, std::int64_t *SIZE, ANSISTRING &WHY) {
  auto refuse = [&](LONGWORD code, const std::string &why) -> std::FILE * {
    set_last_error(code, why);
    WHY = why;
    return nullptr;
  };
  if (!NAME || !*NAME) return refuse(ERROR_FILE_NOT_FOUND, "no file name");
  // Looked at before it is opened: opening a FIFO waits for a writer, and opening a device may
  // act on it.
  struct stat st;
  if (stat(NAME, &st) != 0) return refuse(code_of(errno), std::strerror(errno));
  if (const char *why = not_regular(st.st_mode)) return refuse(ERROR_ACCESS_DENIED, why);
  // Without waiting all the same, should the name have become a FIFO since.
  int fd = open(NAME, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return refuse(code_of(errno), std::strerror(errno));
  const char *why = fstat(fd, &st) != 0 ? std::strerror(errno) : not_regular(st.st_mode);
  std::FILE *file = nullptr;
  if (!why) {
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    file = fdopen(fd, "rb");
    if (!file) why = std::strerror(errno);
  }
  if (!file) {
    close(fd);
    return refuse(ERROR_ACCESS_DENIED, why);
  }
  if (SIZE) *SIZE = std::int64_t(st.st_size);
  return file;
}

} // namespace vantrel::platform
