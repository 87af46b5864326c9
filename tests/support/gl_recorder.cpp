#include "tests/support/gl_recorder.h"

#include <cstdio>
#include <cstdlib>
#include <map>

#ifndef _WIN32
#include <dlfcn.h>
#define VANTREL_REC_API
// On Linux the definitions below come before libGL's and take the calls under their own names.
#define VANTREL_GL_HOOK(name) name
#else
// On Windows the calls go through the import table, which take_gl_imports points here.
#define VANTREL_GL_HOOK(name) recorded_##name
#define VANTREL_REC_API __stdcall
#endif

namespace vantrel::test {
namespace {

bool recording = false;
calls log_;
GLuint compiling = 0;             // the list between glNewList and glEndList, 0 outside
std::map<GLuint, calls> compiled; // every list compiled while recording

std::vector<gl_hook> &hook_table() {
  static std::vector<gl_hook> table;
  return table;
}

} // namespace

namespace rec {

void note(std::string call) {
  if (compiling) compiled[compiling].push_back(call);
  log_.push_back(std::move(call));
}
bool on() { return recording; }
void begin_list(GLuint list) { compiling = recording ? list : 0; }
void end_list() { compiling = 0; }

struct hook_registration {
  hook_registration(const char *name, void *hook, void **real) {
    hook_table().push_back({name, hook, real});
  }
};

// ---- Arguments as text ----
struct en {
  GLenum v;
};
struct enum_or_int {
  GLint v;
};
struct blend {
  GLenum v;
};
struct prim {
  GLenum v;
};
struct bits {
  GLbitfield v;
};
struct vec4 {
  const GLfloat *v;
};
struct data {
  const void *p;
};

#define N(x)                                                                                       \
  { x, #x }
const std::map<GLenum, const char *> names = {N(GL_LIGHTING),
                                              N(GL_LIGHT0),
                                              N(GL_LIGHT1),
                                              N(GL_LIGHT2),
                                              N(GL_TEXTURE_1D),
                                              N(GL_TEXTURE_2D),
                                              N(GL_PROXY_TEXTURE_2D),
                                              N(GL_CULL_FACE),
                                              N(GL_BLEND),
                                              N(GL_FOG),
                                              N(GL_DEPTH_TEST),
                                              N(GL_NORMALIZE),
                                              N(GL_AUTO_NORMAL),
                                              N(GL_TEXTURE_GEN_S),
                                              N(GL_TEXTURE_GEN_T),
                                              N(GL_TEXTURE_GEN_R),
                                              N(GL_FLAT),
                                              N(GL_SMOOTH),
                                              N(GL_FRONT),
                                              N(GL_BACK),
                                              N(GL_FRONT_AND_BACK),
                                              N(GL_LINE),
                                              N(GL_FILL),
                                              N(GL_POINT),
                                              N(GL_CCW),
                                              N(GL_CW),
                                              N(GL_MODELVIEW),
                                              N(GL_PROJECTION),
                                              N(GL_TEXTURE),
                                              N(GL_AMBIENT),
                                              N(GL_DIFFUSE),
                                              N(GL_SPECULAR),
                                              N(GL_POSITION),
                                              N(GL_FOG_MODE),
                                              N(GL_EXP),
                                              N(GL_EXP2),
                                              N(GL_LINEAR),
                                              N(GL_FOG_COLOR),
                                              N(GL_FOG_DENSITY),
                                              N(GL_FOG_START),
                                              N(GL_FOG_END),
                                              N(GL_FOG_HINT),
                                              N(GL_DONT_CARE),
                                              N(GL_NICEST),
                                              N(GL_FASTEST),
                                              N(GL_LINE_SMOOTH_HINT),
                                              N(GL_POLYGON_SMOOTH_HINT),
                                              N(GL_PERSPECTIVE_CORRECTION_HINT),
                                              N(GL_LEQUAL),
                                              N(GL_LESS),
                                              N(GL_ALWAYS),
                                              N(GL_SRC_ALPHA),
                                              N(GL_SRC_COLOR),
                                              N(GL_LIGHT_MODEL_LOCAL_VIEWER),
                                              N(GL_S),
                                              N(GL_T),
                                              N(GL_R),
                                              N(GL_TEXTURE_GEN_MODE),
                                              N(GL_SPHERE_MAP),
                                              N(GL_OBJECT_LINEAR),
                                              N(GL_EYE_LINEAR),
                                              {GL_MAP_REFLECTION, "GL_REFLECTION_MAP"},
                                              N(GL_TEXTURE_MIN_FILTER),
                                              N(GL_TEXTURE_MAG_FILTER),
                                              N(GL_TEXTURE_WRAP_S),
                                              N(GL_TEXTURE_WRAP_T),
                                              N(GL_NEAREST),
                                              N(GL_REPEAT),
                                              N(GL_CLAMP),
                                              N(GL_CLAMP_TO_EDGE),
                                              N(GL_RGB),
                                              N(GL_RGBA),
                                              N(GL_FLOAT),
                                              N(GL_UNSIGNED_BYTE),
                                              N(GL_UNPACK_ALIGNMENT),
                                              N(GL_UNPACK_ROW_LENGTH),
                                              N(GL_UNPACK_SKIP_ROWS),
                                              N(GL_UNPACK_SKIP_PIXELS),
                                              N(GL_COMPILE),
                                              N(GL_COMPILE_AND_EXECUTE)};
const std::map<GLenum, const char *> primitives = {
    N(GL_POINTS),         N(GL_LINES),        N(GL_LINE_LOOP), N(GL_LINE_STRIP), N(GL_TRIANGLES),
    N(GL_TRIANGLE_STRIP), N(GL_TRIANGLE_FAN), N(GL_QUADS),     N(GL_QUAD_STRIP), N(GL_POLYGON)};
#undef N

std::string text(double v) {
  char b[32];
  std::snprintf(b, sizeof b, "%g", v == 0 ? 0.0 : v); // no "-0"
  return b;
}
std::string text(float v) { return text(double(v)); }
std::string text(GLint v) { return std::to_string(v); }
std::string text(GLuint v) { return std::to_string(v); }
std::string named(const std::map<GLenum, const char *> &table, GLenum v) {
  auto it = table.find(v);
  return it != table.end() ? it->second : std::to_string(v);
}
std::string text(en e) { return named(names, e.v); }
std::string text(enum_or_int e) { return named(names, GLenum(e.v)); }
std::string text(prim p) { return named(primitives, p.v); }
std::string text(blend b) {
  return b.v == GL_ZERO ? "GL_ZERO" : b.v == GL_ONE ? "GL_ONE" : named(names, b.v);
}
std::string text(bits b) {
  std::string s;
  if (b.v & GL_COLOR_BUFFER_BIT) s = "GL_COLOR_BUFFER_BIT";
  if (b.v & GL_DEPTH_BUFFER_BIT) s += s.empty() ? "GL_DEPTH_BUFFER_BIT" : " | GL_DEPTH_BUFFER_BIT";
  GLbitfield rest = b.v & ~GLbitfield(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  if (rest || s.empty()) s += (s.empty() ? "" : " | ") + std::to_string(rest);
  return s;
}
std::string text(vec4 v) {
  if (!v.v) return "null";
  return "{" + text(v.v[0]) + ", " + text(v.v[1]) + ", " + text(v.v[2]) + ", " + text(v.v[3]) + "}";
}
std::string text(data d) { return d.p ? "data" : "null"; }

std::string args() { return ""; }
template <class A, class... R> std::string args(A a, R... r) {
  std::string rest = args(r...);
  return text(a) + (rest.empty() ? "" : ", " + rest);
}

// OpenGL's own entry point: on Linux the next definition after the test program's.
template <class F> F real(F &slot, const char *name) {
#ifndef _WIN32
  if (!slot) slot = reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
#endif
  if (!slot) {
    std::fprintf(stderr, "gl_recorder: no OpenGL entry point %s\n", name);
    std::abort();
  }
  return slot;
}

} // namespace rec

const std::vector<gl_hook> &gl_hooks() { return hook_table(); }

std::string call(const char *name, std::initializer_list<double> numbers) {
  std::string s = std::string(name) + "(";
  for (double v : numbers)
    s += (s.back() == '(' ? "" : ", ") + rec::text(v);
  return s + ")";
}

#ifndef _WIN32
void take_gl_imports() {}
#endif

calls record_gl(const std::function<void()> &draw) {
  take_gl_imports();
  log_.clear();
  recording = true;
  draw();
  recording = false;
  compiling = 0;
  return std::move(log_);
}

calls list_content(GLuint list) {
  auto it = compiled.find(list);
  return it == compiled.end() ? calls{} : it->second;
}

calls expand_lists(const calls &in) {
  calls out;
  for (const auto &c : in) {
    unsigned list = 0;
    if (std::sscanf(c.c_str(), "glCallList(%u)", &list) == 1 && compiled.count(list))
      out += expand_lists(compiled[list]);
    else
      out.push_back(c);
  }
  return out;
}

calls without_lists(const calls &in, GLuint first, GLuint count, int *dropped) {
  calls out;
  bool inside = false;
  int n = 0;
  for (const auto &c : in) {
    unsigned list = 0;
    if (!inside && std::sscanf(c.c_str(), "glNewList(%u,", &list) == 1 && list >= first &&
        list - first < count) {
      inside = true;
      n++;
      continue;
    }
    if (inside) {
      inside = c != "glEndList()";
      continue;
    }
    out.push_back(c);
  }
  if (dropped) *dropped = n;
  return out;
}

::testing::AssertionResult same_calls(const calls &got, const calls &want) {
  std::size_t i = 0;
  while (i < got.size() && i < want.size() && got[i] == want[i])
    i++;
  if (i == got.size() && i == want.size()) return ::testing::AssertionSuccess();
  std::string context;
  for (std::size_t k = i >= 3 ? i - 3 : 0; k < i; k++)
    context += "      " + got[k] + "\n";
  return ::testing::AssertionFailure()
         << "calls differ at " << i << " of " << got.size() << " (expected " << want.size()
         << "), after:\n"
         << context << "  got:      " << (i < got.size() ? got[i] : "(end)") << "\n"
         << "  expected: " << (i < want.size() ? want[i] : "(end)");
}

} // namespace vantrel::test

// Each watched entry point: written down while recording, then handed on to OpenGL.
#define WATCH(name, params, call_args, shown)                                                      \
  namespace vantrel::test::rec {                                                                   \
  void(VANTREL_REC_API * real_##name) params = nullptr;                                            \
  }                                                                                                \
  extern "C" void VANTREL_REC_API VANTREL_GL_HOOK(name) params {                                   \
    using namespace vantrel::test::rec;                                                            \
    if (on()) note(#name "(" + args shown + ")");                                                  \
    real(real_##name, #name) call_args;                                                            \
  }                                                                                                \
  static vantrel::test::rec::hook_registration register_##name(                                    \
      #name, reinterpret_cast<void *>(&VANTREL_GL_HOOK(name)),                                     \
      reinterpret_cast<void **>(&vantrel::test::rec::real_##name));

// clang-format off
WATCH(glBegin, (GLenum m), (m), (prim{m}))
WATCH(glEnd, (), (), ())
WATCH(glVertex3f, (GLfloat x, GLfloat y, GLfloat z), (x, y, z), (x, y, z))
WATCH(glNormal3f, (GLfloat x, GLfloat y, GLfloat z), (x, y, z), (x, y, z))
WATCH(glTexCoord2f, (GLfloat s, GLfloat t), (s, t), (s, t))
WATCH(glColor3f, (GLfloat r, GLfloat g, GLfloat b), (r, g, b), (r, g, b))
WATCH(glColor4f, (GLfloat r, GLfloat g, GLfloat b, GLfloat a), (r, g, b, a), (r, g, b, a))
WATCH(glEnable, (GLenum c), (c), (en{c}))
WATCH(glDisable, (GLenum c), (c), (en{c}))
WATCH(glPushMatrix, (), (), ())
WATCH(glPopMatrix, (), (), ())
WATCH(glMatrixMode, (GLenum m), (m), (en{m}))
WATCH(glLoadIdentity, (), (), ())
WATCH(glTranslatef, (GLfloat x, GLfloat y, GLfloat z), (x, y, z), (x, y, z))
WATCH(glRotatef, (GLfloat a, GLfloat x, GLfloat y, GLfloat z), (a, x, y, z), (a, x, y, z))
WATCH(glScalef, (GLfloat x, GLfloat y, GLfloat z), (x, y, z), (x, y, z))
WATCH(glOrtho, (GLdouble l, GLdouble r, GLdouble b, GLdouble t, GLdouble n, GLdouble f),
      (l, r, b, t, n, f), (l, r, b, t, n, f))
WATCH(gluPerspective, (GLdouble y, GLdouble a, GLdouble n, GLdouble f), (y, a, n, f), (y, a, n, f))
WATCH(glViewport, (GLint x, GLint y, GLsizei w, GLsizei h), (x, y, w, h), (x, y, w, h))
WATCH(glClear, (GLbitfield m), (m), (bits{m}))
WATCH(glClearColor, (GLfloat r, GLfloat g, GLfloat b, GLfloat a), (r, g, b, a), (r, g, b, a))
WATCH(glClearDepth, (GLdouble d), (d), (d))
WATCH(glDepthFunc, (GLenum f), (f), (en{f}))
WATCH(glBlendFunc, (GLenum s, GLenum d), (s, d), (blend{s}, blend{d}))
WATCH(glHint, (GLenum t, GLenum m), (t, m), (en{t}, en{m}))
WATCH(glLightfv, (GLenum l, GLenum p, const GLfloat *v), (l, p, v), (en{l}, en{p}, vec4{v}))
WATCH(glLightModeli, (GLenum p, GLint v), (p, v), (en{p}, v))
WATCH(glPointSize, (GLfloat s), (s), (s))
WATCH(glLineWidth, (GLfloat w), (w), (w))
WATCH(glPolygonMode, (GLenum f, GLenum m), (f, m), (en{f}, en{m}))
WATCH(glCullFace, (GLenum f), (f), (en{f}))
WATCH(glFrontFace, (GLenum f), (f), (en{f}))
WATCH(glShadeModel, (GLenum m), (m), (en{m}))
WATCH(glFogi, (GLenum p, GLint v), (p, v), (en{p}, enum_or_int{v}))
WATCH(glFogf, (GLenum p, GLfloat v), (p, v), (en{p}, v))
WATCH(glFogfv, (GLenum p, const GLfloat *v), (p, v), (en{p}, vec4{v}))
WATCH(glTexGeni, (GLenum c, GLenum p, GLint v), (c, p, v), (en{c}, en{p}, enum_or_int{v}))
WATCH(glTexGenf, (GLenum c, GLenum p, GLfloat v), (c, p, v), (en{c}, en{p}, v))
WATCH(glBindTexture, (GLenum t, GLuint n), (t, n), (en{t}, n))
WATCH(glTexParameteri, (GLenum t, GLenum p, GLint v), (t, p, v), (en{t}, en{p}, enum_or_int{v}))
WATCH(glPixelStorei, (GLenum p, GLint v), (p, v), (en{p}, v))
WATCH(glTexImage1D, (GLenum t, GLint l, GLint i, GLsizei w, GLint b, GLenum f, GLenum y,
                     const void *p),
      (t, l, i, w, b, f, y, p), (en{t}, l, enum_or_int{i}, w, b, en{f}, en{y}, data{p}))
WATCH(glTexImage2D, (GLenum t, GLint l, GLint i, GLsizei w, GLsizei h, GLint b, GLenum f, GLenum y,
                     const void *p),
      (t, l, i, w, h, b, f, y, p), (en{t}, l, enum_or_int{i}, w, h, b, en{f}, en{y}, data{p}))
WATCH(glCallList, (GLuint n), (n), (n))
WATCH(glFlush, (), (), ())
// clang-format on

// The calls whose results or list brackets matter are written by hand.
namespace vantrel::test::rec {
GLuint(VANTREL_REC_API *real_glGenLists)(GLsizei) = nullptr;
void(VANTREL_REC_API *real_glGenTextures)(GLsizei, GLuint *) = nullptr;
void(VANTREL_REC_API *real_glNewList)(GLuint, GLenum) = nullptr;
void(VANTREL_REC_API *real_glEndList)() = nullptr;
void(VANTREL_REC_API *real_glDeleteLists)(GLuint, GLsizei) = nullptr;
} // namespace vantrel::test::rec

extern "C" GLuint VANTREL_REC_API VANTREL_GL_HOOK(glGenLists)(GLsizei r) {
  using namespace vantrel::test::rec;
  GLuint first = real(real_glGenLists, "glGenLists")(r);
  if (on()) note("glGenLists(" + args(r) + ") = " + args(first));
  return first;
}
extern "C" void VANTREL_REC_API VANTREL_GL_HOOK(glGenTextures)(GLsizei n, GLuint *names) {
  using namespace vantrel::test::rec;
  real(real_glGenTextures, "glGenTextures")(n, names);
  if (on()) note("glGenTextures(" + args(n) + ") = " + (n > 0 ? args(names[0]) : "none"));
}
extern "C" void VANTREL_REC_API VANTREL_GL_HOOK(glNewList)(GLuint n, GLenum m) {
  using namespace vantrel::test::rec;
  if (on()) note("glNewList(" + args(n, en{m}) + ")");
  begin_list(n);
  real(real_glNewList, "glNewList")(n, m);
}
extern "C" void VANTREL_REC_API VANTREL_GL_HOOK(glEndList)() {
  using namespace vantrel::test::rec;
  end_list();
  if (on()) note("glEndList()");
  real(real_glEndList, "glEndList")();
}
// Deleting names that are no lists, or with no context current, does nothing: the call says so.
extern "C" void VANTREL_REC_API VANTREL_GL_HOOK(glDeleteLists)(GLuint n, GLsizei r) {
  using namespace vantrel::test::rec;
  if (on()) note("glDeleteLists(" + args(n, r) + ")" + (glIsList(n) ? "" : " of no list"));
  real(real_glDeleteLists, "glDeleteLists")(n, r);
}
static vantrel::test::rec::hook_registration
    register_glDeleteLists("glDeleteLists",
                           reinterpret_cast<void *>(&VANTREL_GL_HOOK(glDeleteLists)),
                           reinterpret_cast<void **>(&vantrel::test::rec::real_glDeleteLists)),
    register_glGenLists("glGenLists", reinterpret_cast<void *>(&VANTREL_GL_HOOK(glGenLists)),
                        reinterpret_cast<void **>(&vantrel::test::rec::real_glGenLists)),
    register_glGenTextures("glGenTextures",
                           reinterpret_cast<void *>(&VANTREL_GL_HOOK(glGenTextures)),
                           reinterpret_cast<void **>(&vantrel::test::rec::real_glGenTextures)),
    register_glNewList("glNewList", reinterpret_cast<void *>(&VANTREL_GL_HOOK(glNewList)),
                       reinterpret_cast<void **>(&vantrel::test::rec::real_glNewList)),
    register_glEndList("glEndList", reinterpret_cast<void *>(&VANTREL_GL_HOOK(glEndList)),
                       reinterpret_cast<void **>(&vantrel::test::rec::real_glEndList));
