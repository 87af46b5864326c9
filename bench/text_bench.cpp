// Cost of building the outline font: INITTEXT(0.0, 0, 0, 0) for all 255 codes, and the size
// of the geometry it records.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "vantrel/gl.h"
#include "vantrel/globals.h"
#include "bench/bench_window.h"
#include "vantrel/platform/platform.h"
#include "vantrel/render/outline_text.h"

using namespace vantrel;
using clock_type = std::chrono::steady_clock;

namespace {

// Vertices that reach the rasteriser when every list is called once, through feedback mode.
long vertex_count() {
  std::vector<GLfloat> buffer(1 << 22);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(-1, 400, -200, 200, -10, 10);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glFeedbackBuffer(GLsizei(buffer.size()), GL_3D, buffer.data());
  glRenderMode(GL_FEEDBACK);
  for (LONGWORD k = 0; k < 256; k++)
    glCallList(BASE + k);
  GLint used = glRenderMode(GL_RENDER);
  long vertices = 0;
  for (GLint i = 0; i < used;) {
    GLint token = GLint(buffer[i++]);
    if (token == GL_POLYGON_TOKEN) {
      GLint n = GLint(buffer[i++]);
      vertices += n;
      i += 3 * n;
    } else if (token == GL_PASS_THROUGH_TOKEN) {
      i += 1;
    } else {
      break;
    }
  }
  return used < 0 ? -1 : vertices;
}

} // namespace

int main() {
  if (!open_bench_window(64, 64)) {
    std::fprintf(stderr, "text_bench: no OpenGL window\n");
    return 1;
  }
  const int runs = 15;
  std::vector<double> ms;
  double first = 0;
  for (int r = 0; r < runs; r++) {
    auto t0 = clock_type::now();
    INITTEXT(0.0f, 0, 0, 0);
    glFinish();
    double t = std::chrono::duration<double, std::milli>(clock_type::now() - t0).count();
    if (r == 0) first = t;
    ms.push_back(t);
    if (r + 1 < runs) DELETEGLTEXT();
  }
  std::sort(ms.begin(), ms.end());
  std::printf("INITTEXT(0.0, 0, 0, 0), 255 codes: median %.2f ms, best %.2f ms, first call "
              "(font mapper and face opening included) %.2f ms, %d runs\n",
              ms[ms.size() / 2], ms.front(), first, runs);
  std::printf("vertices drawn by the 256 lists: %ld\n", vertex_count());
  DELETEGLTEXT();
  INITTEXT(0.5f, 0, 0, 0);
  std::printf("vertices with DEPTH 0.5: %ld\n", vertex_count());
  DELETEGLTEXT();
  return 0;
}
