// A host that takes Vantrel's failures over: it sets the error hook, asks for a texture that is
// not there and for a slot past the table, and goes on drawing. It exits with 0 when both
// failures reached the hook (number, text, operation), neither ended the program, nothing was
// loaded, and the frame it drew afterwards is there.
#include <cstdio>
#include <string>
#include <vector>

#include <vantrel/vantrel.h>

using namespace vantrel;

static std::vector<TERRORREPORT> reports;

static void host_hook(const TERRORREPORT &REPORT) {
  reports.push_back(REPORT);
  std::printf("hook: %s %d in %s: %s\n", REPORT.FATAL ? "error" : "warning", REPORT.CODE,
              REPORT.WHERE.c_str(), REPORT.TEXT.c_str());
}

int main() {
  SETERRORHOOK(host_hook);
  OGLWINDOWSETTING(ARROW, "", GENERIC, "");
  if (!CREATEOGLWINDOW("Vantrel host", 64, 64, 32, false)) return 1;
  OPENGL_INIT(100.0, 1.0, 0.0, 1.0, 0.0); // green background

  TEXTURELOADID("no-such-texture.bmp", 3);
  TEXTURELOADID("no-such-texture.bmp", 501);
  bool untouched = TEXTUREID2[3] == 0;

  glClear(GL_COLOR_BUFFER_BIT);
  GLubyte pixel[4];
  glReadPixels(8, 8, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
  DELETEOGLWINDOW();

  bool ok = reports.size() == 2 && untouched && pixel[0] == 0 && pixel[1] == 255 && pixel[2] == 0;
  ok = ok && !reports[0].FATAL && reports[0].CODE == 2 && reports[0].WHERE == "TEXTURELOADID" &&
       reports[0].TEXT.find("no-such-texture.bmp") != std::string::npos;
  ok = ok && reports[1].FATAL && reports[1].CODE == RE_RANGE_CHECK &&
       reports[1].WHERE == "TEXTURELOADID" && reports[1].TEXT.find("501") != std::string::npos;
  std::printf("host went on after %zu reports: %s\n", reports.size(), ok ? "ok" : "WRONG");
  return ok ? 0 : 1;
}
