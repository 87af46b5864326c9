// Lights and fog: SETGLLIGHT switches light 0 on with the framework's colours, PUTGLPOINTLIGHT
// moves it every frame and marks its place with a point, and SETGLFOG fades a row of columns
// into exponential-squared fog as they recede. The light circles over the row.
//   Left drag turns the view, right drag moves nearer or farther. Escape ends the program.
#include <cmath>

#include <vantrel/vantrel.h>

using namespace vantrel;

int main(int argc, char **argv) {
  PCHAR snapshot = SNAPSHOTOPTION(argc, argv);
  OGLWINDOWSETTING(ARROW, "", GENERIC, "");
  CREATEOGLWINDOW("Vantrel: lights and fog", 640, 480, 32, false);
  OPENGL_INIT(1000.0, 1.0, 0.7, 0.75, 0.82);
  SETGLREFRACTIVE();
  SETGLLIGHT(GL_LIGHT0, 0.0f, 0.0f, 0.0f, 0.1f);
  glEnable(GL_COLOR_MATERIAL); // lit surfaces take the colour given with glColor

  LONGWORD column = glGenLists(1);
  glNewList(column, GL_COMPILE);
  SUPPORTOASSE(0, 0, 4.0f, 24, 0.0f, 0.9f, 8.0f);
  CUBO(0, 0, 0.25f, 1.1f, 1.1f, 0.25f);
  glEndList();

  const LONGWORD start = platform::GetTickCount();
  do {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    SETGLMSG();
    // Fog colour and clear colour alike, so that far things fade into the sky. SETGLFOG clears
    // to black itself; the clear colour of the next frame is set after it.
    SETGLFOG(0.035f, 0.7f, 0.75f, 0.82f, 1.0f);
    glClearColor(0.7f, 0.75f, 0.82f, 1.0f);
    glLoadIdentity();
    glTranslatef(0.0f, -3.0f, -12.0f);
    glRotatef(-80.0f, 1.0f, 0.0f, 0.0f); // +z up, +y away from the viewer
    SETGLMOUSEMOVE(GL_MX, 2);

    // A positional light (w = 1) circling between the first columns, marked by a point; the
    // snapshot shows it at its starting place.
    SINGLE t = snapshot ? 0.0f : SINGLE(platform::GetTickCount() - start) / 1000.0f;
    glColor3f(1.0f, 1.0f, 0.6f);
    PUTGLPOINTLIGHT(GL_LIGHT0, 10.0f, 1.5f * std::cos(t), 9.0f + 3.0f * std::sin(t), 5.0f, 1.0f);

    glColor3f(0.45f, 0.42f, 0.38f);
    CUBO(0.0f, 30.0f, -0.1f, 12.0f, 40.0f, 0.1f); // the ground
    glColor3f(0.85f, 0.45f, 0.2f);
    for (int i = 0; i < 8; i++) {
      glPushMatrix();
      glTranslatef(i % 2 ? 3.0f : -3.0f, 2.0f + 7.0f * SINGLE(i), 0.0f);
      glCallList(column);
      glPopMatrix();
    }
    if (snapshot) break;
    platform::SwapBuffers(DCWINDOW);
  } while (ACTIVE);

  BOOLEAN written = snapshot ? SNAPSHOTFRAME(snapshot) : true;
  DELETEOGLWINDOW();
  return written ? 0 : 1;
}
