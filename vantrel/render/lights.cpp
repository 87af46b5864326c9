#include "vantrel/render/lights.h"

#include "vantrel/gl.h"
#include "vantrel/globals.h"

namespace vantrel {

void SETGLLIGHT(LONGWORD NLIGHT, SINGLE L0, SINGLE L1, SINGLE L2, SINGLE L3) {
  glEnable(GL_LIGHTING);
  glLightfv(NLIGHT, GL_AMBIENT, AMBIENTLIGHT);
  glLightfv(NLIGHT, GL_DIFFUSE, DIFFUSELIGHT);
  glLightfv(NLIGHT, GL_SPECULAR, SPECULARLIGHT);
  glEnable(NLIGHT);
  LIGHTPOSITION[0] = L0;
  LIGHTPOSITION[1] = L1;
  LIGHTPOSITION[2] = L2;
  LIGHTPOSITION[3] = L3;
  glLightfv(NLIGHT, GL_POSITION, LIGHTPOSITION);
}

void PUTGLPOINTLIGHT(LONGWORD NLIGHT, SINGLE SIZE, SINGLE LX, SINGLE LY, SINGLE LZ, SINGLE LVAL) {
  LIGHTPOSITION[0] = LX;
  LIGHTPOSITION[1] = LY;
  LIGHTPOSITION[2] = LZ;
  LIGHTPOSITION[3] = LVAL;
  glLightfv(NLIGHT, GL_POSITION, LIGHTPOSITION);
  glPointSize(SIZE);
  glBegin(GL_POINTS);
  glNormal3f(0, 0, 1);
  glVertex3f(LX, LY, LZ);
  glEnd();
}

void SETGLREFRACTIVE() {
  glEnable(GL_CULL_FACE);
  glCullFace(GL_BACK);
  glFrontFace(GL_CCW);
}

void SETGLFILL() {
  glPolygonMode(GL_BACK, GL_FILL);
  glPolygonMode(GL_FRONT, GL_FILL);
}

void SETGLLINE(SINGLE SIZE) {
  glLineWidth(SIZE);
  glPolygonMode(GL_BACK, GL_LINE);
  glPolygonMode(GL_FRONT, GL_LINE);
}

void SETGLFLAT() { glShadeModel(GL_FLAT); }

void SETGLSMOOTH() { glShadeModel(GL_SMOOTH); }

// OpenGL 1.1 knows no shade model beyond flat and smooth, so a finer one would only raise an
// error flag; every caller has the model it needs set before it draws.
void SETGLHISMOOTH() {}

} // namespace vantrel
