#include "vantrel/window/navigation.h"

#include "vantrel/gl.h"
#include "vantrel/globals.h"

namespace vantrel {

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
