// Triangles as feedback mode reports them, with position, texture coordinate and normal of
// each corner gathered from two captures of the same drawing.
#pragma once

#include <array>
#include <cmath>
#include <functional>
#include <vector>

#include "tests/support/gl_fixture.h"

namespace vantrel::test {

struct vec3 {
  double x = 0, y = 0, z = 0;
};
inline vec3 operator-(vec3 a, vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline vec3 operator+(vec3 a, vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline double dot(vec3 a, vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline vec3 cross(vec3 a, vec3 b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline double length(vec3 a) { return std::sqrt(dot(a, a)); }

struct corner {
  vec3 p;      // object coordinates
  double s, t; // texture coordinate as sent
  vec3 n;      // normal as sent (its direction; OpenGL may have rescaled it)
};
using triangle = std::array<corner, 3>;

// Draws DRAW twice under capture_geometry; every primitive must be a triangle (feedback splits
// quads and strips into two triangles per quad, degenerate ones included).
inline std::vector<triangle> capture_mesh(const std::function<void()> &draw, float range) {
  auto pos = capture_geometry(draw, range);
  auto nrm = capture_geometry(draw, range, true);
  std::vector<triangle> out;
  EXPECT_EQ(pos.size(), nrm.size());
  for (std::size_t i = 0; i < pos.size() && i < nrm.size(); i++) {
    EXPECT_EQ(pos[i].token, GLenum(GL_POLYGON_TOKEN));
    if (pos[i].v.size() != 3 || nrm[i].v.size() != 3) {
      ADD_FAILURE() << "primitive " << i << " is not a triangle";
      continue;
    }
    triangle t;
    for (int k = 0; k < 3; k++) {
      const auto &a = pos[i].v[k], &b = nrm[i].v[k];
      t[k] = {{a.x, a.y, a.z}, a.s, a.t, {b.s, b.t, b.p}};
    }
    out.push_back(t);
  }
  return out;
}

inline vec3 face_normal(const triangle &t) { return cross(t[1].p - t[0].p, t[2].p - t[0].p); }

// Degenerate triangles (two corners on top of each other) have no winding.
inline bool has_area(const triangle &t, double eps = 1e-6) { return length(face_normal(t)) > eps; }

// True when the corners run counter-clockwise around the normal sent with them.
inline bool winds_around_its_normal(const triangle &t) {
  vec3 n = t[0].n + t[1].n + t[2].n;
  return dot(face_normal(t), n) > 0;
}

inline double radius_xy(vec3 p) { return std::hypot(p.x, p.y); }

} // namespace vantrel::test
