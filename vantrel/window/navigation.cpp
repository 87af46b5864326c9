#include "vantrel/window/navigation.h"

#include "vantrel/gl.h"
#include "vantrel/globals.h"
#include "vantrel/platform/platform.h"

namespace vantrel {

// Left drag turns, right drag moves nearer or farther, free mouse turns from the centre.
void NAVIGATIONUPDATE(LONGINT x, LONGINT y) {
  if (LEFTMOUSEDOWN) {
    const double dy = y - YCOORD, dx = x - XCOORD;
    XROT += SINGLE((dy / 2.0) * MSPEED);
    YROT += SINGLE((dx / 2.0) * MSPEED);
    XROT2 += SINGLE((dy / 2.0) * MSPEED);
    YROT2 += SINGLE((dx / 2.0) * MSPEED);
    XCOORD = x;
    YCOORD = y;
  }
  if (RIGHTMOUSEDOWN && !MOUSEFREE) {
    const double dz = y - ZCOORD;
    DEPTH -= SINGLE((dz / 10.0) * MSPEED);
    DEPTH2 -= SINGLE((dz / 10.0) * MSPEED);
    ZCOORD = y;
  }
  if (MOUSEFREE && platform::GetForegroundWindow() == HWINDOW) {
    platform::GetCursorPos(&MPOS);
    const LONGINT cx = WIDTH / 2, cy = HEIGHT / 2;
    platform::SetCursorPos(cx, cy);
    XROT += SINGLE(((MPOS.X - cx) / 100.0) * MSPEED);
    YROT -= SINGLE(((cy - MPOS.Y) / 100.0) * MSPEED);
    if (YROT > 60.0f) YROT = 60.0f;
    if (YROT < -60.0f) YROT = -60.0f;
    XROT2 += SINGLE(((MPOS.X - cx) / 100.0) * MSPEED);
    YROT2 -= SINGLE(((cy - MPOS.Y) / 100.0) * MSPEED);
    if (YROT2 > 60.0f) YROT2 = 60.0f;
    if (YROT2 < -60.0f) YROT2 = -60.0f;
  }
}

void SETGLMOUSEMOVE(LONGINT XYZ, LONGINT SPEED) {
  MSPEED = SPEED;
  switch (XYZ) {
  case GL_M0:
    MY = {0, 0, -DEPTH};
    glTranslatef(MY.X, MY.Y, MY.Z);
    glRotatef(XROT, 1, 0, 0);
    glRotatef(YROT, 0, 1, 0);
    break;
  case GL_MX:
    MY = {0, -DEPTH, 0};
    glTranslatef(MY.X, MY.Y, MY.Z);
    glRotatef(XROT, 1, 0, 0);
    glRotatef(YROT, 0, 0, 1);
    break;
  case GL_MY:
    MY = {-DEPTH, 0, 0};
    glTranslatef(MY.X, MY.Y, MY.Z);
    glRotatef(XROT, 0, 0, -1);
    glRotatef(YROT, 0, 1, 0);
    break;
  case GL_MZ:
    MY = {0, 0, -DEPTH};
    glTranslatef(MY.X, MY.Y, MY.Z);
    glRotatef(XROT, 0, 1, 0);
    glRotatef(YROT, 1, 0, 0);
    break;
  default:
    break;
  }
}

} // namespace vantrel
