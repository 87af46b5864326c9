// Rendering without a window: on the headless platform, chosen before anything else, the "main
// window" is an EGL pbuffer that needs no display, so this runs on a server or in CI, and on a
// desktop without showing anything. It draws one frame of outlined solids in fog and writes it
// to a PNG file.
//   headless [--snapshot FILE.png]     (the file is headless.png when no option is given)
#include <cstdio>

#include <vantrel/vantrel.h>

using namespace vantrel;

int main(int argc, char **argv) {
  platform::SelectPlatform("headless");
  PCHAR out = argc > 1 ? SNAPSHOTOPTION(argc, argv) : "headless.png";
  OGLWINDOWSETTING(ARROW, "", GENERIC, "");
  CREATEOGLWINDOW("Vantrel without a window", 640, 360, 32, false);
  OPENGL_INIT(1000.0, 1.0, 0.0, 0.0, 0.0);
  SETGLREFRACTIVE();
  SETGLLIGHT(GL_LIGHT0, 0.0f, 0.0f, 0.0f, 0.1f);
  glEnable(GL_COLOR_MATERIAL); // lit surfaces take the colour given with glColor

  LONGWORD torus = glGenLists(1);
  glNewList(torus, GL_COMPILE);
  TOROIDE(0, 0, 0, 0.5f, 1.4f, 20, 32);
  glEndList();
  LONGWORD box = glGenLists(1);
  glNewList(box, GL_COMPILE);
  CUBO(0, 0, 0, 1.1f, 1.1f, 1.1f);
  glEndList();

  // Fog fades the far side towards its colour; SETGLFOG clears to black, so the clear colour
  // is set after it, to match.
  SETGLFOG(0.05f, 0.55f, 0.65f, 0.8f, 1.0f);
  glClearColor(0.55f, 0.65f, 0.8f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glLoadIdentity();
  glTranslatef(0.0f, 0.0f, -10.0f);
  glRotatef(-60.0f, 1.0f, 0.0f, 0.0f);
  glRotatef(25.0f, 0.0f, 0.0f, 1.0f);
  PUTGLPOINTLIGHT(GL_LIGHT0, 1.0f, 2.0f, -4.0f, 6.0f, 0.0f);
  TEXTUREOFF();
  glColor3f(0.9f, 0.45f, 0.1f);
  FX_CARTOON(-1.9f, 0.0f, 0.0f, 1.0f, torus, false);
  glColor3f(0.25f, 0.55f, 0.9f);
  FX_CARTOON(2.0f, 0.0f, 0.0f, 1.0f, box, false);

  BOOLEAN written = SNAPSHOTFRAME(out);
  DELETEOGLWINDOW();
  if (written) std::printf("%s\n", out);
  return written ? 0 : 1;
}
