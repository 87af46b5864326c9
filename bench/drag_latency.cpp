// How long the picture keeps changing after a quick drag ends: a scripted drag of 300 pointer
// motions (XTest) into the demo on the X display, then frames and milliseconds from the last
// motion to the last change of the picture, and the heap allocations the input cost.
//   drag_latency                 the demo's own code in this process, on the x11 backend:
//                                frames are counted exactly
//   drag_latency PROGRAM [ARG..] the demo as another program (wine vantrel_demo.exe, say):
//                                the picture is read from the screen, in milliseconds only
// Run it in the folder that holds the demo's assets, on a display without a window manager.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "bench/heap_counter.h"
#include "demo/frame.h"
#include "demo/program.h"
#include "vantrel/gl.h"
#include "vantrel/globals.h"
#include "vantrel/platform/platform.h"
#include "vantrel/platform/x11/x11_platform.h"
#include "vantrel/window/message_pump.h"

// After the framework's headers: Xlib's macros (None, Bool, Status) would clash with its names.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <sys/wait.h>
#include <unistd.h>

#include "x11_find_window.h"

namespace {

using clock_type = std::chrono::steady_clock;
constexpr int MOTIONS = 300;
constexpr double DRAG_SECONDS = 0.6; // a quick flick of the mouse

double ms_between(clock_type::time_point a, clock_type::time_point b) {
  return std::chrono::duration<double, std::milli>(b - a).count();
}

// The drag: press at (X, Y) on the screen, then MOTIONS moves over DRAG_SECONDS, paced by the
// clock; STEP runs between the batches of moves that are due (a frame, say), not after the
// last. Returns when the last motion has been made.
clock_type::time_point drag(Display *inj, int x, int y, const std::function<void()> &step) {
  XTestFakeMotionEvent(inj, -1, x, y, 0);
  XTestFakeButtonEvent(inj, 1, True, 0);
  XSync(inj, False);
  auto start = clock_type::now();
  int sent = 0;
  while (sent < MOTIONS) {
    double due = std::chrono::duration<double>(clock_type::now() - start).count() / DRAG_SECONDS;
    for (; sent < MOTIONS && sent < due * MOTIONS; sent++)
      XTestFakeMotionEvent(inj, -1, x + (sent + 1) / 2, y + (sent + 1) / 6, 0);
    XSync(inj, False); // the server has made the events once this returns
    if (sent < MOTIONS) step();
  }
  return clock_type::now();
}

void release(Display *inj) {
  XTestFakeButtonEvent(inj, 1, False, 0);
  XSync(inj, False);
}

// The demo's frame with a look at the picture before the swap, so that changes are counted
// per frame.
std::uint64_t frame_and_hash() {
  glClear(GL_COLOR_BUFFER_BIT);
  vantrel::SETGLMSG();
  demo::OPENGL_DRAW();
  static std::vector<unsigned char> px;
  px.resize(std::size_t(vantrel::WIDTH) * vantrel::HEIGHT * 4);
  glReadPixels(0, 0, vantrel::WIDTH, vantrel::HEIGHT, GL_RGBA, GL_UNSIGNED_BYTE, px.data());
  vantrel::platform::SwapBuffers(vantrel::DCWINDOW);
  std::uint64_t h = 1469598103934665603ull; // FNV-1a
  for (unsigned char c : px)
    h = (h ^ c) * 1099511628211ull;
  return h;
}

int in_process(Display *inj) {
  if (!vantrel::platform::SelectPlatform("x11")) {
    std::fprintf(stderr, "drag_latency: %s\n", vantrel::platform::LastErrorText().c_str());
    return 2;
  }
  demo::PROGRAM_SETUP(false);
  std::uint64_t last = 0;
  for (int i = 0; i < 5; i++) // the first frames still settle the state
    last = frame_and_hash();
  vantrel::TRECT r;
  vantrel::platform::GetWindowRect(vantrel::HWINDOW, &r);
  const int x = r.LEFT + 300, y = r.TOP + 300;

  // Allocations of the frames alone, to tell them from those of the input.
  std::size_t news0 = heap::news;
  for (int i = 0; i < 60; i++)
    frame_and_hash();
  const double frame_news = double(heap::news - news0) / 60;

  int frames = 0;
  news0 = heap::news;
  auto last_motion = drag(inj, x, y, [&] {
    last = frame_and_hash();
    frames++;
  });
  int after = 0, last_change = 0, still = 0;
  auto t_change = last_motion;
  while (still < 60) {
    std::uint64_t h = frame_and_hash();
    after++;
    if (h != last)
      last_change = after, t_change = clock_type::now(), still = 0;
    else
      still++;
    last = h;
  }
  const double input_news = double(heap::news - news0) - frame_news * (frames + after);
  release(inj);
  auto t0 = clock_type::now();
  for (int i = 0; i < 60; i++)
    frame_and_hash();
  const double frame_ms = ms_between(t0, clock_type::now()) / 60;

  // Keys: presses and releases along the home row, each worked off (key-down, character,
  // key-up, a frame each) before the next.
  constexpr int KEYS = 100;
  int key_frames = 0;
  news0 = heap::news;
  for (int i = 0; i < KEYS; i++) {
    const unsigned code = 38 + unsigned(i % 9); // a .. l
    XTestFakeKeyEvent(inj, code, True, 0);
    XTestFakeKeyEvent(inj, code, False, 0);
    XSync(inj, False);
    for (int f = 0; f < 4; f++, key_frames++)
      frame_and_hash();
  }
  const double key_news = double(heap::news - news0) - frame_news * key_frames;

  std::printf("x11, in process: last motion to last change of the picture: %d frames, %.0f ms "
              "(a frame takes %.1f ms)\n",
              last_change, ms_between(last_motion, t_change), frame_ms);
  std::printf("x11, in process: operator new per input event: %.2f (%d motions, %.2f per frame "
              "beside)\n",
              input_news / (MOTIONS + 1), MOTIONS, frame_news);
  std::printf("x11, in process: operator new per key event: %.2f (%d keys pressed and released)\n",
              key_news / (2 * KEYS), KEYS);
  demo::PROGRAM_END();
  return 0;
}

// ---- Another program, read from the screen ----

Window wait_for_window(Display *d, const char *name, double seconds) {
  auto end = clock_type::now() + std::chrono::duration<double>(seconds);
  while (clock_type::now() < end) {
    if (Window w = find_named(d, DefaultRootWindow(d), name)) return w;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return 0;
}

std::uint64_t screen_hash(Display *d, int x, int y, int w, int h) {
  XImage *img =
      XGetImage(d, DefaultRootWindow(d), x, y, unsigned(w), unsigned(h), AllPlanes, ZPixmap);
  if (!img) return 0;
  std::uint64_t hash = 1469598103934665603ull;
  for (int row = 0; row < h; row++)
    for (int col = 0; col < w; col++)
      hash = (hash ^ XGetPixel(img, col, row)) * 1099511628211ull;
  XDestroyImage(img);
  return hash;
}

void key(Display *inj, KeySym sym) {
  KeyCode code = XKeysymToKeycode(inj, sym);
  XTestFakeKeyEvent(inj, code, True, 0);
  XTestFakeKeyEvent(inj, code, False, 0);
  XSync(inj, False);
}

int other_program(Display *inj, char **argv) {
  pid_t pid = fork();
  if (pid == 0) {
    execvp(argv[0], argv);
    _exit(127);
  }
  Window box = wait_for_window(inj, demo::QUESTION_CAPTION, 60);
  if (!box) {
    std::fprintf(stderr, "drag_latency: the program asked no question\n");
    kill(pid, SIGKILL);
    return 1;
  }
  XWindowAttributes a;
  XGetWindowAttributes(inj, box, &a);
  int bx, by;
  Window child;
  XTranslateCoordinates(inj, box, DefaultRootWindow(inj), a.width / 2, a.height / 2, &bx, &by,
                        &child);
  XTestFakeMotionEvent(inj, -1, bx, by, 0); // keys go to the window under the pointer
  XSync(inj, False);
  while (find_named(inj, DefaultRootWindow(inj), demo::QUESTION_CAPTION)) {
    key(inj, XK_n);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
  }
  Window main = wait_for_window(inj, demo::TITLE, 60);
  if (!main) {
    std::fprintf(stderr, "drag_latency: no main window\n");
    kill(pid, SIGKILL);
    return 1;
  }
  int ox, oy;
  XTranslateCoordinates(inj, main, DefaultRootWindow(inj), 0, 0, &ox, &oy, &child);
  // The middle of the picture, where the columns turn.
  const int sx = ox + 200, sy = oy + 150, sw = 400, sh = 300;
  std::uint64_t last = screen_hash(inj, sx, sy, sw, sh);
  for (int still = 0; still < 20;) { // the picture holds still before the drag
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    std::uint64_t h = screen_hash(inj, sx, sy, sw, sh);
    still = h == last ? still + 1 : 0;
    last = h;
  }
  auto last_motion = drag(inj, ox + 300, oy + 300, [] {});
  auto t_change = last_motion, t_still = clock_type::now();
  while (ms_between(t_still, clock_type::now()) < 3000) {
    std::uint64_t h = screen_hash(inj, sx, sy, sw, sh);
    if (h != last) t_change = t_still = clock_type::now();
    last = h;
  }
  release(inj);
  auto t_escape = clock_type::now();
  key(inj, XK_Escape);
  int status = 0;
  while (waitpid(pid, &status, WNOHANG) != pid && ms_between(t_escape, clock_type::now()) < 30000)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  std::printf("%s: last motion to last change of the picture: %.0f ms; Escape to exit: %.0f ms\n",
              argv[0], ms_between(last_motion, t_change), ms_between(t_escape, clock_type::now()));
  return 0;
}

} // namespace

// Exit code 77 (skipped, for ctest) on a machine without DISPLAY; 2 when it cannot measure.
int main(int argc, char **argv) {
  const char *name = std::getenv("DISPLAY");
  if (!name || !*name) {
    std::fprintf(stderr, "drag_latency: no DISPLAY: it needs an X display with XTEST\n");
    return 77;
  }
  Display *inj = XOpenDisplay(nullptr);
  int ev, err, major, minor;
  if (!inj || !XTestQueryExtension(inj, &ev, &err, &major, &minor)) {
    std::fprintf(stderr, "drag_latency: needs an X display with the XTEST extension\n");
    return 2;
  }
  int rc = argc > 1 ? other_program(inj, argv + 1) : in_process(inj);
  XCloseDisplay(inj);
  return rc;
}
