// Cost of the column pieces: recording their display lists, drawing the demo's frame of twenty
// cartoon calls against a bare clear-and-swap frame, and heap use per steady-state frame.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <malloc.h>
#include <new>
#include <string>

#include "bench/heap_counter.h"
#include "vantrel/geometry/box.h"
#include "vantrel/geometry/revolved.h"
#include "vantrel/gl.h"
#include "vantrel/globals.h"
#include "vantrel/image/shade_ramp.h"
#include "vantrel/image/texture.h"
#include "bench/bench_window.h"
#include "vantrel/platform/platform.h"
#include "vantrel/render/cartoon.h"
#include "vantrel/render/fog.h"
#include "vantrel/render/lights.h"
#include "vantrel/render/projection.h"

using namespace vantrel;
using clock_type = std::chrono::steady_clock;

namespace {

// A 64x64 two-colour checker in a texture slot, standing in for the demo's bitmaps.
void make_slot(LONGINT slot, unsigned char a, unsigned char b) {
  static unsigned char px[64 * 64 * 3];
  for (int y = 0; y < 64; y++)
    for (int x = 0; x < 64; x++)
      for (int c = 0; c < 3; c++)
        px[(y * 64 + x) * 3 + c] = ((x / 8 + y / 8) & 1) ? a : b;
  glGenTextures(1, &TEXTUREID2[slot]);
  glBindTexture(GL_TEXTURE_2D, TEXTUREID2[slot]);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 64, 64, 0, GL_RGB, GL_UNSIGNED_BYTE, px);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
}

struct pieces {
  LONGWORD base, capital, shaft, base2, capital2, shaft2;
};

// The texture-matrix halving that every piece wraps around its main primitive.
void texture_half_on() {
  glMatrixMode(GL_TEXTURE);
  glPushMatrix();
  glScalef(0.5f, 0.5f, 0.5f);
}
void texture_half_off() {
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
}

void record_base() {
  glPushMatrix();
  glRotatef(90, 1, 0, 0);
  texture_half_on();
  CUBO(0, 0, 0, 2.2f, 1, 2.2f);
  texture_half_off();
  glPopMatrix();
}
void record_capital() {
  texture_half_on();
  CONOTRONCO(0, 0, 0, 20, 1.5f, 2, 2);
  texture_half_off();
  TOROIDE(0, 0, 0, 0.4f, 1.75f, 20, 20);
  glPushMatrix();
  glTranslatef(0, 0, 2);
  TOROIDE(0, 0, 0, 0.4f, 1.25f, 20, 20);
  glPopMatrix();
}
void record_shaft() {
  texture_half_on();
  SUPPORTOASSE(0, 0, 0, 32, 0, 1.5f, 20);
  texture_half_off();
}

LONGWORD record(void (*content)(), bool unlit) {
  LONGWORD list = glGenLists(1);
  glNewList(list, GL_COMPILE);
  if (unlit) glDisable(GL_LIGHTING);
  content();
  if (unlit) glEnable(GL_LIGHTING);
  glEndList();
  return list;
}

pieces record_all() {
  pieces p;
  p.base = record(record_base, false);
  p.capital = record(record_capital, false);
  p.shaft = record(record_shaft, false);
  p.base2 = record(record_base, true);
  p.capital2 = record(record_capital, true);
  p.shaft2 = record(record_shaft, true);
  return p;
}

void plain_column(const pieces &p, SINGLE d) {
  glPushMatrix();
  glTranslatef(d, 0, 0);
  glColor3f(0.3f, 0.3f, 0.3f);
  FX_CARTOON(0, 0, 0, 1, p.base2, false);
  glColor3f(0.6f, 0.1f, 0.1f);
  FX_CARTOON(0, 0, 1.2f, 1, p.capital2, false);
  glColor3f(0.95f, 0.95f, 0.95f);
  FX_CARTOON(0, 0, 10, 1, p.shaft2, false);
  glRotatef(180, 1, 0, 0);
  glPushMatrix();
  glColor3f(0.6f, 0.1f, 0.1f);
  FX_CARTOON(0, 0, -21, 1, p.capital2, false);
  glColor3f(0.3f, 0.3f, 0.3f);
  FX_CARTOON(0, 0, -22.2f, 1, p.base2, false);
  glColor3f(0.95f, 0.95f, 0.95f);
  glPopMatrix();
  glPopMatrix();
}

void textured_column(const pieces &p, SINGLE d) {
  glPushMatrix();
  glTranslatef(d, 0, 0);
  TEXTURESELECTID(0);
  FX_CARTOON(0, 0, 0, 1, p.base, true);
  TEXTURESELECTID(1);
  FX_CARTOON(0, 0, 1.2f, 1, p.capital, true);
  TEXTURESELECTID(2);
  FX_CARTOON(0, 0, 10, 1, p.shaft, true);
  glRotatef(180, 1, 0, 0);
  glPushMatrix();
  TEXTURESELECTID(1);
  FX_CARTOON(0, 0, -21, 1, p.capital, true);
  TEXTURESELECTID(0);
  FX_CARTOON(0, 0, -22.2f, 1, p.base, true);
  glPopMatrix();
  glPopMatrix();
}

