// A recorder of the OpenGL calls the framework makes. The test program itself takes the entry
// points below (on Linux by defining them, so that they come before libGL's; on Windows by
// rewriting the program's import table for opengl32 and glu32), writes each call down as text
// while recording is on, and hands it on to the real OpenGL, so everything is still drawn.
// Calls compiled into a display list are written down as they are compiled, between the
// glNewList and glEndList that bracket them, so a list's content can be read back.
//
// Watched: glBegin glEnd glVertex3f glNormal3f glTexCoord2f glColor3f glColor4f glEnable
// glDisable glPushMatrix glPopMatrix glMatrixMode glLoadIdentity glTranslatef glRotatef glScalef
// glOrtho gluPerspective glViewport glClear glClearColor glClearDepth glDepthFunc glBlendFunc
// glHint glLightfv glLightModeli glPointSize glLineWidth glPolygonMode glCullFace glFrontFace
// glShadeModel glFogi glFogf glFogfv glTexGeni glTexGenf glBindTexture glGenTextures
// glTexParameteri glPixelStorei glTexImage1D glTexImage2D glGenLists glNewList glEndList
// glCallList glDeleteLists glFlush.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "vantrel/gl.h"

namespace vantrel::test {

using calls = std::vector<std::string>;

// The calls DRAW makes, one string each, as "glEnable(GL_LIGHTING)", "glTranslatef(0, -12, -40)"
// or "glGenLists(1) = 7": enumerants by name, numbers as %g prints them, vectors in braces, image
// data as "data"; a glDeleteLists whose first name is no list (or that finds no context current)
// ends in " of no list". Recording does not nest.
calls record_gl(const std::function<void()> &draw);

// A call as the recorder writes it: call("glVertex3f", {1, 0.5, -2}) is "glVertex3f(1, 0.5, -2)".
std::string call(const char *name, std::initializer_list<double> numbers);

// What was compiled into LIST while a record_gl ran since the program started (empty when
// unknown); "glCallList(N)" inside it stays as it is.
calls list_content(GLuint list);

// CALLS with every "glCallList(N)" of a known list replaced by the list's content, recursively.
calls expand_lists(const calls &in);

// CALLS without the display lists compiled into them (glNewList to glEndList) whose names lie
// in FIRST .. FIRST + COUNT - 1; how many were dropped goes to DROPPED.
calls without_lists(const calls &in, GLuint first, GLuint count, int *dropped = nullptr);

// Whether GOT and WANT are the same calls; if not, the first that differs and those before it.
// Use as EXPECT_TRUE(same_calls(got, want)).
::testing::AssertionResult same_calls(const calls &got, const calls &want);

// The entry points taken over, for the import-table rewriting on Windows.
struct gl_hook {
  const char *name;
  void *hook;  // the recorder's entry point
  void **real; // where the recorder keeps OpenGL's
};
const std::vector<gl_hook> &gl_hooks();
// On Windows points the program's imports of the hooked names at the recorder, once; elsewhere
// the definitions already take the calls.
void take_gl_imports();

// Appends the calls of PART to OUT.
inline calls &operator+=(calls &out, const calls &part) {
  out.insert(out.end(), part.begin(), part.end());
  return out;
}

} // namespace vantrel::test
