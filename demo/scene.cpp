#include "demo/scene.h"

#include "vantrel/geometry/box.h"
#include "vantrel/geometry/revolved.h"
#include "vantrel/gl.h"
#include "vantrel/image/shade_ramp.h"
#include "vantrel/image/texture.h"
#include "vantrel/render/outline_text.h"

namespace demo {

using namespace vantrel;

LONGWORD BASE = 0, CAPITELLO = 0, COLONNA = 0, BASE2 = 0, CAPITELLO2 = 0, COLONNA2 = 0;

namespace {

void OPENGL_TEXTURE() {
  TEXTURELOADID(STONEBLOCKS_BMP, T_BASE);
  TEXTURELOADID(PIETRE_BMP, T_CAPITELLO);
  TEXTURELOADID(GRAY11_BMP, T_COLONNA);
}

// Texture coordinates inside the bracket are halved: each repeat spans twice the distance.
void half_texture_begin() {
  glMatrixMode(GL_TEXTURE);
  glPushMatrix();
  glScalef(0.5f, 0.5f, 0.5f);
}

void half_texture_end() {
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
}

// The slab's Y extent becomes the column's vertical axis.
void base_slab() {
  glPushMatrix();
  glRotatef(90.0f, 1.0f, 0.0f, 0.0f);
  half_texture_begin();
  CUBO(0.0f, 0.0f, 0.0f, 2.2f, 1.0f, 2.2f);
  half_texture_end();
}

void capital() {
  half_texture_begin();
  CONOTRONCO(0.0f, 0.0f, 0.0f, 20, 1.5f, 2.0f, 2.0f);
  half_texture_end();
  TOROIDE(0.0f, 0.0f, 0.0f, 0.4f, 1.75f, 20, 20);
  glPushMatrix();
  glTranslatef(0.0f, 0.0f, 2.0f);
  TOROIDE(0.0f, 0.0f, 0.0f, 0.4f, 1.25f, 20, 20);
  glPopMatrix();
}

void shaft() {
  half_texture_begin();
  SUPPORTOASSE(0.0f, 0.0f, 0.0f, 32, 0.0f, 1.5f, 20.0f);
  half_texture_end();
}

LONGWORD record(void (*content)(), bool unlit) {
  LONGWORD name = glGenLists(1);
  glNewList(name, GL_COMPILE);
  if (unlit) glDisable(GL_LIGHTING);
  content();
  if (unlit) glEnable(GL_LIGHTING);
  glEndList();
  return name;
}

} // namespace

void OPENGL_CREATELIST() {
  OPENGL_TEXTURE();
  INITTEXT(0.0f, 0, 0, 0);
  TEXTURELOADSHADER(SHADE_RAMP_FILE);
  // The base's closing pop comes after the lighting switch in the unlit list.
  BASE = record(
      [] {
        base_slab();
        glPopMatrix();
      },
      false);
  CAPITELLO = record(capital, false);
  COLONNA = record(shaft, false);
  BASE2 = glGenLists(1);
  glNewList(BASE2, GL_COMPILE);
  glDisable(GL_LIGHTING);
  base_slab();
  glEnable(GL_LIGHTING);
  glPopMatrix();
  glEndList();
  CAPITELLO2 = record(capital, true);
  COLONNA2 = record(shaft, true);
}

} // namespace demo
