#include "tests/support/special_files.h"

// Before <windows.h>, whose macros would rename the seam's declarations.
#include "tests/support/gl_fixture.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#ifdef VANTREL_TEST_WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#endif

namespace vantrel::test {

namespace {

// Opens FIFO for writing and closes it at once: a reader waiting to open it goes on, and then
// reads the end of the file. False while no reader holds it open. On Linux it is opened for
// reading too, which lets a writer waiting to open it go on (to fail on its first write).
bool release_fifo(const std::string &fifo) {
#ifdef VANTREL_TEST_WIN32
  HANDLE h = CreateFileA(fifo.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  CloseHandle(h);
  return true;
#else
  int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
  if (reader >= 0) close(reader);
  int fd = open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
  if (fd < 0) return false;
  close(fd);
  return true;
#endif
}

struct watch {
  std::string fifo;
  int seconds;
  std::atomic<bool> done{false}, fired{false};
};

void watchdog(watch &w) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(w.seconds);
  while (!w.done) {
    if (std::chrono::steady_clock::now() >= deadline) {
      // Again and again: a load may open the file more than once.
      w.fired = true;
      release_fifo(w.fifo);
    }
#ifdef VANTREL_TEST_WIN32
    Sleep(20);
#else
    usleep(20000);
#endif
  }
}

#ifdef VANTREL_TEST_WIN32
// The Unix name of a Windows path, which only Wine can tell.
std::string unix_name(const std::string &path) {
  using to_unix = char *(CDECL *)(LPCWSTR);
  auto convert = reinterpret_cast<to_unix>(reinterpret_cast<void (*)()>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  if (!convert) return "";
  wchar_t wide[MAX_PATH];
  if (!MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH)) return "";
  char *name = convert(wide);
  if (!name) return "";
  std::string out = name;
  HeapFree(GetProcessHeap(), 0, name);
  return out;
}
#endif

} // namespace

std::string make_directory(const std::string &name) {
  std::string dir = write_temp_file(name, "");
  std::filesystem::remove(dir);
  std::filesystem::create_directory(dir);
  return dir;
}

bool make_fifo(const std::string &path) {
#ifdef VANTREL_TEST_WIN32
  // A FIFO left by an earlier run will do: Wine reuses process numbers, and with them the
  // temporary folders, and its DeleteFileA cannot remove a FIFO.
  auto is_fifo = [&] {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    bool fifo = GetFileType(h) == FILE_TYPE_PIPE;
    CloseHandle(h);
    return fifo;
  };
  if (is_fifo()) return true;
  std::string target = unix_name(path);
  if (target.empty()) return false; // Windows itself
  DeleteFileA(path.c_str());
  // Wine starts a Unix program named by its Unix path as it starts a Windows one, but its
  // process handle tells neither when it ends nor how: the FIFO's appearance does.
  std::string command = "/usr/bin/mkfifo \"" + target + "\"";
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (CreateProcessA(nullptr, command.data(), nullptr, nullptr, false, 0, nullptr, nullptr, &si,
                     &pi)) {
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
  for (int i = 0; i < 500 && !is_fifo(); i++)
    Sleep(20);
  bool made = is_fifo();
  EXPECT_TRUE(made) << "mkfifo " << target << " made no FIFO under Wine";
  return made;
#else
  unlink(path.c_str());
  bool made = mkfifo(path.c_str(), 0600) == 0;
  EXPECT_TRUE(made) << "mkfifo " << path << ": " << std::strerror(errno);
  return made;
#endif
}

bool returns_before_deadline(const std::string &fifo, const std::function<void()> &load,
                             int seconds) {
  watch w;
  w.fifo = fifo;
  w.seconds = seconds;
#ifdef VANTREL_TEST_WIN32
  HANDLE thread = CreateThread(
      nullptr, 0,
      [](void *p) -> DWORD {
        watchdog(*static_cast<watch *>(p));
        return 0;
      },
      &w, 0, nullptr);
  load();
  w.done = true;
  if (thread) {
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
  }
#else
  std::thread thread(watchdog, std::ref(w));
  load();
  w.done = true;
  thread.join();
#endif
  return !w.fired;
}

bool write_sparse_file(const std::string &path, const std::string &head, std::int64_t size,
                       const std::string &tail) {
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << head;
  }
#ifdef VANTREL_TEST_WIN32
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  LARGE_INTEGER at;
  at.QuadPart = size - std::int64_t(tail.size());
  DWORD written = 0;
  bool ok = h != INVALID_HANDLE_VALUE && SetFilePointerEx(h, at, nullptr, FILE_BEGIN) &&
            SetEndOfFile(h) && WriteFile(h, tail.data(), DWORD(tail.size()), &written, nullptr) &&
            written == tail.size();
  if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  return ok;
#else
  int fd = open(path.c_str(), O_WRONLY);
  bool ok = fd >= 0 && ftruncate(fd, off_t(size)) == 0 &&
            pwrite(fd, tail.data(), tail.size(), off_t(size) - off_t(tail.size())) ==
                ssize_t(tail.size());
  if (fd >= 0) close(fd);
  return ok;
#endif
}

void reset_peak_memory() {
#ifndef VANTREL_TEST_WIN32
  std::ofstream("/proc/self/clear_refs") << "5";
#endif
}

std::int64_t peak_memory() {
  std::ifstream in("/proc/self/status");
  for (std::string line; std::getline(in, line);)
    if (line.rfind("VmHWM:", 0) == 0) return std::stoll(line.substr(6)) * 1024;
  return -1;
}

} // namespace vantrel::test
