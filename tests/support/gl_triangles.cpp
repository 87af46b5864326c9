// Transform-feedback capture for the tests. The entry points beyond OpenGL 1.1 come through the
// seam's wglGetProcAddress, as a Windows program must fetch them.
#include <type_traits>

#include "tests/support/gl_fixture.h"

#ifdef _WIN32
#define VANTREL_GLAPI __stdcall
#else
#define VANTREL_GLAPI
#endif

namespace vantrel::test {
namespace {

constexpr GLenum VERTEX_SHADER = 0x8B31, COMPILE_STATUS = 0x8B81, LINK_STATUS = 0x8B82,
                 INTERLEAVED_ATTRIBS = 0x8C8C, TRANSFORM_FEEDBACK_BUFFER = 0x8C8E,
                 PRIMITIVES_WRITTEN = 0x8C88, PRIMITIVES_GENERATED = 0x8C87,
                 RASTERIZER_DISCARD = 0x8C89, STREAM_READ = 0x88E1;

struct api {
  GLuint(VANTREL_GLAPI *CreateShader)(GLenum);
  void(VANTREL_GLAPI *ShaderSource)(GLuint, GLsizei, const char *const *, const GLint *);
  void(VANTREL_GLAPI *CompileShader)(GLuint);
  void(VANTREL_GLAPI *GetShaderiv)(GLuint, GLenum, GLint *);
  void(VANTREL_GLAPI *GetShaderInfoLog)(GLuint, GLsizei, GLsizei *, char *);
  GLuint(VANTREL_GLAPI *CreateProgram)();
  void(VANTREL_GLAPI *AttachShader)(GLuint, GLuint);
  void(VANTREL_GLAPI *TransformFeedbackVaryings)(GLuint, GLsizei, const char *const *, GLenum);
  void(VANTREL_GLAPI *LinkProgram)(GLuint);
  void(VANTREL_GLAPI *GetProgramiv)(GLuint, GLenum, GLint *);
  void(VANTREL_GLAPI *UseProgram)(GLuint);
  void(VANTREL_GLAPI *DeleteShader)(GLuint);
  void(VANTREL_GLAPI *DeleteProgram)(GLuint);
  void(VANTREL_GLAPI *GenBuffers)(GLsizei, GLuint *);
  void(VANTREL_GLAPI *DeleteBuffers)(GLsizei, const GLuint *);
  void(VANTREL_GLAPI *BindBuffer)(GLenum, GLuint);
  void(VANTREL_GLAPI *BufferData)(GLenum, ptrdiff_t, const void *, GLenum);
  void(VANTREL_GLAPI *BindBufferBase)(GLenum, GLuint, GLuint);
  void(VANTREL_GLAPI *GetBufferSubData)(GLenum, ptrdiff_t, ptrdiff_t, void *);
  void(VANTREL_GLAPI *BeginTransformFeedback)(GLenum);
  void(VANTREL_GLAPI *EndTransformFeedback)();
  void(VANTREL_GLAPI *GenQueries)(GLsizei, GLuint *);
  void(VANTREL_GLAPI *DeleteQueries)(GLsizei, const GLuint *);
  void(VANTREL_GLAPI *BeginQuery)(GLenum, GLuint);
  void(VANTREL_GLAPI *EndQuery)(GLenum);
  void(VANTREL_GLAPI *GetQueryObjectuiv)(GLuint, GLenum, GLuint *);
};

// Fetched for the current context: on Windows an entry point belongs to the context it was
// asked for in.
bool load(api &a) {
  bool ok = true;
  auto get = [&ok](auto &fn, const char *name) {
    fn = reinterpret_cast<std::remove_reference_t<decltype(fn)>>(platform::wglGetProcAddress(name));
    if (!fn) ADD_FAILURE() << "no OpenGL entry point " << name;
    ok = ok && fn;
  };
  get(a.CreateShader, "glCreateShader");
  get(a.ShaderSource, "glShaderSource");
  get(a.CompileShader, "glCompileShader");
  get(a.GetShaderiv, "glGetShaderiv");
  get(a.GetShaderInfoLog, "glGetShaderInfoLog");
  get(a.CreateProgram, "glCreateProgram");
  get(a.AttachShader, "glAttachShader");
  get(a.TransformFeedbackVaryings, "glTransformFeedbackVaryings");
  get(a.LinkProgram, "glLinkProgram");
  get(a.GetProgramiv, "glGetProgramiv");
  get(a.UseProgram, "glUseProgram");
  get(a.DeleteShader, "glDeleteShader");
  get(a.DeleteProgram, "glDeleteProgram");
  get(a.GenBuffers, "glGenBuffers");
  get(a.DeleteBuffers, "glDeleteBuffers");
  get(a.BindBuffer, "glBindBuffer");
  get(a.BufferData, "glBufferData");
  get(a.BindBufferBase, "glBindBufferBase");
  get(a.GetBufferSubData, "glGetBufferSubData");
  get(a.BeginTransformFeedback, "glBeginTransformFeedback");
  get(a.EndTransformFeedback, "glEndTransformFeedback");
  get(a.GenQueries, "glGenQueries");
  get(a.DeleteQueries, "glDeleteQueries");
  get(a.BeginQuery, "glBeginQuery");
  get(a.EndQuery, "glEndQuery");
  get(a.GetQueryObjectuiv, "glGetQueryObjectuiv");
  return ok;
}

// The compatibility profile's built-ins carry the fixed-function vertex inputs and matrices.
const char *const vertex_source = R"(#version 130
out vec3 position;
out vec3 normal;
void main() {
  vec4 p = gl_ModelViewMatrix * gl_Vertex;
  position = p.xyz / p.w;
  normal = gl_NormalMatrix * gl_Normal;
  gl_Position = ftransform();
}
)";

GLuint build_program(const api &a) {
  GLuint shader = a.CreateShader(VERTEX_SHADER);
  a.ShaderSource(shader, 1, &vertex_source, nullptr);
  a.CompileShader(shader);
  GLint status = 0;
  a.GetShaderiv(shader, COMPILE_STATUS, &status);
  if (!status) {
    char log[1024] = {};
    a.GetShaderInfoLog(shader, sizeof log - 1, nullptr, log);
    ADD_FAILURE() << "capture shader: " << log;
    a.DeleteShader(shader);
    return 0;
  }
  GLuint program = a.CreateProgram();
  a.AttachShader(program, shader);
  const char *const varyings[] = {"position", "normal"};
  a.TransformFeedbackVaryings(program, 2, varyings, INTERLEAVED_ATTRIBS);
  a.LinkProgram(program);
  a.DeleteShader(shader); // stays alive while attached
  a.GetProgramiv(program, LINK_STATUS, &status);
  if (!status) {
    ADD_FAILURE() << "capture program does not link";
    a.DeleteProgram(program);
    return 0;
  }
  return program;
}

} // namespace

