// How a program ends when another program destroys its window (as `xdotool windowclose` does):
// the time from the destruction to the program's exit, and how far its memory rose above the
// level it held while running. Five runs, each printed; the exit code says whether every run
// ended with code 0 and at most MAX_GROWTH_MB above that level (the times are only printed).
//   outside_close [--answer CAPTION KEY] TITLE PROGRAM [ARG..]
// starts PROGRAM, answers the box named CAPTION with the key KEY (a keysym name) once it holds
// the focus, waits for the window named TITLE and for its memory to settle, then destroys it.
// Run it in the folder the program needs (the demo's assets), on any X display.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>

#include "x11_find_window.h"

namespace {

using clock_type = std::chrono::steady_clock;
constexpr long MAX_GROWTH_MB = 50;
constexpr int RUNS = 5;

double seconds_since(clock_type::time_point t) {
  return std::chrono::duration<double>(clock_type::now() - t).count();
}

// Polls DONE every 10 ms until it holds or SECONDS (a guard against hangs) pass.
template <class F> bool wait_until(F done, double seconds) {
  auto start = clock_type::now();
  while (!done()) {
    if (seconds_since(start) > seconds) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

// The highest resident set of process PID so far, in kB; -1 once it is gone.
long peak_kb(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(in, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  return -1;
}

bool focused_on(Display *d, Window w) {
  Window focus = 0;
  int revert;
  XGetInputFocus(d, &focus, &revert);
  return focus == w;
}

void key(Display *d, const char *name) {
  KeyCode code = XKeysymToKeycode(d, XStringToKeysym(name));
  XTestFakeKeyEvent(d, code, True, 0);
  XTestFakeKeyEvent(d, code, False, 0);
  XSync(d, False);
}

struct run_result {
  bool ok = false;
  int code = -1;
  double exit_ms = 0;
  long steady_kb = 0, peak_kb = 0;
};

run_result one_run(Display *d, const char *caption, const char *answer, const char *title,
                   char **argv) {
  run_result r;
  pid_t pid = fork();
  if (pid == 0) {
    execvp(argv[0], argv);
    _exit(127);
  }
  auto give_up = [&](const char *why) {
    std::fprintf(stderr, "outside_close: %s\n", why);
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return r;
  };
  Window root = DefaultRootWindow(d);
  if (caption) {
    Window box = 0;
    if (!wait_until([&] { return (box = find_named(d, root, caption)) != 0; }, 60))
      return give_up("the program asked no question");
    if (!wait_until([&] { return focused_on(d, box); }, 20))
      return give_up("the question never took the focus");
    key(d, answer);
  }
  Window main = 0;
  if (!wait_until([&] { return (main = find_named(d, root, title)) != 0; }, 60))
    return give_up("the window did not appear");
  // Settled: the peak has not moved for half a second of frames.
  long steady = -1;
  int same = 0;
  wait_until(
      [&] {
        long now = peak_kb(pid);
        same = now == steady ? same + 1 : 0;
        steady = now;
        return same >= 50;
      },
      30);
  auto t0 = clock_type::now();
  XDestroyWindow(d, main);
  XSync(d, False);
  int status = 0;
  rusage usage{};
  if (!wait_until([&] { return wait4(pid, &status, WNOHANG, &usage) == pid; }, 60))
    return give_up("the program did not end within 60 s of its window's destruction");
  r.exit_ms = seconds_since(t0) * 1000;
  r.code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  r.steady_kb = steady;
  r.peak_kb = usage.ru_maxrss;
  r.ok = r.code == 0 && r.peak_kb - r.steady_kb <= MAX_GROWTH_MB * 1024;
  return r;
}

} // namespace

int main(int argc, char **argv) {
  const char *caption = nullptr, *answer = nullptr;
  int first = 1;
  if (argc > 3 && std::strcmp(argv[1], "--answer") == 0) caption = argv[2], answer = argv[3];
  if (caption) first = 4;
  if (argc < first + 2) {
    std::fprintf(stderr, "usage: outside_close [--answer CAPTION KEY] TITLE PROGRAM [ARG..]\n");
    return 2;
  }
  Display *d = XOpenDisplay(nullptr);
  if (!d) {
    std::fprintf(stderr, "outside_close: no X display: skipped\n");
    return 77;
  }
  // The window may be gone by the time it is asked after: that is expected here.
  XSetErrorHandler([](Display *, XErrorEvent *) { return 0; });
  const char *title = argv[first];
  int failed = 0;
  double worst_ms = 0;
  for (int i = 1; i <= RUNS; i++) {
    run_result r = one_run(d, caption, answer, title, argv + first + 1);
    if (r.code < 0) return 1;
    std::printf("outside close %d: exit code %d after %.0f ms; memory %ld MB running, "
                "peak %ld MB (+%ld MB)\n",
                i, r.code, r.exit_ms, r.steady_kb / 1024, r.peak_kb / 1024,
                (r.peak_kb - r.steady_kb) / 1024);
    std::fflush(stdout);
    failed += !r.ok;
    worst_ms = std::max(worst_ms, r.exit_ms);
  }
  std::printf("outside close: %d of %d runs ended cleanly, slowest exit %.0f ms\n", RUNS - failed,
              RUNS, worst_ms);
  XCloseDisplay(d);
  return failed ? 1 : 0;
}
