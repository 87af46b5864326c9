// Textures from BMP files: TEXTURELOADID reads three 24-bit pictures into slots 0, 1 and 2,
// TEXTURESELECTID binds a slot before each box, and TEXTUREON / TEXTUREOFF switch texturing
// around the plain grey plinth. A box's texture repeats once per two units of its edges.
//   Run it where checker.bmp, stripes.bmp and tiles.bmp lie. Left drag turns the view.
#include <vantrel/vantrel.h>

using namespace vantrel;

int main(int argc, char **argv) {
  PCHAR snapshot = SNAPSHOTOPTION(argc, argv);
  OGLWINDOWSETTING(ARROW, "", GENERIC, "");
  CREATEOGLWINDOW("Vantrel: textures", 640, 480, 32, false);
  OPENGL_INIT(1000.0, 1.0, 0.2, 0.22, 0.26);
  SETGLREFRACTIVE();
  SETGLLIGHT(GL_LIGHT0, 0.0f, 0.0f, 0.0f, 0.1f);
  TEXTURELOADID("checker.bmp", 0);
  TEXTURELOADID("stripes.bmp", 1);
  TEXTURELOADID("tiles.bmp", 2);
  XROT = -10;

  do {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    SETGLMSG();
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, -13.0f);
    glRotatef(-70.0f, 1.0f, 0.0f, 0.0f); // +z up, +y away from the viewer
    SETGLMOUSEMOVE(GL_MX, 1);
    PUTGLPOINTLIGHT(GL_LIGHT0, 1.0f, -3.0f, -8.0f, 6.0f, 0.0f);

    // Lit and textured: the texel multiplies the lit colour (the default material is grey).
    TEXTUREON();
    TEXTURESELECTID(0);
    glPushMatrix();
    glRotatef(20.0f, 0.0f, 0.0f, 1.0f);
    CUBO(-3.2f, 0.0f, 0.0f, 1.0f, 1.0f, 1.0f);
    glPopMatrix();
    TEXTURESELECTID(1);
    CUBO(0.0f, 0.0f, 0.0f, 1.0f, 1.0f, 1.0f);
    TEXTURESELECTID(2);
    glPushMatrix();
    glRotatef(-20.0f, 0.0f, 0.0f, 1.0f);
    CUBO(3.2f, 0.0f, 0.0f, 1.0f, 1.0f, 1.0f);
    glPopMatrix();

    // Untextured: the same box primitive, lit grey.
    TEXTUREOFF();
    CUBO(0.0f, 0.0f, -1.4f, 5.0f, 1.6f, 0.4f);
    if (snapshot) break;
    platform::SwapBuffers(DCWINDOW);
  } while (ACTIVE);

  BOOLEAN written = snapshot ? SNAPSHOTFRAME(snapshot) : true;
  DELETEOGLWINDOW();
  return written ? 0 : 1;
}