// The demo's frame without its invisible overlay pass and without mouse navigation.
void cartoon_frame(const pieces &p) {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glLoadIdentity();
  glTranslatef(0, -12, -40);
  glRotatef(90, -1, 0, 0);
  PUTGLPOINTLIGHT(GL_LIGHT0, 2, 0, -15, 22, 0);
  SETGLFOG(0.01f, 0.65f, 0.65f, 0.65f, 0);
  TEXTUREOFF();
  CUBO(0, 0, -5, 40, 20, 0.1f);
  CUBO(0, 20, 15, 40, 0.1f, 20);
  TEXTUREON();
  plain_column(p, -15);
  textured_column(p, -5);
  TEXTURESHADERON();
  plain_column(p, 5);
  textured_column(p, 15);
  TEXTURESHADEROFF();
  glFinish();
  platform::SwapBuffers(DCWINDOW);
}

void bare_frame() {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glFinish();
  platform::SwapBuffers(DCWINDOW);
}

// Frames per second of FRAME, run for at least SECONDS after a warm-up.
template <class F> double rate(F frame, double seconds) {
  for (int i = 0; i < 10; i++)
    frame();
  auto t0 = clock_type::now();
  long n = 0;
  double elapsed = 0;
  do {
    frame();
    n++;
    elapsed = std::chrono::duration<double>(clock_type::now() - t0).count();
  } while (elapsed < seconds);
  return n / elapsed;
}

} // namespace

int main() {
  if (!open_bench_window(800, 600)) {
    std::fprintf(stderr, "render_bench: no window or context: %s\n",
                 platform::LastErrorText().c_str());
    return 1;
  }
  std::printf("renderer: %s\n", reinterpret_cast<const char *>(glGetString(GL_RENDERER)));
  OPENGL_INIT(1000.0, 0, 0, 0, 0);
  SETGLREFRACTIVE();
  SETGLLIGHT(GL_LIGHT0, 0, 0, 0, 0.1f);
  make_slot(0, 180, 120);
  make_slot(1, 200, 90);
  make_slot(2, 230, 210);
  std::string ramp_file = "/tmp/render_bench_ramp.sdr";
  if (std::FILE *f = std::fopen(ramp_file.c_str(), "w")) {
    for (int i = 0; i < 32; i++)
      std::fprintf(f, "%g\n", 0.25 * (i / 8 + 1));
    std::fclose(f);
  }
  TEXTURELOADSHADER(ramp_file);

  // Recording: the six lists, deleted again so every round records afresh.
  const int rounds = 200;
  auto t0 = clock_type::now();
  for (int i = 0; i < rounds; i++) {
    pieces p = record_all();
    glDeleteLists(p.base, 1);
    glDeleteLists(p.capital, 1);
    glDeleteLists(p.shaft, 1);
    glDeleteLists(p.base2, 1);
    glDeleteLists(p.capital2, 1);
    glDeleteLists(p.shaft2, 1);
  }
  glFinish();
  double record_ms =
      std::chrono::duration<double, std::milli>(clock_type::now() - t0).count() / rounds;
  std::printf("record six column lists: %.3f ms\n", record_ms);

  pieces p = record_all();
  const double seconds =
      std::getenv("RENDER_BENCH_SECONDS") ? std::atof(std::getenv("RENDER_BENCH_SECONDS")) : 2.0;
  double cartoon = rate([&] { cartoon_frame(p); }, seconds);
  double bare = rate(bare_frame, seconds);
  std::printf("cartoon frame: %.1f fps\n", cartoon);
  std::printf("clear-and-swap frame: %.1f fps\n", bare);
  std::printf("cartoon frame cost: %.2fx the bare frame (goal within 3x)\n", bare / cartoon);

  // Heap use in the steady state: C++ allocations counted exactly; the C heap (Mesa's own
  // pools) only by its bytes in use, sampled over blocks to tell a settling pool from a leak.
  const int frames = 500;
  for (int i = 0; i < 50; i++)
    cartoon_frame(p);
  std::size_t news0 = heap::news, mallocs0 = heap::mallocs;
  std::size_t first = mallinfo2().uordblks, low = first, high = first, last = first;
  for (int block = 0; block < 6; block++) {
    for (int i = 0; i < frames; i++)
      cartoon_frame(p);
    last = mallinfo2().uordblks;
    low = std::min(low, last);
    high = std::max(high, last);
  }
  std::printf("operator new per frame: %.2f\n", double(heap::news - news0) / (6 * frames));
  std::printf("malloc calls per frame, driver included: %.2f\n",
              double(heap::mallocs - mallocs0) / (6 * frames));
  std::printf("C heap in use over %d frames: %+.1f bytes per frame net, range %.1f KiB\n",
              6 * frames, (double(last) - double(first)) / (6 * frames), (high - low) / 1024.0);
  std::printf("GL errors: %s\n", glGetError() == GL_NO_ERROR ? "none" : "some");
  std::remove(ramp_file.c_str());
  return 0;
}
