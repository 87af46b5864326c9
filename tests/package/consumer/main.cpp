// A program that uses Vantrel as a user would: one include, one window, one outlined cube.
// It checks the picture it drew and exits with 0 when the cube is red and its outline black,
// the library is the headers' version, and the platform stays the one it drew on. With an
// argument it asks for that platform first (platform::SelectPlatform); it prints the platform.
#include <cstdio>
#include <cstring>

#include <vantrel/vantrel.h>

using namespace vantrel;

int main(int argc, char **argv) {
  if (argc > 1 && !platform::SelectPlatform(argv[1])) {
    std::printf("SelectPlatform(%s): %s\n", argv[1], platform::LastErrorText().c_str());
    return 3;
  }
  OGLWINDOWSETTING(ARROW, "", GENERIC, "");
  CREATEOGLWINDOW("Vantrel consumer", 64, 64, 32, false);
  OPENGL_INIT(100.0, 1.0, 0.0, 0.0, 1.0); // blue background
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glTranslatef(0.0f, 0.0f, -6.0f);

  LONGWORD cube = glGenLists(1);
  glNewList(cube, GL_COMPILE);
  glDisable(GL_LIGHTING);
  CUBO(0, 0, 0, 1, 1, 1);
  glEnable(GL_LIGHTING);
  glEndList();
  glColor3f(1.0f, 0.0f, 0.0f);
  FX_CARTOON(0, 0, 0, 1.0f, cube, false);

  GLubyte centre[4], edge[4], corner[4];
  glReadPixels(32, 32, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, centre);
  glReadPixels(32, 14, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, edge); // on the outline below the cube
  glReadPixels(1, 1, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, corner);
  DELETEOGLWINDOW();
  // With a window made, the platform is fixed: another is refused, the same one confirmed.
  PCHAR other = std::strcmp(platform::PlatformName(), "headless") == 0 ? "x11" : "headless";
  bool fixed =
      !platform::SelectPlatform(other) && platform::SelectPlatform(platform::PlatformName());
  std::printf("Vantrel %s (headers %s, %d.%d.%d) on platform %s: centre %d %d %d, outline %d %d "
              "%d, corner %d %d %d%s\n",
              version(), VANTREL_VERSION_STRING, VANTREL_VERSION_MAJOR, VANTREL_VERSION_MINOR,
              VANTREL_VERSION_PATCH, platform::PlatformName(), centre[0], centre[1], centre[2],
              edge[0], edge[1], edge[2], corner[0], corner[1], corner[2],
              fixed ? "" : ", but the platform could still be changed");
  bool ok = centre[0] == 255 && centre[1] == 0 && centre[2] == 0 &&
            edge[0] + edge[1] + edge[2] == 0 && corner[0] == 0 && corner[1] == 0 &&
            corner[2] == 255 && fixed && std::strcmp(version(), VANTREL_VERSION_STRING) == 0;
  return ok ? 0 : 1;
}
