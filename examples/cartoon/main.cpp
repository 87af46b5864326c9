// The cartoon effect on the four primitives: CUBO, TOROIDE, CONOTRONCO and SUPPORTOASSE, each
// drawn by FX_CARTOON as a flat body with a black outline; the lower row again with the shade
// ramp on, which turns the body's colour into three bands.
//   Run it where bands.sdr lies. Left drag turns the view, Escape ends the program.
#include <vantrel/vantrel.h>

using namespace vantrel;

// A display list drawn without lighting, so the body shows the colour given before it.
LONGWORD unlit_list(void (*draw)()) {
  LONGWORD list = glGenLists(1);
  glNewList(list, GL_COMPILE);
  glDisable(GL_LIGHTING);
  draw();
  glEnable(GL_LIGHTING);
  glEndList();
  return list;
}

int main(int argc, char **argv) {
  PCHAR snapshot = SNAPSHOTOPTION(argc, argv);
  OGLWINDOWSETTING(ARROW, "", GENERIC, "");
  CREATEOGLWINDOW("Vantrel: cartoon effect", 640, 480, 32, false);
  OPENGL_INIT(1000.0, 1.0, 0.93, 0.92, 0.88);
  SETGLREFRACTIVE();
  SETGLLIGHT(GL_LIGHT0, 0.0f, 0.0f, 0.0f, 0.1f);
  TEXTURELOADSHADER("bands.sdr");
  TEXTURESHADEROFF(); // the ramp is switched on for the lower row only

  const LONGWORD shapes[4] = {
      unlit_list([] { CUBO(0, 0, 0, 1.0f, 1.0f, 1.0f); }),
      unlit_list([] { TOROIDE(0, 0, 0, 0.4f, 1.0f, 16, 24); }),
      unlit_list([] { CONOTRONCO(0, 0, -1.0f, 20, 0.6f, 1.2f, 2.0f); }),
      unlit_list([] { SUPPORTOASSE(0, 0, 0, 24, 0.5f, 1.35f, 1.4f); }),
  };
  const SINGLE colours[4][3] = {
      {0.8f, 0.2f, 0.2f}, {0.9f, 0.7f, 0.1f}, {0.2f, 0.7f, 0.3f}, {0.2f, 0.4f, 0.85f}};
  XROT = 25;
  YROT = 30;

  do {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    SETGLMSG();
    for (int row = 0; row < 2; row++) {
      if (row == 1) TEXTURESHADERON();
      for (int i = 0; i < 4; i++) {
        glLoadIdentity();
        glTranslatef(-5.1f + 3.4f * SINGLE(i), 1.9f - 3.8f * SINGLE(row), -12.0f);
        // Left drags turn every shape about its own centre; +z is up.
        SETGLMOUSEMOVE(GL_M0, 1);
        glRotatef(-90.0f, 1.0f, 0.0f, 0.0f);
        glColor3fv(colours[i]);
        FX_CARTOON(0, 0, 0, 1.0f, shapes[i], false);
      }
      if (row == 1) TEXTURESHADEROFF();
    }
    if (snapshot) break;
    platform::SwapBuffers(DCWINDOW);
  } while (ACTIVE);

  BOOLEAN written = snapshot ? SNAPSHOTFRAME(snapshot) : true;
  DELETEOGLWINDOW();
  return written ? 0 : 1;
}
