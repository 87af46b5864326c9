/// \file
/// \ingroup core
/// OpenGL and GLU for framework code, plus the two later enumerants the framework names itself.
#pragma once

#if defined(_WIN32) && !(defined(WINGDIAPI) && defined(APIENTRY))
// Windows' GL headers pull in <windows.h> unless these two are known; its macros (WM_CREATE,
// MB_OK...) would rewrite the framework's own names, so only backend files may include it.
#define WINGDIAPI __declspec(dllimport)
#define APIENTRY __stdcall
#ifndef CALLBACK
#define CALLBACK __stdcall
#define VANTREL_GL_CALLBACK
#endif
#include <GL/gl.h>
#include <GL/glu.h>
#undef WINGDIAPI
#undef APIENTRY
#ifdef VANTREL_GL_CALLBACK
#undef CALLBACK
#undef VANTREL_GL_CALLBACK
#endif
#else
#include <GL/gl.h>
#include <GL/glu.h>
#endif

#ifndef GL_CLAMP_TO_EDGE
/// \ingroup core
/// OpenGL 1.2's clamp-to-edge wrap mode (33071); Windows' 1.1 headers lack it.
#define GL_CLAMP_TO_EDGE 33071
#endif
static_assert(GL_CLAMP_TO_EDGE == 33071);

namespace vantrel {
/// \ingroup render
/// OpenGL 1.3's GL_REFLECTION_MAP (34066), under the framework's own name.
inline constexpr GLenum GL_MAP_REFLECTION = 34066;
} // namespace vantrel
