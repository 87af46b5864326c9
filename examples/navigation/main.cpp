// The four navigation modes side by side: the same view angles and distance applied by
// SETGLMOUSEMOVE in mode GL_M0 (top left), GL_MX (top right), GL_MY (bottom left) and GL_MZ
// (bottom right) to a marker of the three axes: red x, green y, blue z.
//   Left drag turns every view, right drag moves nearer or farther. The arrow keys, read from
//   SETKEY, turn the views too. Tap Space for free-mouse mode: the cursor stays at the window's
//   centre and every move turns the view, until the next key is let go. Escape ends it.
#include <vantrel/vantrel.h>

using namespace vantrel;

// The axis marker: a grey cube with a bar along each positive axis, unlit so that each part
// shows its own colour.
void axes() {
  glDisable(GL_LIGHTING);
  glColor3f(0.55f, 0.55f, 0.55f);
  CUBO(0, 0, 0, 0.6f, 0.6f, 0.6f);
  glColor3f(0.85f, 0.15f, 0.15f);
  CUBO(1.6f, 0, 0, 1.0f, 0.2f, 0.2f);
  glColor3f(0.15f, 0.7f, 0.2f);
  CUBO(0, 1.6f, 0, 0.2f, 1.0f, 0.2f);
  glColor3f(0.15f, 0.3f, 0.9f);
  CUBO(0, 0, 1.6f, 0.2f, 0.2f, 1.0f);
  glEnable(GL_LIGHTING);
}

int main(int argc, char **argv) {
  PCHAR snapshot = SNAPSHOTOPTION(argc, argv);
  OGLWINDOWSETTING(CROSS, "", GENERIC, "");
  CREATEOGLWINDOW("Vantrel: navigation modes", 640, 480, 32, false);
  OPENGL_INIT(1000.0, 1.0, 0.5, 0.5, 0.5);
  SETGLREFRACTIVE();
  // A view turned and moved a little, so that the four modes part at once.
  XROT = 30;
  YROT = 40;
  DEPTH = 1;
  const LONGINT modes[4] = {GL_M0, GL_MX, GL_MY, GL_MZ};
  bool space_was_down = false;

  do {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    SETGLMSG();
    // SETKEY holds every key that is down, by virtual-key code.
    if (SETKEY[VK_LEFT]) YROT -= 1.0f;
    if (SETKEY[VK_RIGHT]) YROT += 1.0f;
    if (SETKEY[VK_UP]) XROT -= 1.0f;
    if (SETKEY[VK_DOWN]) XROT += 1.0f;
    // Free-mouse mode starts when Space is let go: the framework ends it at every key release.
    if (space_was_down && !SETKEY[VK_SPACE]) MOUSEFREE = true;
    space_was_down = SETKEY[VK_SPACE];

    for (int i = 0; i < 4; i++) {
      // Four panes of the window, each cleared in its own shade; the projection's aspect is
      // the window's, and so each pane's.
      LONGINT x = i % 2 * WIDTH / 2, y = (1 - i / 2) * HEIGHT / 2;
      glViewport(x, y, WIDTH / 2, HEIGHT / 2);
      glEnable(GL_SCISSOR_TEST);
      glScissor(x + 1, y + 1, WIDTH / 2 - 2, HEIGHT / 2 - 2);
      SINGLE shade = i == 0 || i == 3 ? 0.97f : 0.9f;
      glClearColor(shade, shade, shade, 1.0f);
      glClear(GL_COLOR_BUFFER_BIT);
      glDisable(GL_SCISSOR_TEST);
      glLoadIdentity();
      glTranslatef(0.0f, 0.0f, -10.0f);
      SETGLMOUSEMOVE(modes[i], 2); // the speed factor 2 also scales the drags that follow
      axes();
    }
    glViewport(0, 0, WIDTH, HEIGHT);
    if (snapshot) break;
    platform::SwapBuffers(DCWINDOW);
  } while (ACTIVE);

  BOOLEAN written = snapshot ? SNAPSHOTFRAME(snapshot) : true;
  DELETEOGLWINDOW();
  return written ? 0 : 1;
}
