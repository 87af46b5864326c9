// The whole demo frame against a bare clear-and-swap loop on the same window, the time from
// window creation to the first frame, and heap allocations per frame, on the platform the
// program chooses: VANTREL_PLATFORM=headless (EGL pbuffer) or x11 (a real window on $DISPLAY).
#include <chrono>
#include <cstdio>

#include "bench/heap_counter.h"
#include "demo/program.h"
#include "vantrel/gl.h"
#include "vantrel/globals.h"
#include "vantrel/platform/platform.h"
#include "vantrel/window/message_pump.h"

using clock_type = std::chrono::steady_clock;

static double seconds_since(clock_type::time_point t0) {
  return std::chrono::duration<double>(clock_type::now() - t0).count();
}

// Frames per second of FRAME over about two seconds; glFinish makes each frame's cost count.
template <class F> static double rate(F frame) {
  int frames = 0;
  auto t0 = clock_type::now();
  while (seconds_since(t0) < 2.0) {
    frame();
    glFinish();
    frames++;
  }
  return frames / seconds_since(t0);
}

int main() {
  auto t0 = clock_type::now();
  demo::PROGRAM_SETUP(false);
  demo::PROGRAM_FRAME();
  glFinish();
  const double first_frame_ms = seconds_since(t0) * 1000;

  const double demo_fps = rate(demo::PROGRAM_FRAME);
  const double bare_fps = rate([] {
    glClear(GL_COLOR_BUFFER_BIT);
    vantrel::SETGLMSG();
    vantrel::platform::SwapBuffers(vantrel::DCWINDOW);
  });

  const int frames = 300;
  std::size_t news0 = heap::news, mallocs0 = heap::mallocs;
  for (int i = 0; i < frames; i++)
    demo::PROGRAM_FRAME();
  glFinish();
  const double news = double(heap::news - news0) / frames;
  const double mallocs = double(heap::mallocs - mallocs0) / frames;

  std::printf("platform: %s, renderer: %s\n", vantrel::platform::PlatformName(),
              reinterpret_cast<const char *>(glGetString(GL_RENDERER)));
  std::printf("window creation to first frame: %.1f ms\n", first_frame_ms);
  std::printf("demo frame: %.1f fps\n", demo_fps);
  std::printf("clear-and-swap frame: %.1f fps\n", bare_fps);
  std::printf("demo frame cost: %.2fx the bare frame\n", bare_fps / demo_fps);
  std::printf("operator new per frame: %.2f\n", news);
  std::printf("malloc calls per frame, driver included: %.2f\n", mallocs);
  demo::PROGRAM_END();
  return 0;
}