std::vector<fb_primitive> capture_triangles(const std::function<void()> &draw, bool normals) {
  std::vector<fb_primitive> out;
  api a;
  if (!load(a)) return out;
  GLuint program = build_program(a);
  if (!program) return out;
  while (glGetError() != GL_NO_ERROR) {
  }

  constexpr GLuint max_triangles = 1 << 16;
  constexpr size_t floats_per_vertex = 6;
  GLuint buffer = 0, queries[2] = {};
  a.GenBuffers(1, &buffer);
  a.BindBuffer(TRANSFORM_FEEDBACK_BUFFER, buffer);
  a.BufferData(TRANSFORM_FEEDBACK_BUFFER, max_triangles * 3 * floats_per_vertex * sizeof(float),
               nullptr, STREAM_READ);
  a.BindBufferBase(TRANSFORM_FEEDBACK_BUFFER, 0, buffer);
  a.GenQueries(2, queries);

  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  glEnable(RASTERIZER_DISCARD);
  a.UseProgram(program);
  a.BeginQuery(PRIMITIVES_WRITTEN, queries[0]);
  a.BeginQuery(PRIMITIVES_GENERATED, queries[1]);
  a.BeginTransformFeedback(GL_TRIANGLES);
  draw();
  a.EndTransformFeedback();
  a.EndQuery(PRIMITIVES_GENERATED);
  a.EndQuery(PRIMITIVES_WRITTEN);
  a.UseProgram(0);
  glDisable(RASTERIZER_DISCARD);
  glPopMatrix();
  GLenum error = glGetError();
  EXPECT_EQ(error, GLenum(GL_NO_ERROR)) << "a draw that is not made of triangles, or a GL fault";

  GLuint written = 0, generated = 0;
  a.GetQueryObjectuiv(queries[0], 0x8866 /* GL_QUERY_RESULT */, &written);
  a.GetQueryObjectuiv(queries[1], 0x8866, &generated);
  EXPECT_EQ(written, generated) << "more triangles than the capture holds";
  std::vector<float> data(size_t(written) * 3 * floats_per_vertex);
  if (!data.empty())
    a.GetBufferSubData(TRANSFORM_FEEDBACK_BUFFER, 0, ptrdiff_t(data.size() * sizeof(float)),
                       data.data());
  for (GLuint t = 0; t < written; t++) {
    fb_primitive p{GL_POLYGON_TOKEN, {}};
    for (int k = 0; k < 3; k++) {
      const float *f = &data[(size_t(t) * 3 + k) * floats_per_vertex];
      fb_vertex v{};
      v.x = f[0], v.y = f[1], v.z = f[2], v.w = 1;
      if (normals) v.s = f[3], v.t = f[4], v.p = f[5];
      p.v.push_back(v);
    }
    out.push_back(std::move(p));
  }

  a.DeleteQueries(2, queries);
  a.BindBuffer(TRANSFORM_FEEDBACK_BUFFER, 0);
  a.DeleteBuffers(1, &buffer);
  a.DeleteProgram(program);
  return out;
}

} // namespace vantrel::test
