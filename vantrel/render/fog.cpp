#include "vantrel/render/fog.h"

#include "vantrel/gl.h"
#include "vantrel/globals.h"
#include "vantrel/render/lights.h"

static_assert(GL_SPHERE_MAP == 9218);

namespace vantrel {

void SETGLFOG(SINGLE D, SINGLE F1, SINGLE F2, SINGLE F3, SINGLE F4) {
  const SINGLE DENSITY = D - 0.004f;
  glFogi(GL_FOG_MODE, GL_EXP2);
  FOGCOLOR[0] = F1;
  FOGCOLOR[1] = F2;
  FOGCOLOR[2] = F3;
  FOGCOLOR[3] = F4;
  glFogfv(GL_FOG_COLOR, FOGCOLOR);
  glFogf(GL_FOG_DENSITY, DENSITY);
  glHint(GL_FOG_HINT, GL_DONT_CARE);
  // GL_EXP2 ignores start and end; they are set so a later linear mode has sane values.
  glFogf(GL_FOG_START, 4.5f);
  glFogf(GL_FOG_END, 5.0f);
  glClearColor(0, 0, 0, 0);
  glEnable(GL_FOG);
}

void EFFECTREALWATER() {
  SETGLHISMOOTH();
  // R plays no part in 1-D and 2-D textures; an OpenGL without reflection maps just rejects it.
  glTexGeni(GL_R, GL_TEXTURE_GEN_MODE, GLint(GL_MAP_REFLECTION));
  glTexGenf(GL_S, GL_TEXTURE_GEN_MODE, 9218.0f); // GL_SPHERE_MAP as a float
  glTexGenf(GL_T, GL_TEXTURE_GEN_MODE, 9218.0f);
  glEnable(GL_TEXTURE_GEN_S);
  glEnable(GL_TEXTURE_GEN_T);
  glEnable(GL_TEXTURE_GEN_R);
}

void EFFECTREALWATEROFF() {
  SETGLSMOOTH(); // the cartoon effect relies on this to smooth-shade textured ramp bodies
  glDisable(GL_TEXTURE_GEN_S);
  glDisable(GL_TEXTURE_GEN_T);
  glDisable(GL_TEXTURE_GEN_R);
}

} // namespace vantrel
