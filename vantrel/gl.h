// OpenGL and GLU for framework code, plus the two later enumerants the framework names itself.
#pragma once

#include <GL/gl.h>
#include <GL/glu.h>

// OpenGL 1.2; Windows' 1.1 headers lack it.
#ifndef GL_CLAMP_TO_EDGE
#define GL_CLAMP_TO_EDGE 33071
#endif
static_assert(GL_CLAMP_TO_EDGE == 33071);

namespace vantrel {
// OpenGL 1.3's GL_REFLECTION_MAP, under the framework's own name.
inline constexpr GLenum GL_MAP_REFLECTION = 34066;
} // namespace vantrel
