#include "demo/frame.h"

#include "demo/scene.h"
#include "vantrel/geometry/box.h"
#include "vantrel/gl.h"
#include "vantrel/globals.h"
#include "vantrel/image/shade_ramp.h"
#include "vantrel/image/texture.h"
#include "vantrel/render/cartoon.h"
#include "vantrel/render/fog.h"
#include "vantrel/render/lights.h"
#include "vantrel/render/projection.h"
#include "vantrel/window/navigation.h"

namespace demo {

using namespace vantrel;

namespace {

// The overlay pass; its light marker lies outside the 2-D view and never shows.
void OPENGL_DRAW2D() {
  OPENGL_I2D(0.0, 0.0, 0.0, 0.0);
  PUTGLPOINTLIGHT(GL_LIGHT0, SINGLE(vantrel::WIDTH) / 2, 0.0f, -400.0f, SINGLE(vantrel::HEIGHT) / 2,
                  0.1f);
  OPENGL_INIT(1000.0, 0.0, 0.0, 0.0, 0.0);
}

// The demo reacts to no mouse action or key of its own.
void OPENGL_MOUSE2D() {}
void OPENGL_KEYBOARD() {}

void plain_column(SINGLE d) {
  glPushMatrix();
  glTranslatef(d, 0.0f, 0.0f);
  glColor3f(0.3f, 0.3f, 0.3f);
  FX_CARTOON(0.0f, 0.0f, 0.0f, 1.0f, BASE2, false);
  glColor3f(0.6f, 0.1f, 0.1f);
  FX_CARTOON(0.0f, 0.0f, 1.2f, 1.0f, CAPITELLO2, false);
  glColor3f(0.95f, 0.95f, 0.95f);
  FX_CARTOON(0.0f, 0.0f, 10.0f, 1.0f, COLONNA2, false);
  // The upper capital and base mirror the lower ones.
  glRotatef(180.0f, 1.0f, 0.0f, 0.0f);
  glPushMatrix();
  glColor3f(0.6f, 0.1f, 0.1f);
  FX_CARTOON(0.0f, 0.0f, -21.0f, 1.0f, CAPITELLO2, false);
  glColor3f(0.3f, 0.3f, 0.3f);
  FX_CARTOON(0.0f, 0.0f, -22.2f, 1.0f, BASE2, false);
  glColor3f(0.95f, 0.95f, 0.95f);
  glPopMatrix();
  glPopMatrix();
}

void textured_column(SINGLE d) {
  glPushMatrix();
  glTranslatef(d, 0.0f, 0.0f);
  TEXTURESELECTID(T_BASE);
  FX_CARTOON(0.0f, 0.0f, 0.0f, 1.0f, BASE, true);
  TEXTURESELECTID(T_CAPITELLO);
  FX_CARTOON(0.0f, 0.0f, 1.2f, 1.0f, CAPITELLO, true);
  TEXTURESELECTID(T_COLONNA);
  FX_CARTOON(0.0f, 0.0f, 10.0f, 1.0f, COLONNA, true);
  glRotatef(180.0f, 1.0f, 0.0f, 0.0f);
  glPushMatrix();
  TEXTURESELECTID(T_CAPITELLO);
  FX_CARTOON(0.0f, 0.0f, -21.0f, 1.0f, CAPITELLO, true);
  TEXTURESELECTID(T_BASE);
  FX_CARTOON(0.0f, 0.0f, -22.2f, 1.0f, BASE, true);
  glPopMatrix();
  glPopMatrix();
}

} // namespace

void OPENGL_DRAW() {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glLoadIdentity();
  OPENGL_DRAW2D();
  OPENGL_MOUSE2D();
  OPENGL_KEYBOARD();
  // The fixed camera turns world +Z up and +Y away from the viewer.
  glTranslatef(0.0f, -12.0f, -40.0f);
  glRotatef(90.0f, -1.0f, 0.0f, 0.0f);
  SETGLMOUSEMOVE(GL_MX, 2);
  PUTGLPOINTLIGHT(GL_LIGHT0, 2.0f, 0.0f, -15.0f, 22.0f, 0.0f);
  SETGLFOG(0.01f, 0.65f, 0.65f, 0.65f, 0.0f);
  TEXTUREOFF();
  CUBO(0.0f, 0.0f, -5.0f, 40.0f, 20.0f, 0.1f);  // floor
  CUBO(0.0f, 20.0f, 15.0f, 40.0f, 0.1f, 20.0f); // back wall
  TEXTUREON();
  plain_column(-15.0f);
  textured_column(-5.0f);
  TEXTURESHADERON();
  plain_column(5.0f);
  textured_column(15.0f);
  TEXTURESHADEROFF();
}

} // namespace demo
