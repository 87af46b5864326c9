#include "vantrel/render/cartoon.h"

#include "vantrel/gl.h"
#include "vantrel/globals.h"
#include "vantrel/image/texture.h"
#include "vantrel/render/fog.h"
#include "vantrel/render/lights.h"

namespace vantrel {

void FX_CARTOON(SINGLE X, SINGLE Y, SINGLE Z, SINGLE SIZE, LONGWORD OBJNAME, BOOLEAN TEXTURE) {
  if (ACTIVETEXTURESHADER) EFFECTREALWATER();
  if (!TEXTURE) TEXTUREOFF();
  glPushMatrix();
  glTranslatef(X, Y, Z);
  SETGLFLAT();
  // A textured body under the ramp keeps its own coordinates (and smooth shading).
  if (ACTIVETEXTURESHADER && TEXTURE) EFFECTREALWATEROFF();

  // Body.
  glPushMatrix();
  glCullFace(GL_BACK);
  glCallList(OBJNAME);
  glPopMatrix();

  // Outline: only back faces remain, as thick black lines that stick out past the body.
  glPushMatrix();
  glColor3f(0, 0, 0);
  SETGLLINE(SIZE + 6.0f);
  glCullFace(GL_FRONT);
  glDisable(GL_LIGHTING);
  glCallList(OBJNAME);
  glEnable(GL_LIGHTING);
  glPopMatrix();

  SETGLFILL();
  glColor3f(1, 1, 1);
  if (ACTIVETEXTURESHADER && TEXTURE) EFFECTREALWATER();
  glDisable(GL_CULL_FACE);
  glFlush();
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_COLOR, GL_ONE);

  // Highlight: the same geometry at the same depth passes GL_LEQUAL and adds on top.
  glPushMatrix();
  if (TEXTURE) {
    if (ACTIVETEXTURESHADER) TEXTUREOFF();
    glCallList(OBJNAME);
    if (ACTIVETEXTURESHADER) TEXTUREON();
  }
  glPopMatrix();

  SETGLFILL();
  glLineWidth(2.0f);
  glDisable(GL_BLEND);
  glColor3f(9.5f, 9.5f, 9.5f); // clamped where used, so this acts as white
  glEnable(GL_CULL_FACE);
  SETGLSMOOTH();
  glPopMatrix();
  glCullFace(GL_BACK);
  if (!TEXTURE) TEXTUREON();
  if (ACTIVETEXTURESHADER) EFFECTREALWATEROFF();
}

} // namespace vantrel
