// Renders the demo's steady frame without a display and writes it to a PNG file.
// Usage: vantrel_snapshot [OUTPUT.png] — run it in the directory that holds the demo's assets.
#include <png.h>

#include <cstdio>
#include <vector>

#include "demo/program.h"
#include "vantrel/gl.h"
#include "vantrel/globals.h"
#include "vantrel/platform/headless/headless_platform.h"

static bool write_png(const char *path, int w, int h, const std::vector<unsigned char> &rgba) {
  std::FILE *f = std::fopen(path, "wb");
  if (!f) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!png || !info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fclose(f);
    return false;
  }
  png_init_io(png, f);
  png_set_IHDR(png, info, w, h, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  std::vector<unsigned char> row(std::size_t(w) * 3);
  for (int y = h - 1; y >= 0; y--) { // GL rows run bottom-up, PNG rows top-down
    for (int x = 0; x < w; x++)
      for (int c = 0; c < 3; c++)
        row[x * 3 + c] = rgba[(std::size_t(y) * w + x) * 4 + c];
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return std::fclose(f) == 0;
}

int main(int argc, char **argv) {
  const char *out = argc > 1 ? argv[1] : "vantrel-frame.png";
  vantrel::headless::script_message_box(vantrel::IDNO); // the windowed 800 x 600 answer
  demo::PROGRAM_START();
  // The first frame still has the ramp's 1-D texturing on from its load; the frames after it
  // all look alike, so the second one is the picture the program shows.
  demo::PROGRAM_FRAME();
  demo::PROGRAM_FRAME();
  const int w = vantrel::WIDTH, h = vantrel::HEIGHT;
  std::vector<unsigned char> rgba(std::size_t(w) * h * 4);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
  demo::PROGRAM_END();
  if (!write_png(out, w, h, rgba)) {
    std::fprintf(stderr, "vantrel_snapshot: cannot write %s\n", out);
    return 1;
  }
  std::printf("%s\n", out);
  return 0;
}
