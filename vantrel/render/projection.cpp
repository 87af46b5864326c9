#include "vantrel/render/projection.h"

#include "vantrel/gl.h"
#include "vantrel/globals.h"
#include "vantrel/runerror.h"

namespace vantrel {

void OPENGL_INIT(REAL DEPTH, REAL A, REAL R, REAL G, REAL B) {
  // Alpha comes first among the parameters, last for OpenGL.
  glClearColor(GLfloat(R), GLfloat(G), GLfloat(B), GLfloat(A));
  glViewport(0, 0, WIDTH, HEIGHT);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(45.0, REAL(WIDTH) / REAL(HEIGHT), 0.1, DEPTH);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glClearDepth(DEPTH);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  glColor4f(1.0f, 1.0f, 1.0f, 0.5f);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE);
  glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, 1);
  glHint(GL_LINE_SMOOTH_HINT, GL_NICEST);
  glHint(GL_POLYGON_SMOOTH_HINT, GL_NICEST);
  glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
  glEnable(GL_AUTO_NORMAL);
  // The primitives send normals of any length.
  glEnable(GL_NORMALIZE);
}

void OPENGL_I2D(REAL A, REAL R, REAL G, REAL B) {
  // The products are integers, so an absurd height stops the program instead of wrapping.
  LONGINT TOP, BOTTOM;
  if (!CHECKEDMUL(2, HEIGHT, TOP, "OPENGL_I2D height") ||
      !CHECKEDMUL(-2, HEIGHT, BOTTOM, "OPENGL_I2D height"))
    return;
  glClearColor(GLfloat(R), GLfloat(G), GLfloat(B), GLfloat(A));
  glViewport(0, 0, WIDTH, HEIGHT);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(-2.0, 2.0, REAL(BOTTOM) / WIDTH, REAL(TOP) / WIDTH, -2.0, 2.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  glEnable(GL_NORMALIZE);
}

} // namespace vantrel
