// Menus: a menu bar built by the CREATEMENUBAR hook (File > Exit; View > Fog, a check item, and
// an Effect submenu choosing how the torus is drawn) and a context menu on a right click from
// the CREATEMOUSEMENU hook, both answered in GETINPUTCOMMAND. Each choice is printed as it
// comes, so that a script can follow it. Alt+F, Alt+V or F10 open the bar from the keyboard.
// The torus turns slowly, so that one sees the frames go on while the bar's menus are open.
#include <cstdio>

#include <vantrel/vantrel.h>

using namespace vantrel;

enum : LONGWORD { CMD_EXIT = 100, CMD_FOG = 200, CMD_OUTLINE = 300, CMD_BANDS, CMD_PLAIN };

THANDLE view_menu = 0, effect_menu = 0;
bool fog = false;
LONGWORD effect = CMD_OUTLINE;

THANDLE make_effect_menu() {
  THANDLE m = platform::CreatePopupMenu();
  platform::AppendMenuA(m, MF_CHECKED, CMD_OUTLINE, "&Outline\tO");
  platform::AppendMenuA(m, MF_STRING, CMD_BANDS, "&Bands\tB");
  platform::AppendMenuA(m, MF_STRING, CMD_PLAIN, "&Plain\tP");
  return m;
}

void build_menu_bar() {
  THANDLE bar = platform::CreateMenu(), file = platform::CreatePopupMenu();
  view_menu = platform::CreatePopupMenu();
  effect_menu = make_effect_menu();
  platform::AppendMenuA(file, MF_STRING, CMD_EXIT, "E&xit\tAlt+F4");
  platform::AppendMenuA(view_menu, MF_STRING, CMD_FOG, "&Fog");
  platform::AppendMenuA(view_menu, MF_SEPARATOR, 0, nullptr);
  platform::AppendMenuA(view_menu, MF_POPUP, effect_menu, "&Effect");
  platform::AppendMenuA(bar, MF_POPUP, file, "&File");
  platform::AppendMenuA(bar, MF_POPUP, view_menu, "&View");
  platform::SetMenu(HWINDOW, bar);
}

// The context menu holds the same commands; it is made afresh each time and destroyed after.
void show_context_menu() {
  THANDLE m = platform::CreatePopupMenu(), effects = make_effect_menu();
  platform::AppendMenuA(m, fog ? MF_CHECKED : MF_STRING, CMD_FOG, "&Fog");
  platform::AppendMenuA(m, MF_POPUP, effects, "&Effect");
  platform::AppendMenuA(m, MF_SEPARATOR, 0, nullptr);
  platform::AppendMenuA(m, MF_STRING, CMD_EXIT, "E&xit");
  for (LONGWORD id = CMD_OUTLINE; id <= CMD_PLAIN; id++)
    platform::CheckMenuItem(effects, id, id == effect ? MF_CHECKED : MF_UNCHECKED);
  POINT at;
  platform::GetCursorPos(&at);
  platform::TrackPopupMenu(m, TPM_RIGHTBUTTON, at.X, at.Y, 0, HWINDOW, nullptr);
  platform::DestroyMenu(m);
}

TLRESULT on_command(THANDLE, LONGWORD, TWPARAM wparam, TLPARAM) {
  const LONGWORD id = LONGWORD(wparam & 0xFFFF);
  std::printf("command %u\n", unsigned(id));
  std::fflush(stdout);
  if (id == CMD_EXIT) platform::PostMessageA(HWINDOW, WM_CLOSE, 0, 0);
  if (id == CMD_FOG) {
    fog = !fog;
    platform::CheckMenuItem(view_menu, CMD_FOG, fog ? MF_CHECKED : MF_UNCHECKED);
  }
  if (id >= CMD_OUTLINE && id <= CMD_PLAIN) {
    effect = id;
    for (LONGWORD other = CMD_OUTLINE; other <= CMD_PLAIN; other++)
      platform::CheckMenuItem(effect_menu, other, other == id ? MF_CHECKED : MF_UNCHECKED);
  }
  return 0;
}

int main(int argc, char **argv) {
  PCHAR snapshot = SNAPSHOTOPTION(argc, argv);
  CREATEMENUBAR = build_menu_bar;
  CREATEMOUSEMENU = show_context_menu;
  GETINPUTCOMMAND = on_command;
  SHOWMENUBAR = true;
  OGLWINDOWSETTING(ARROW, "", GENERIC, "");
  CREATEOGLWINDOW("Vantrel: menus", 640, 480, 32, false);
  OPENGL_INIT(1000.0, 1.0, 0.93, 0.92, 0.88);
  // The bar took its height from the client area after the window was sized: the picture fills
  // what is left.
  TRECT client;
  platform::GetClientRect(HWINDOW, &client);
  glViewport(0, 0, client.RIGHT, client.BOTTOM);
  SETGLREFRACTIVE();
  SETGLLIGHT(GL_LIGHT0, 0.0f, 0.0f, 0.0f, 0.1f);
  glEnable(GL_COLOR_MATERIAL);
  TEXTURELOADSHADER("bands.sdr");
  TEXTURESHADEROFF();
  LONGWORD torus = glGenLists(1);
  glNewList(torus, GL_COMPILE);
  TOROIDE(0, 0, 0, 0.6f, 1.6f, 24, 32);
  glEndList();
  XROT = 35;
  float turn = 0.0f; // degrees about the vertical, a little more each frame

  do {
    glClearColor(0.93f, 0.92f, 0.88f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    SETGLMSG();
    if (fog) {
      SETGLFOG(0.12f, 0.93f, 0.92f, 0.88f, 1.0f);
    } else {
      glDisable(GL_FOG);
    }
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, -9.0f);
    SETGLMOUSEMOVE(GL_M0, 1);
    glRotatef(turn, 0.0f, 1.0f, 0.0f);
    turn += 0.25f;
    glColor3f(0.25f, 0.5f, 0.85f);
    if (effect == CMD_BANDS) TEXTURESHADERON();
    if (effect == CMD_PLAIN) {
      glCallList(torus);
    } else {
      FX_CARTOON(0, 0, 0, 1.0f, torus, false);
    }
    if (effect == CMD_BANDS) TEXTURESHADEROFF();
    if (snapshot) break;
    platform::SwapBuffers(DCWINDOW);
  } while (ACTIVE);

  BOOLEAN written = snapshot ? SNAPSHOTFRAME(snapshot) : true;
  DELETEOGLWINDOW();
  return written ? 0 : 1;
}
